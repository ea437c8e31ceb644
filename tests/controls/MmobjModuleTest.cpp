// The base module's start-up, resource helpers and device-id names, and its
// thread classes.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "controls/Mmobj.h"
#include "resources/Resources.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/ModuleResources.h"
#include "toolkit/Streaming.h"

namespace controls {
namespace {

using namespace toolkit;

bool SameImage(const platform::CursorImage& a, const platform::CursorImage& b) {
  return a.width == b.width && a.height == b.height && a.hotX == b.hotX && a.hotY == b.hotY &&
         a.argb == b.argb;
}

TEST(MmobjModule, StartupLoadsTheCursorsOnceUntilShutdown) {
  RegisterResources();
  MmobjStartup();
  for (int i = 1; i <= kLibraryCursorCount; ++i) {
    const platform::CursorImage expected = LoadResCursor(static_cast<std::uint16_t>(i));
    ASSERT_EQ(expected.width, 32) << i;
    const platform::CursorImage* loaded = Screen->Cursors(2000 + i);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(SameImage(*loaded, expected)) << "cursor " << 2000 + i;
  }

  platform::CursorImage other;
  other.width = other.height = 1;
  other.argb = {0xFF00FF00};
  Screen->SetCursorImage(2001, other);
  MmobjStartup();
  EXPECT_TRUE(SameImage(*Screen->Cursors(2001), other)) << "a nested start-up does nothing";
  MmobjShutdown();
  MmobjShutdown();

  MmobjStartup();
  EXPECT_TRUE(SameImage(*Screen->Cursors(2001), LoadResCursor(1)))
      << "after the last shutdown it works again";
  MmobjShutdown();
}

TEST(MmobjModule, ResourceHelpersAddTheLibraryOffsets) {
  RegisterStringResource(28007, "Seven");
  EXPECT_EQ(LoadResStr(7), "Seven");
  EXPECT_EQ(LoadResStr(8), "");
  UnregisterStringResource(28007);

  EXPECT_EQ(LoadResCursor(999).width, 0) << "no such cursor";
  EXPECT_EQ(LoadResIcon(1), nullptr) << "no such icon";

  std::ifstream file(std::string(LUMIVANT_SOURCE_DIR) + "/resources/art/form-icon.ico", std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  ASSERT_FALSE(bytes.empty());
  RegisterIconResource(3001, bytes.data(), bytes.size());
  const std::unique_ptr<TIcon> icon = LoadResIcon(1);
  ASSERT_NE(icon, nullptr);
  ASSERT_FALSE(icon->Images().empty());
  EXPECT_GT(icon->Images()[0].width, 0);
  UnregisterIconResource(3001);
}

TEST(MmobjModule, DeviceIdNames) {
  std::int64_t id = 0;
  EXPECT_TRUE(IdentToDeviceId("mapperID", id));
  EXPECT_EQ(id, -1);
  EXPECT_TRUE(IdentToDeviceId("InvalidId", id));
  EXPECT_EQ(id, -2);
  EXPECT_FALSE(IdentToDeviceId("Mapper", id));
  std::string name;
  EXPECT_TRUE(DeviceIdToIdent(-1, name));
  EXPECT_EQ(name, "MapperId");
  EXPECT_TRUE(DeviceIdToIdent(-2, name));
  EXPECT_EQ(name, "InvalidId");
  EXPECT_FALSE(DeviceIdToIdent(0, name));
  EXPECT_FALSE(DeviceIdToIdent(-3, name));
}

// A component with a device number in its stream.
class TDeviceHolder : public TComponent {
  TOOLKIT_CLASS(TDeviceHolder, TComponent)
 public:
  explicit TDeviceHolder(TComponent* owner) : TComponent(owner) {}
  TMMDeviceId DeviceId() const { return device_; }
  void SetDeviceId(TMMDeviceId id) { device_ = id; }

 private:
  TMMDeviceId device_ = 0;
};

const TClassInfo& TDeviceHolder::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TDeviceHolder>("TDeviceHolder", &TComponent::StaticClass())
          .Creatable()
          .Named("DeviceId", "TMMDeviceId", &TDeviceHolder::DeviceId, &TDeviceHolder::SetDeviceId, 0)
          .Build();
  return info;
}

std::string AsText(TComponent* root) {
  TMemoryStream binary, text;
  WriteComponent(binary, root);
  binary.Seek(0, TSeekOrigin::soBeginning);
  ObjectBinaryToText(binary, text);
  return std::string(text.Bytes().begin(), text.Bytes().end());
}

TEST(MmobjModule, StreamsWriteAndReadDeviceIdsByName) {
  MmobjStartup();
  TDeviceHolder holder(nullptr);
  holder.SetName("Holder");
  holder.SetDeviceId(MapperId);
  EXPECT_NE(AsText(&holder).find("DeviceId = MapperId"), std::string::npos) << AsText(&holder);
  holder.SetDeviceId(3);
  EXPECT_NE(AsText(&holder).find("DeviceId = 3"), std::string::npos);

  const std::string source = "object Holder: TDeviceHolder\n  DeviceId = invalidid\nend\n";
  TMemoryStream text, binary;
  text.Write(source.data(), static_cast<std::int64_t>(source.size()));
  text.Seek(0, TSeekOrigin::soBeginning);
  ObjectTextToBinary(text, binary);
  binary.Seek(0, TSeekOrigin::soBeginning);
  TDeviceHolder read(nullptr);
  ReadComponent(binary, &read);
  EXPECT_EQ(read.DeviceId(), InvalidId);
  MmobjShutdown();
}

// A bevel's thirteen properties have no defaults: a stream carries them all.
class TBevelHolder : public TComponent {
  TOOLKIT_CLASS(TBevelHolder, TComponent)
 public:
  explicit TBevelHolder(TComponent* owner) : TComponent(owner) {}
  TMMBevel* Bevel() const { return bevel_.get(); }

