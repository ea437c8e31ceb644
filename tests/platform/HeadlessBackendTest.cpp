#include <gtest/gtest.h>

#include <vector>

#include "platform/WindowBackend.h"

namespace platform {
namespace {

WindowSpec Wanted(const std::string& title, int width, int height) {
  WindowSpec wanted;
  wanted.title = title;
  wanted.clientWidth = width;
  wanted.clientHeight = height;
  return wanted;
}

Event KeyDown(unsigned key) {
  Event e;
  e.type = Event::Type::KeyDown;
  e.key = key;
  return e;
}

TEST(HeadlessBackend, DeliversInjectedEventsInOrderThenReportsEmpty) {
  HeadlessBackend backend;
  Event click;
  click.type = Event::Type::MouseDown;
  click.x = 7;
  click.y = 9;
  backend.Inject(click);
  backend.Inject(KeyDown(0x41));
  Event text;
  text.type = Event::Type::Text;
  text.text = "\xC3\xA9";
  backend.Inject(text);

  Event e;
  ASSERT_TRUE(backend.NextEvent(e, false));
  EXPECT_EQ(e.type, Event::Type::MouseDown);
  EXPECT_EQ(e.x, 7);
  EXPECT_EQ(e.y, 9);
  ASSERT_TRUE(backend.NextEvent(e, true));
  EXPECT_EQ(e.type, Event::Type::KeyDown);
  EXPECT_EQ(e.key, 0x41u);
  ASSERT_TRUE(backend.NextEvent(e, false));
  EXPECT_EQ(e.type, Event::Type::Text);
  EXPECT_EQ(e.text, "\xC3\xA9");
  EXPECT_FALSE(backend.NextEvent(e, false));
  // Waiting on an empty queue must not hang: nothing could ever arrive.
  EXPECT_FALSE(backend.NextEvent(e, true));

  backend.Inject(KeyDown(0x42));
  ASSERT_TRUE(backend.NextEvent(e, false));
  EXPECT_EQ(e.key, 0x42u);
}

TEST(HeadlessBackend, PresentKeepsACopyOfThePixels) {
  HeadlessBackend backend;
  auto window = backend.OpenWindow(Wanted("Shots", 3, 2));
  ASSERT_EQ(backend.Windows().size(), 1u);
  const auto& shown = *backend.Windows()[0];
  EXPECT_EQ(shown.title, "Shots");
  EXPECT_EQ(shown.width, 3);
  EXPECT_EQ(shown.height, 2);
  EXPECT_FALSE(shown.visible);
  window->Show();
  EXPECT_TRUE(shown.visible);
  window->SetTitle("Shots 2");
  EXPECT_EQ(shown.title, "Shots 2");

  // Rows 4 pixels apart: the fourth column is padding, not part of the image.
  std::vector<std::uint32_t> source = {
      0x000001, 0x000002, 0x000003, 0xDEAD01, 0x000004, 0x000005, 0x000006, 0xDEAD02,
  };
  EXPECT_EQ(backend.PresentCount(), 0);
  window->Present({source.data(), 3, 2, 4});
  EXPECT_EQ(backend.PresentCount(), 1);
  const std::vector<std::uint32_t> expected = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(shown.pixels, expected);

  source.assign(source.size(), 0xFFFFFF);
  EXPECT_EQ(shown.pixels, expected);

  window->Present({source.data(), 3, 2, 4});
  EXPECT_EQ(backend.PresentCount(), 2);
  EXPECT_EQ(shown.pixels, std::vector<std::uint32_t>(6, 0xFFFFFF));
}

TEST(HeadlessBackend, SmallerSurfaceLeavesTheRestBlack) {
  HeadlessBackend backend;
  auto window = backend.OpenWindow(Wanted("t", 2, 2));
  const std::uint32_t one = 0xABCDEF;
  window->Present({&one, 1, 1, 1});
  EXPECT_EQ(backend.Windows()[0]->pixels, (std::vector<std::uint32_t>{0xABCDEF, 0, 0, 0}));
}

TEST(HeadlessBackend, EachWindowHasItsOwnRecord) {
  HeadlessBackend backend;
  auto a = backend.OpenWindow(Wanted("a", 1, 1));
  auto b = backend.OpenWindow(Wanted("b", 1, 1));
  const std::uint32_t red = 0xFF0000, blue = 0x0000FF;
  b->Present({&blue, 1, 1, 1});
  a->Present({&red, 1, 1, 1});
  ASSERT_EQ(backend.Windows().size(), 2u);
  EXPECT_EQ(backend.Windows()[0]->title, "a");
  EXPECT_EQ(backend.Windows()[0]->pixels, std::vector<std::uint32_t>{red});
  EXPECT_EQ(backend.Windows()[1]->pixels, std::vector<std::uint32_t>{blue});
  EXPECT_EQ(backend.PresentCount(), 2);
}

TEST(HeadlessBackend, RecordsMessageBoxesInsteadOfBlocking) {
  HeadlessBackend backend;
  backend.ShowMessageBox("Lumivant", "No instrument found.", MessageBoxIcon::Error);
  backend.ShowMessageBox("Saved", "3 screens written.", MessageBoxIcon::Information);
  ASSERT_EQ(backend.MessageBoxes().size(), 2u);
  EXPECT_EQ(backend.MessageBoxes()[0].title, "Lumivant");
  EXPECT_EQ(backend.MessageBoxes()[0].text, "No instrument found.");
  EXPECT_EQ(backend.MessageBoxes()[0].icon, MessageBoxIcon::Error);
  EXPECT_EQ(backend.MessageBoxes()[1].title, "Saved");
  EXPECT_EQ(backend.MessageBoxes()[1].icon, MessageBoxIcon::Information);
}

TEST(HeadlessBackend, ScreenAndClipboard) {
  HeadlessBackend backend;
  int w = 0, h = 0;
  backend.ScreenSize(w, h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
  EXPECT_EQ(backend.ClipboardText(), "");
  backend.SetClipboardText("Style 012");
  EXPECT_EQ(backend.ClipboardText(), "Style 012");
}

}  // namespace
}  // namespace platform
