// TReader: reads a component stream into a root component, and the
// convenience functions over TReader and TWriter.
#include "toolkit/Streaming.h"

#include <algorithm>

#include "toolkit/ValueStream.h"

namespace toolkit {

using detail::ValueReader;

namespace {

std::string DisplayName(const TComponent& component) {
  return component.Name().empty() ? component.ClassName() : component.Name();
}

[[noreturn]] void InvalidValue() { throw EReadError(SInvalidPropertyValue); }

void Require(bool condition) {
  if (!condition) InvalidValue();
}

// The stream's root class is the root's class or one of its ancestors.
bool Compatible(const TComponent& root, const std::string& className) {
  for (const TClassInfo* c = &root.ClassType(); c; c = c->Parent)
    if (SameText(c->Name, className)) return true;
  return false;
}

void SetFlags(TComponent& component, TComponentState flags, bool on) {
  const TComponentState state = component.ComponentState();
  component.SetComponentState(on ? (state | flags) : (state & ~flags));
}

}  // namespace

struct TReader::Impl {
  // A component reference, set once the whole tree is there.
  struct Fixup {
    TObject* instance;
    const TPropInfo* prop;
    std::string target;
    std::string where;  // "Button1.Buddy", for errors
  };

  Impl(TReader& reader, TStream& stream) : self(reader), in(stream) {}

  void ReadTree(TComponent& root);
  void Rollback(TComponent& root, const std::vector<TComponent*>& before, const std::string& name,
                TComponentState state);
  void ReadData(TComponent& instance);
  void ReadComponent(TComponent& container);
  void ReadProperty(TComponent& component);
  void ReadValue(TObject& instance, const TPropInfo& prop, const std::string& where);
  void BindEvent(TObject& instance, const TPropInfo& prop, const std::string& handler);
  void ResolveFixups();
  TComponent* FindByPath(const std::string& path) const;

  TReader& self;
  ValueReader in;
  std::vector<TComponent*> created;  // in creation order
  std::vector<TComponent*> loaded;   // the root, then the components as read
  std::vector<Fixup> fixups;
  std::string definedName;  // the property DefineProperties is asked to read
  bool definedRead = false;
  int depth = 0;
};

TReader::TReader(TStream& stream) : stream_(stream), impl_(std::make_unique<Impl>(*this, stream_)) {}

TReader::~TReader() = default;

// ---- values for DefineProperties ------------------------------------------------

TValueType TReader::NextValue() { return impl_->in.PeekValue(); }

std::int64_t TReader::ReadInteger() {
  const TValueType type = impl_->in.ReadValue();
  Require(detail::IsIntegerValue(type));
  return impl_->in.ReadInteger(type);
}

bool TReader::ReadBoolean() {
  const TValueType type = impl_->in.ReadValue();
  Require(type == TValueType::vaTrue || type == TValueType::vaFalse);
  return type == TValueType::vaTrue;
}

std::string TReader::ReadString() {
  const TValueType type = impl_->in.ReadValue();
  Require(detail::IsStringValue(type));
  return impl_->in.ReadString(type);
}

std::string TReader::ReadIdent() {
  switch (impl_->in.ReadValue()) {
    case TValueType::vaIdent: return impl_->in.ReadShortString("an identifier");
    case TValueType::vaFalse: return "False";
    case TValueType::vaTrue: return "True";
    case TValueType::vaNil: return "nil";
    case TValueType::vaNull: return "Null";
    default: InvalidValue();
  }
}

void TReader::ReadListBegin() { Require(impl_->in.ReadValue() == TValueType::vaList); }

void TReader::ReadListEnd() { Require(impl_->in.ReadValue() == TValueType::vaNull); }

bool TReader::EndOfList() { return impl_->in.NextIsZero(); }

void TReader::DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                             const std::function<void(TWriter&)>&, bool) {
  if (impl_->definedRead || !read || !SameText(name, impl_->definedName)) return;
  impl_->definedRead = true;
  read(*this);
}

void TReader::DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                                   const std::function<void(TStream&)>&, bool) {
  if (impl_->definedRead || !read || !SameText(name, impl_->definedName)) return;
  impl_->definedRead = true;
  Require(impl_->in.ReadValue() == TValueType::vaBinary);
  const std::vector<std::uint8_t> data = impl_->in.ReadBinary();
  TMemoryStream bytes;
  bytes.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
  bytes.SetPosition(0);
  read(bytes);
}

// ---- the component tree ---------------------------------------------------------

void TReader::ReadRootComponent(TComponent* root) {
  if (!root) throw EReadError("No component to read the stream into");
  root_ = root;
  const std::string name = root->Name();
  const TComponentState state = root->ComponentState();
  std::vector<TComponent*> before;
  for (int i = 0; i < root->ComponentCount(); ++i) before.push_back(root->Components(i));
  try {
    impl_->ReadTree(*root);
  } catch (...) {
    impl_->Rollback(*root, before, name, state);
    try {
      throw;
    } catch (const EReadError&) {
      throw;
    } catch (const Exception& e) {
      throw EReadError(e.Message);
    }
  }
  impl_->created.clear();
  impl_->loaded.clear();
}