 private:
  std::unique_ptr<TMMBevel> bevel_ = std::make_unique<TMMBevel>();
};

const TClassInfo& TBevelHolder::StaticClass() {
  static const TClassInfo info = ClassBuilder<TBevelHolder>("TBevelHolder", &TComponent::StaticClass())
                                     .Nested("Bevel", &TBevelHolder::Bevel)
                                     .Build();
  return info;
}

TEST(MmobjModule, ABevelStreamsAllItsProperties) {
  RegisterControlClasses();  // the colour names
  TBevelHolder holder(nullptr);
  holder.SetName("Holder");
  const std::string text = AsText(&holder);
  for (const char* name :
       {"BevelInner = bvNone", "BevelOuter = bvLowered", "BevelInnerWidth = 1", "BevelOuterWidth = 1",
        "BorderStyle = bsNone", "BorderWidth = 0", "BorderSpace = 0", "BorderColor = clBtnFace",
        "BorderSpaceColor = clBlack", "InnerLightColor = clBtnHighlight", "InnerShadowColor = clBtnShadow",
        "OuterLightColor = clBtnHighlight", "OuterShadowColor = clBtnShadow"})
    EXPECT_NE(text.find(std::string("Bevel.") + name), std::string::npos) << name << "\n" << text;
}

TEST(MmobjModule, InheritsFromEx) {
  TMMBevel bevel;
  EXPECT_TRUE(InheritsFromEx(&bevel, TMMBevel::StaticClass()));
  EXPECT_TRUE(InheritsFromEx(&bevel, TMMObject::StaticClass()));
  EXPECT_TRUE(InheritsFromEx(&bevel, TPersistent::StaticClass()));
  EXPECT_FALSE(InheritsFromEx(&bevel, TComponent::StaticClass()));
  EXPECT_FALSE(InheritsFromEx(nullptr, TObject::StaticClass()));
  TMMNonVisualComponent component(nullptr);
  EXPECT_TRUE(InheritsFromEx(&component, TMMComponent::StaticClass()));
}

// ---- threads --------------------------------------------------------------------------

TEST(MMCriticalSection, TryEnterRefusesWhileAnyoneHoldsIt) {
  TMMCriticalSection section;
  EXPECT_TRUE(section.TryEnter());
  EXPECT_EQ(section.LockCount(), 1);
  EXPECT_FALSE(section.TryEnter()) << "also for the thread that holds it";
  section.Acquire();  // the holder may enter again
  EXPECT_EQ(section.LockCount(), 2);
  section.Release();

  bool otherGot = true;
  std::thread([&] { otherGot = section.TryEnter(); }).join();
  EXPECT_FALSE(otherGot);
  section.Release();
  EXPECT_EQ(section.LockCount(), 0);

  std::thread([&] {
    otherGot = section.TryEnter();
    if (otherGot) section.Release();
  }).join();
  EXPECT_TRUE(otherGot);
}

TEST(MMCriticalSection, KeepsThreadsApart) {
  TMMCriticalSection section;
  int inside = 0, most = 0;
  long total = 0;
  auto work = [&] {
    for (int i = 0; i < 2000; ++i) {
      section.Acquire();
      most = std::max(most, ++inside);
      ++total;
      --inside;
      section.Release();
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(most, 1);
  EXPECT_EQ(total, 4000);
  EXPECT_EQ(section.LockCount(), 0);
}

class IdleThread : public TMMThreadEx {
 public:
  std::atomic<int> runs{0};

 protected:
  void Execute() override {
    ++runs;
    SetReturnValue(42);
  }
};

TEST(MMThreadEx, PrioritiesMapToTheClassicValues) {
  const int expected[] = {-15, -2, -1, 0, 1, 2, 15};
#ifdef _WIN32
  const bool privileged = true;  // Windows lets a program raise its own threads
#else
  const bool privileged = ::geteuid() == 0;
#endif
  for (int p = tpIdle; p <= tpTimeCritical; ++p) {
    IdleThread thread;  // a fresh thread at normal priority each time
    thread.SetPriority(static_cast<TThreadPriority>(p));
    // Raising a thread above normal needs privileges here.
    if (expected[p] > 0 && !privileged) continue;
    EXPECT_EQ(platform::GetThreadPriority(thread.Handle()), expected[p]) << p;
    EXPECT_EQ(thread.Priority(), p);
  }
}

TEST(MMThreadEx, RunsOnStartAndReportsWhatEscapes) {
  IdleThread thread;
  EXPECT_TRUE(thread.Suspended());
  EXPECT_EQ(thread.runs, 0);
  thread.Start();
  EXPECT_EQ(thread.WaitFor(), 42);
  EXPECT_EQ(thread.runs, 1);
  EXPECT_TRUE(thread.Finished());
  thread.Start();
  EXPECT_EQ(thread.WaitFor(), 42);
  EXPECT_EQ(thread.runs, 1) << "a thread runs once";

  class Failing : public TMMThreadEx {
   protected:
    void Execute() override { throw Exception("broken"); }
  } failing;
  failing.Start();
  failing.WaitFor();
  EXPECT_TRUE(failing.FatalException());

  { IdleThread neverStarted; }  // freed without running: nothing hangs
}

}  // namespace
}  // namespace controls
