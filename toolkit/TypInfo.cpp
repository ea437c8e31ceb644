#include "toolkit/TypInfo.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "toolkit/Classes.h"

namespace toolkit {

const TClassInfo* TPropInfo::ObjectClass() const {
  if (ObjClass) return ObjClass;
  return ObjClassOf ? &ObjClassOf() : nullptr;
}

bool TPropInfo::IsComponentRef() const {
  const TClassInfo* cls = Kind == TTypeKind::Class ? ObjectClass() : nullptr;
  return cls && cls->InheritsFrom(TComponent::StaticClass());
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    if (c == &other) return true;
  return false;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = this; c; c = c->Parent) chain.push_back(c);
  std::vector<const TPropInfo*> props;
  for (auto c = chain.rbegin(); c != chain.rend(); ++c) {
    for (const TPropInfo& p : (*c)->Props) {
      auto same = std::find_if(props.begin(), props.end(),
                               [&](const TPropInfo* q) { return SameText(q->Name, p.Name); });
      if (same != props.end())
        *same = &p;
      else
        props.push_back(&p);
    }
  }
  return props;
}

const TPropInfo* TClassInfo::FindProp(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (const TPropInfo& p : c->Props)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (const TMethodInfo& m : c->Methods)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

namespace {

// Keys are folded to lower case: property and class names are matched without
// regard to case, as the form descriptions write them.
std::string Key(const std::string& name) {
  std::string key = name;
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

struct Registry {
  std::mutex lock;
  std::map<std::string, const TClassInfo*> classes;
  // Held by pointer so that what FindIntegerConsts returned stays put.
  std::map<std::string, std::unique_ptr<const TIdentMap>> consts;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterClass(const TClassInfo& info) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.classes.emplace(Key(info.Name), &info);
}

const TClassInfo* FindClass(const std::string& name) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.classes.find(Key(name));
  return it == r.classes.end() ? nullptr : it->second;
}

void RegisterIntegerConsts(const std::string& typeName, const TIdentMap& map) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  const std::string key = Key(typeName);
  if (r.consts.find(key) == r.consts.end()) r.consts.emplace(key, std::make_unique<TIdentMap>(map));
}

const TIdentMap* FindIntegerConsts(const std::string& typeName) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.consts.find(Key(typeName));
  return it == r.consts.end() ? nullptr : it->second.get();
}

}  // namespace toolkit