void TReader::Impl::ReadTree(TComponent& root) {
  created.clear();
  loaded.clear();
  fixups.clear();
  depth = 0;
  in.ReadSignature();
  in.CheckObjectPrefix();
  const std::string className = in.ReadShortString("a class name");
  const std::string name = in.ReadShortString("a component name");
  if (!Compatible(root, className)) {
    throw EReadError(Format("The stream holds a %s, which cannot be read into a %s", className.c_str(),
                            root.ClassName().c_str()));
  }
  loaded.push_back(&root);
  SetFlags(root, csLoading | csReading, true);
  root.SetName(name);
  ReadData(root);
  ResolveFixups();
  for (TComponent* c : loaded) SetFlags(*c, csReading, false);
  for (TComponent* c : loaded) {
    c->Loaded();
    SetFlags(*c, csLoading, false);
  }
}

// Frees what this read created, last first, so that owners outlive what
// they own; then whatever else joined the root meanwhile (created by the
// components read), so that the root keeps only what it had.
void TReader::Impl::Rollback(TComponent& root, const std::vector<TComponent*>& before,
                             const std::string& name, TComponentState state) {
  fixups.clear();
  loaded.clear();
  for (auto c = created.rbegin(); c != created.rend(); ++c) delete *c;
  created.clear();
  const auto newcomer = [&]() -> TComponent* {
    for (int i = root.ComponentCount() - 1; i >= 0; --i)
      if (std::find(before.begin(), before.end(), root.Components(i)) == before.end())
        return root.Components(i);
    return nullptr;
  };
  while (TComponent* c = newcomer()) delete c;
  root.SetComponentState(state);
  try {
    root.SetName(name);
  } catch (const Exception&) {
    // It was the root's name before; keeping the stream's is all that is left.
  }
}

void TReader::Impl::ReadData(TComponent& instance) {
  while (!in.NextIsZero()) ReadProperty(instance);
  in.ReadByte("the end of the properties");
  if (++depth > detail::kMaxNesting) in.Fail("components are nested too deeply");
  while (!in.NextIsZero()) ReadComponent(instance);
  in.ReadByte("the end of the children");
  --depth;
}

void TReader::Impl::ReadComponent(TComponent& container) {
  in.CheckObjectPrefix();
  const std::string className = in.ReadShortString("a class name");
  const std::string name = in.ReadShortString("a component name");
  const TClassInfo* info = FindClass(className);
  if (!info) throw EReadError(Format(SClassNotFound, className.c_str()));

  TComponent* owner = container.GetChildOwner();
  if (!owner) owner = self.root_;
  created.push_back(nullptr);  // room first: a failed push_back must not lose the child
  TComponent* child = info->Create ? info->Create(owner) : nullptr;
  if (!child) throw EReadError(Format("Class %s cannot be created from a stream", className.c_str()));
  created.back() = child;
  loaded.push_back(child);
  SetFlags(*child, csLoading | csReading, true);
  child->SetName(name);

  TComponent* parent = container.GetChildParent();
  (parent ? parent : &container)->ReadChildParent(child);
  ReadData(*child);
}

void TReader::Impl::ReadProperty(TComponent& component) {
  const std::string path = in.ReadShortString("a property name");
  try {
    // "Font.Color": every part but the last names a nested persistent.
    TObject* instance = &component;
    std::size_t start = 0;
    for (std::size_t dot; (dot = path.find('.', start)) != std::string::npos; start = dot + 1) {
      const std::string part = path.substr(start, dot - start);
      const TPropInfo* prop = instance->ClassType().FindProp(part);
      if (!prop || prop->Kind != TTypeKind::Class || prop->IsComponentRef() || !prop->GetObj)
        throw EReadError(Format(SUnknownProperty, part.c_str()));
      instance = prop->GetObj(*instance);
      Require(instance != nullptr);
    }
    const std::string last = path.substr(start);
    if (const TPropInfo* prop = instance->ClassType().FindProp(last)) {
      ReadValue(*instance, *prop, DisplayName(component) + "." + path);
      return;
    }
    definedName = last;
    definedRead = false;
    if (auto* persistent = dynamic_cast<TPersistent*>(instance)) persistent->DefineProperties(self);
    definedName.clear();
    if (!definedRead) throw EReadError(Format(SUnknownProperty, last.c_str()));
  } catch (const Exception& e) {
    definedName.clear();
    throw EReadError(
        Format("Error reading %s.%s: %s", DisplayName(component).c_str(), path.c_str(), e.Message.c_str()));
  }
}

