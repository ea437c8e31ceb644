// TObject, TPersistent and TComponent: class infos, assignment, ownership,
// names and notifications.
#include "toolkit/Classes.h"

#include "toolkit/Streaming.h"

#include <algorithm>

#include "toolkit/ClassBuilder.h"

namespace toolkit {

const TClassInfo& TObject::StaticClass() {
  static const TClassInfo info = ClassBuilder<TObject>("TObject", nullptr).Build();
  return info;
}

const TClassInfo& TPersistent::StaticClass() {
  static const TClassInfo info = ClassBuilder<TPersistent>("TPersistent", &TObject::StaticClass()).Build();
  return info;
}

// Name is not a property: streams carry it in the object header.
const TClassInfo& TComponent::StaticClass() {
  static const TClassInfo info = ClassBuilder<TComponent>("TComponent", &TPersistent::StaticClass())
                                     .Creatable()
                                     .Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0)
                                     .Build();
  return info;
}

// ---- TPersistent ----------------------------------------------------------------

void TPersistent::Assign(const TPersistent* source) {
  if (!source) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
  const std::string from = source ? source->ClassName() : "nil";
  throw EConvertError(Format(SAssignError, from.c_str(), ClassName().c_str()));
}

void TPersistent::DefineProperties(TFiler&) {}

// ---- TComponent -----------------------------------------------------------------

namespace {
void Erase(std::vector<TComponent*>& list, const TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
bool Contains(const std::vector<TComponent*>& list, const TComponent* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}
}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (!owner) return;
  try {
    owner->InsertComponent(this);
  } catch (...) {
    // No destructor runs for a constructor that throws: leave no trace.
    if (owner_) owner_->Remove(this);
    for (TComponent* other : freeNotifies_) Erase(other->freeNotifies_, this);
    throw;
  }
}

TComponent::~TComponent() {
  Destroying();
  SendRemovalNotifications();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::DefineProperties(TFiler& filer) {
  TPersistent::DefineProperties(filer);
  // Controls publish their own Left and Top.
  if (ClassType().FindProp("Left")) return;
  filer.DefineProperty(
      "Left", [this](TReader& reader) { designLeft_ = static_cast<int>(reader.ReadInteger()); },
      [this](TWriter& writer) { writer.WriteInteger(designLeft_); }, designLeft_ != 0);
  filer.DefineProperty(
      "Top", [this](TReader& reader) { designTop_ = static_cast<int>(reader.ReadInteger()); },
      [this](TWriter& writer) { writer.WriteInteger(designTop_); }, designTop_ != 0);
}

void TComponent::SendRemovalNotifications() {
  // Each side leaves the other's list before it is told, whatever its
  // Notification does.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    Erase(other->freeNotifies_, this);
    other->Notification(this, TOperation::opRemove);
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError(Format(SListIndexError, index));
  return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  const auto& list = owner_->components_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError(Format(SInvalidName, name.c_str()));
  if (owner_)
    owner_->ValidateRename(this, name_, name);
  else
    ValidateRename(nullptr, name_, name);
  name_ = name;
}

void TComponent::ValidateRename(TComponent* component, const std::string& current, const std::string& next) {
  if (component && !SameText(current, next)) {
    const TComponent* other = FindComponent(next);
    if (other && other != component) throw EComponentError(Format(SDuplicateName, next.c_str()));
  }
  if (HasState(csDesigning) && owner_) owner_->ValidateRename(component, current, next);
}

void TComponent::SetDesigning(bool designing, bool setChildren) {
  SetState(csDesigning, designing);
  if (setChildren)
    for (TComponent* c : components_) c->SetDesigning(designing, true);
}

void TComponent::SetState(TComponentStateFlag flag, bool on) {
  state_ = on ? (state_ | flag) : (state_ & ~static_cast<unsigned>(flag));
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  for (const TComponent* c = this; c; c = c->owner_)
    if (c == component) throw EComponentError("A component cannot own itself or its owner");
  ValidateRename(component, "", component->name_);
  if (component->owner_) component->owner_->RemoveComponent(component);
  Insert(component);
  if (HasState(csDesigning)) component->SetDesigning(true);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  Notification(component, TOperation::opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  Erase(components_, component);
  component->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  // A component being freed has already told its list; joining it now
  // would leave a dangling entry.
  if (HasState(csDestroying) || component->HasState(csDestroying)) return;
  if (!owner_ || component->owner_ != owner_) {
    if (!Contains(freeNotifies_, component)) {
      freeNotifies_.push_back(component);
      component->FreeNotification(this);
    }
  }
  freeNotified_ = true;
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  Erase(freeNotifies_, component);
  Erase(component->freeNotifies_, this);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* instance = components_.back();
    // Siblings that asked to be told are only told through the owner.
    if (instance->freeNotified_)
      RemoveComponent(instance);
    else
      Remove(instance);
    delete instance;
  }
}

void TComponent::Destroying() {
  if (HasState(csDestroying)) return;
  SetState(csDestroying, true);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::Loaded() { SetState(csLoading, false); }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
  // By index: a component told may change the list.
  for (std::size_t i = 0; i < components_.size(); ++i) components_[i]->Notification(component, operation);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  if (root != this) return;
  const std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned) proc(c);
}

}  // namespace toolkit
