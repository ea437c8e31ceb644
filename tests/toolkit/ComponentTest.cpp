// The component model: ownership, freeing, notifications, names, Loaded,
// assignment, and the list classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Expect.h"
#include "toolkit/Classes.h"

namespace toolkit {
namespace {

using Log = std::vector<std::string>;
using testsupport::ThrownMessage;

// Logs every notification it receives as "Self:insert Other".
class TRecorder : public TComponent {
 public:
  TRecorder(TComponent* owner, const std::string& name, Log* log) : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~TRecorder() override { log_->push_back("free " + Name()); }
  void Notification(TComponent* component, TOperation operation) override {
    log_->push_back(Name() + (operation == TOperation::opInsert ? ":insert " : ":remove ") +
                    (component->Name().empty() ? "?" : component->Name()));
    TComponent::Notification(component, operation);
  }

 private:
  Log* log_;
};

// Never calls the inherited Notification, so never removes anything from
// its free-notification list itself.
class TSilent : public TComponent {
 public:
  explicit TSilent(int* told) : TComponent(nullptr), told_(told) {}
  void Notification(TComponent*, TOperation operation) override {
    if (operation == TOperation::opRemove) ++*told_;
  }

 private:
  int* told_;
};

Log Matching(const Log& log, const std::string& prefix) {
  Log out;
  for (const std::string& entry : log)
    if (entry.rfind(prefix, 0) == 0) out.push_back(entry);
  return out;
}

// ---- ownership and freeing ------------------------------------------------------

TEST(ComponentOwnership, OwnedComponentsKeepCreationOrder) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  auto* c = new TComponent(&owner);
  ASSERT_EQ(owner.ComponentCount(), 3);
  EXPECT_EQ(owner.Components(0), a);
  EXPECT_EQ(owner.Components(1), b);
  EXPECT_EQ(owner.Components(2), c);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(b->Owner(), &owner);
  EXPECT_EQ(owner.ComponentIndex(), -1);
  EXPECT_EQ(ThrownMessage<EListError>([&] { owner.Components(5); }), "List index out of bounds (5)");
  EXPECT_THROW(owner.Components(-1), EListError);
}

TEST(ComponentOwnership, OwnerFreesEachOwnedComponentOnceLastFirst) {
  Log log;
  {
    TRecorder owner(nullptr, "Owner", &log);
    new TRecorder(&owner, "A", &log);
    auto* b = new TRecorder(&owner, "B", &log);
    new TRecorder(&owner, "C", &log);
    delete b;  // freed directly: leaves the owner's list
    EXPECT_EQ(owner.ComponentCount(), 2);
    log.clear();
  }
  EXPECT_EQ(Matching(log, "free "), (Log{"free Owner", "free C", "free A"}));
}

TEST(ComponentOwnership, InsertComponentMovesAndRefusesCycles) {
  TComponent first(nullptr);
  TComponent second(nullptr);
  auto* child = new TComponent(&first);
  auto* grandchild = new TComponent(child);
  second.InsertComponent(child);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(child->Owner(), &second);
  EXPECT_THROW(grandchild->InsertComponent(&second), EComponentError);
  EXPECT_THROW(child->InsertComponent(child), EComponentError);
  EXPECT_EQ(second.Owner(), nullptr);
  EXPECT_EQ(grandchild->Owner(), child);
}

TEST(ComponentOwnership, DestroyingMarksOwnedComponentsToo) {
  TComponent owner(nullptr);
  auto* child = new TComponent(&owner);
  auto* grandchild = new TComponent(child);
  owner.Destroying();
  EXPECT_TRUE(child->HasState(csDestroying));
  EXPECT_TRUE(grandchild->HasState(csDestroying));
}

// ---- notifications --------------------------------------------------------------

TEST(ComponentNotification, InsertTellsTheOwnerThenEachOwnedComponent) {
  Log log;
  TRecorder owner(nullptr, "Owner", &log);
  new TRecorder(&owner, "A", &log);
  new TRecorder(&owner, "B", &log);
  log.clear();
  // The new component is told about itself, though only as a TComponent:
  // it is still being constructed.
  auto* c = new TRecorder(&owner, "", &log);
  EXPECT_EQ(log, (Log{"Owner:insert ?", "A:insert ?", "B:insert ?"}));
  EXPECT_EQ(owner.Components(2), c);
}

TEST(ComponentNotification, RemoveTellsTheOwnerAndTheOthers) {
  Log log;
  TRecorder owner(nullptr, "Owner", &log);
  new TRecorder(&owner, "A", &log);
  auto* b = new TRecorder(&owner, "B", &log);
  new TRecorder(&owner, "C", &log);
  log.clear();
  delete b;
  EXPECT_EQ(log, (Log{"free B", "Owner:remove B", "A:remove B", "C:remove B"}));
}

TEST(ComponentNotification, FreeNotificationGoesBothWays) {
  Log log;
  auto* x = new TRecorder(nullptr, "X", &log);
  auto* y = new TRecorder(nullptr, "Y", &log);
  x->FreeNotification(y);
  delete y;
  EXPECT_EQ(Matching(log, "X:"), (Log{"X:remove Y"}));
  delete x;  // must not tell the freed Y

  log.clear();
  x = new TRecorder(nullptr, "X", &log);
  y = new TRecorder(nullptr, "Y", &log);
  x->FreeNotification(y);
  delete x;
  EXPECT_EQ(Matching(log, "Y:"), (Log{"Y:remove X"}));
  delete y;
}

TEST(ComponentNotification, RemoveFreeNotificationStopsBothSides) {
  Log log;
  auto* x = new TRecorder(nullptr, "X", &log);
  auto* y = new TRecorder(nullptr, "Y", &log);
  x->FreeNotification(y);
  y->RemoveFreeNotification(x);
  delete x;
  delete y;
  EXPECT_TRUE(Matching(log, "X:").empty());
  EXPECT_TRUE(Matching(log, "Y:").empty());
}

TEST(ComponentNotification, NoDanglingEntryWhenTheToldOneIgnoresIt) {
  int told = 0;
  auto* silent = new TSilent(&told);
  auto* other = new TComponent(nullptr);
  other->FreeNotification(silent);
  delete other;
  EXPECT_EQ(told, 1);
  // `silent` never removed `other` itself; freeing it must not reach it.
  delete silent;

  silent = new TSilent(&told);
  other = new TComponent(nullptr);
  silent->FreeNotification(other);
  delete silent;
  delete other;
}

TEST(ComponentNotification, SiblingsAreToldThroughTheirOwner) {
  Log log;
  auto* owner = new TRecorder(nullptr, "Owner", &log);
  auto* a = new TRecorder(owner, "A", &log);
  auto* b = new TRecorder(owner, "B", &log);
  b->FreeNotification(a);
  log.clear();
  delete owner;  // frees B first; B asked, so A hears of it
  EXPECT_EQ(Matching(log, "A:"), (Log{"A:remove B"}));
}

TEST(ComponentNotification, SiblingFreedDirectlyIsReportedOnce) {
  Log log;
  TRecorder owner(nullptr, "Owner", &log);
  auto* a = new TRecorder(&owner, "A", &log);
  auto* b = new TRecorder(&owner, "B", &log);
  a->FreeNotification(b);
  log.clear();
  delete b;
  EXPECT_EQ(Matching(log, "A:"), (Log{"A:remove B"}));
}

// ---- names ----------------------------------------------------------------------

TEST(ComponentName, MustBeAnIdentifier) {
  TComponent c(nullptr);
  for (const char* good : {"Button1", "_x", "a_1", ""}) EXPECT_NO_THROW(c.SetName(good)) << good;
  for (const char* bad : {"1abc", "a b", "a.b", "é", "-"})
    EXPECT_EQ(ThrownMessage<EComponentError>([&] { c.SetName(bad); }),
              std::string("'") + bad + "' is not a valid component name");
  EXPECT_EQ(c.Name(), "");
}

TEST(ComponentName, SiblingsMayNotShareOneIgnoringCase) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Button1");
  EXPECT_EQ(ThrownMessage<EComponentError>([&] { b->SetName("BUTTON1"); }),
            "A component named BUTTON1 already exists");
  EXPECT_EQ(b->Name(), "");
  EXPECT_NO_THROW(a->SetName("BUTTON1"));  // itself, spelt differently
  EXPECT_EQ(owner.FindComponent("button1"), a);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  // Components without names do not clash.
  new TComponent(&owner);
  EXPECT_EQ(b->Name(), "");
  // Components of different owners may share a name.
  TComponent other(nullptr);
  auto* c = new TComponent(&other);
  EXPECT_NO_THROW(c->SetName("Button1"));
  // ... but one cannot join the owner of its namesake.
  EXPECT_THROW(owner.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &other);
}