void TReader::Impl::ReadValue(TObject& instance, const TPropInfo& prop, const std::string& where) {
  const bool ordinal =
      prop.Kind != TTypeKind::String && prop.Kind != TTypeKind::Class && prop.Kind != TTypeKind::Method;
  Require(!ordinal || prop.SetOrd);
  switch (prop.Kind) {
    case TTypeKind::Integer: prop.SetOrd(instance, self.ReadInteger()); return;
    case TTypeKind::Boolean: prop.SetOrd(instance, self.ReadBoolean() ? 1 : 0); return;
    case TTypeKind::Enumeration: {
      Require(prop.Enum != nullptr);
      const std::string ident = self.ReadIdent();
      const auto& names = prop.Enum->Names;
      auto it =
          std::find_if(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, ident); });
      Require(it != names.end());
      prop.SetOrd(instance, it - names.begin());
      return;
    }
    case TTypeKind::Set: {
      Require(prop.Enum != nullptr && in.ReadValue() == TValueType::vaSet);
      const auto& names = prop.Enum->Names;
      std::uint64_t bits = 0;
      for (const std::string& member : in.ReadSet()) {
        auto it = std::find_if(names.begin(), names.end(),
                               [&](const std::string& n) { return SameText(n, member); });
        Require(it != names.end() && it - names.begin() < 64);
        bits |= std::uint64_t{1} << (it - names.begin());
      }
      prop.SetOrd(instance, static_cast<std::int64_t>(bits));
      return;
    }
    case TTypeKind::Color: {
      if (detail::IsIntegerValue(in.PeekValue())) {
        prop.SetOrd(instance, self.ReadInteger());
        return;
      }
      const std::string ident = self.ReadIdent();
      std::int64_t value = 0;
      Require(prop.Idents && prop.Idents->IdentToInt && prop.Idents->IdentToInt(ident, value));
      prop.SetOrd(instance, value);
      return;
    }
    case TTypeKind::String:
      Require(static_cast<bool>(prop.SetStr));
      prop.SetStr(instance, self.ReadString());
      return;
    case TTypeKind::Class: {
      Require(prop.IsComponentRef() && prop.SetObj);
      const TValueType type = in.ReadValue();
      if (type == TValueType::vaNil) {
        prop.SetObj(instance, nullptr);
        return;
      }
      Require(type == TValueType::vaIdent);
      fixups.push_back({&instance, &prop, in.ReadShortString("a component name"), where});
      return;
    }
    case TTypeKind::Method: {
      const TValueType type = in.ReadValue();
      if (type == TValueType::vaNil) return;
      Require(type == TValueType::vaIdent);
      BindEvent(instance, prop, in.ReadShortString("a handler name"));
      return;
    }
  }
  InvalidValue();
}

void TReader::Impl::BindEvent(TObject& instance, const TPropInfo& prop, const std::string& handler) {
  TComponent& root = *self.root_;
  const TMethodInfo* method = root.ClassType().FindMethod(handler);
  if (!method || !method->Bind) {
    throw EReadError(Format("Handler %s is not a method of %s", handler.c_str(), root.ClassName().c_str()));
  }
  const bool bound = prop.SetMethod && method->EventType == prop.EventType &&
                     prop.SetMethod(instance, method->Bind(root), TMethodRef{&root, method->Name});
  if (!bound) throw EReadError(Format("Handler %s does not take the event's parameters", handler.c_str()));
}

void TReader::Impl::ResolveFixups() {
  for (const Fixup& f : fixups) {
    try {
      TComponent* target = FindByPath(f.target);
      if (!target) throw EReadError(Format("Component %s not found", f.target.c_str()));
      const TClassInfo* cls = f.prop->ObjectClass();
      Require(!cls || target->InheritsFrom(*cls));
      f.prop->SetObj(*f.instance, target);
    } catch (const Exception& e) {
      throw EReadError(Format("Error reading %s: %s", f.where.c_str(), e.Message.c_str()));
    }
  }
  fixups.clear();
}

// "Name" among the root's components (or the root itself), "A.B" for B
// owned by the root's A.
TComponent* TReader::Impl::FindByPath(const std::string& path) const {
  TComponent* root = self.root_;
  TComponent* current = nullptr;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = path.find('.', start);
    const std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (!current) {
      current = root->FindComponent(part);
      if (!current && !part.empty() && SameText(part, root->Name())) current = root;
    } else {
      current = current->FindComponent(part);
    }
    if (!current || dot == std::string::npos) return current;
    start = dot + 1;
  }
}

// ---- conveniences ----------------------------------------------------------------

void ReadComponent(TStream& stream, TComponent* root) {
  TReader reader(stream);
  reader.ReadRootComponent(root);
}

void WriteComponent(TStream& stream, TComponent* root) {
  TWriter writer(stream);
  writer.WriteRootComponent(root);
}

void ReadComponentFromBytes(const std::uint8_t* data, std::size_t size, TComponent* root) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<std::int64_t>(size));
  stream.SetPosition(0);
  ReadComponent(stream, root);
}

}  // namespace toolkit