// ---- Loaded and state -----------------------------------------------------------

TEST(ComponentState, LoadedEndsLoading) {
  TComponent c(nullptr);
  c.SetComponentState(csLoading | csReading);
  c.Loaded();
  EXPECT_FALSE(c.HasState(csLoading));
  EXPECT_TRUE(c.HasState(csReading));
}

TEST(ComponentState, DesigningReachesOwnedComponents) {
  TComponent owner(nullptr);
  auto* child = new TComponent(&owner);
  owner.SetDesigning(true);
  EXPECT_TRUE(child->HasState(csDesigning));
  auto* later = new TComponent(&owner);
  EXPECT_TRUE(later->HasState(csDesigning));
  owner.SetDesigning(false, false);
  EXPECT_FALSE(owner.HasState(csDesigning));
  EXPECT_TRUE(child->HasState(csDesigning));
}

// ---- assignment -----------------------------------------------------------------

TEST(PersistentAssign, UnsupportedPairsRaiseTheAssignError) {
  TStrings strings;
  TComponent component(nullptr);
  EXPECT_EQ(ThrownMessage<EConvertError>([&] { strings.Assign(&component); }),
            "Cannot assign a TComponent to a TStrings");
  EXPECT_EQ(ThrownMessage<EConvertError>([&] { component.Assign(&strings); }),
            "Cannot assign a TStrings to a TComponent");
  EXPECT_EQ(ThrownMessage<EConvertError>([&] { strings.Assign(nullptr); }),
            "Cannot assign a nil to a TStrings");
}

// ---- TList ----------------------------------------------------------------------

TEST(List, IndexErrorsNameTheIndex) {
  int a = 1, b = 2, c = 3;
  TList<int> list;
  list.Add(&a);
  list.Add(&c);
  list.Insert(1, &b);
  list.Insert(3, &a);  // at the end is allowed
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list[1], &b);
  EXPECT_EQ(ThrownMessage<EListError>([&] { list.Get(5); }), "List index out of bounds (5)");
  EXPECT_THROW(list.Insert(6, &a), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  list.Move(0, 2);
  EXPECT_EQ(list[2], &a);
  EXPECT_EQ(list.Remove(&c), 1);
  EXPECT_EQ(list.IndexOf(&c), -1);
}

// ---- TStrings -------------------------------------------------------------------

TEST(Strings, EditingFiresOnChangeOncePerChange) {
  TStrings s;
  int changes = 0;
  TObject* sender = nullptr;
  s.OnChange = TNotifyEvent([&](TObject* from) {
    ++changes;
    sender = from;
  });
  s.Add("one");
  s.Add("three");
  s.Insert(1, "two");
  s.Put(2, "THREE");
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(sender, &s);
  EXPECT_EQ(s.Text(), "one\r\ntwo\r\nTHREE\r\n");
  EXPECT_EQ(s.IndexOf("Three"), 2);
  EXPECT_EQ(s.IndexOf("four"), -1);
  s.Delete(0);
  EXPECT_EQ(s[0], "two");
  s.Clear();
  s.Clear();  // nothing left to change
  EXPECT_EQ(changes, 6);
}

TEST(Strings, IndexErrors) {
  TStrings s;
  s.Add("a");
  EXPECT_EQ(ThrownMessage<EListError>([&] { s.Get(1); }), "List index out of bounds (1)");
  EXPECT_EQ(ThrownMessage<EListError>([&] { s.Put(-1, "x"); }), "List index out of bounds (-1)");
  EXPECT_EQ(ThrownMessage<EListError>([&] { s.Insert(2, "x"); }), "List index out of bounds (2)");
  EXPECT_EQ(ThrownMessage<EListError>([&] { s.Delete(5); }), "List index out of bounds (5)");
  EXPECT_NO_THROW(s.Insert(1, "b"));
}

TEST(Strings, TextSplitsAtEveryKindOfLineBreak) {
  TStrings s;
  s.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(s.Count(), 4);
  EXPECT_EQ(s[3], "d");
  s.SetText("a\r\n\r\n");
  ASSERT_EQ(s.Count(), 2);
  EXPECT_EQ(s[1], "");
  // Text and SetText undo each other, empty last lines included.
  TStrings copy;
  copy.SetText(s.Text());
  EXPECT_EQ(copy.Text(), s.Text());
  s.SetText("");
  EXPECT_EQ(s.Count(), 0);
}

TEST(Strings, AssignCopiesTheLines) {
  TStrings a, b;
  a.Add("x");
  a.Add("y");
  int changes = 0;
  b.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
  b.Add("old");
  b.Assign(&a);
  EXPECT_EQ(b.Text(), "x\r\ny\r\n");
  EXPECT_EQ(changes, 2);
  a.Put(0, "changed");
  EXPECT_EQ(b[0], "x");
}

}  // namespace
}  // namespace toolkit
