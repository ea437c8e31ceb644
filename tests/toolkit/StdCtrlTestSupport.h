// What the standard-control tests share: an application on the headless
// backend, a shown form, input helpers and pixel readers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "platform/WindowBackend.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace toolkit::stdtest {

using platform::Event;
using EventType = platform::Event::Type;

inline gdi::COLORREF Rgb(TColor color) { return ColorToRGB(color); }

class StdCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<platform::HeadlessBackend>();
    backend_ = backend.get();
    Application->SetBackend(std::move(backend));
    Application->OnException.Clear();
    RegisterStdControls();
    form = new TForm(&root_);
    form->SetClientWidth(300);
    form->SetClientHeight(220);
    form->Show();
  }
  void TearDown() override {
    root_.DestroyComponents();
    Application->SetBackend(nullptr);
  }

  // Each event is handled, painted and presented as the message loop does.
  void Send(const Event& event) {
    backend_->Inject(event);
    Application->ProcessMessages();
  }
  void Mouse(EventType type, int x, int y, unsigned shift = 0) {
    Event e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.shift = shift;
    Send(e);
  }
  void Press(int x, int y, unsigned shift = 0) { Mouse(EventType::MouseDown, x, y, shift); }
  void Release(int x, int y) { Mouse(EventType::MouseUp, x, y); }
  void Move(int x, int y) { Mouse(EventType::MouseMove, x, y, platform::kLeft); }
  void Hover(int x, int y) { Mouse(EventType::MouseMove, x, y); }
  void Click(int x, int y) {
    Press(x, y);
    Release(x, y);
  }
  void KeyDown(unsigned key, unsigned shift = 0) {
    Event e;
    e.type = EventType::KeyDown;
    e.key = key;
    e.shift = shift;
    Send(e);
  }
  void KeyUp(unsigned key, unsigned shift = 0) {
    Event e;
    e.type = EventType::KeyUp;
    e.key = key;
    e.shift = shift;
    Send(e);
  }
  // A key without text: down, then up.
  void Key(unsigned key, unsigned shift = 0) {
    KeyDown(key, shift);
    KeyUp(key, shift);
  }
  // Printable text as the backend delivers it; letters and digits come
  // with their key, as typed.
  void Type(const std::string& text) {
    for (char c : text) {
      const auto u = static_cast<unsigned char>(c);
      const unsigned key = std::isalnum(u) ? static_cast<unsigned>(std::toupper(u)) : 0u;
      if (key) KeyDown(key);
      Event e;
      e.type = EventType::Text;
      e.text = std::string(1, c);
      Send(e);
      if (key) KeyUp(key);
    }
  }
  void Paint() {
    form->Invalidate();
    form->Update();
  }

  // The form's surface (pop-ups not included), 0x00BBGGRR.
  gdi::COLORREF Pixel(int x, int y) const { return form->SurfacePixel(x, y); }
  // What the window shows, pop-ups included, 0x00BBGGRR.
  gdi::COLORREF Shown(int x, int y) const {
    const auto& window = *backend_->Windows().back();
    if (x < 0 || y < 0 || x >= window.width || y >= window.height) return gdi::CLR_INVALID;
    const std::uint32_t p = window.pixels[static_cast<std::size_t>(y) * window.width + x];
    return gdi::RGB(static_cast<gdi::BYTE>(p >> 16), static_cast<gdi::BYTE>(p >> 8),
                    static_cast<gdi::BYTE>(p));
  }
  // How many pixels of `r` (form coordinates) have `color`.
  int Count(const gdi::TRect& r, gdi::COLORREF color) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += Pixel(x, y) == color;
    return n;
  }

  // The smallest rectangle of `r` holding every pixel of `color` there.
  gdi::TRect InkBox(const gdi::TRect& r, gdi::COLORREF color) const {
    gdi::TRect box{r.Right, r.Bottom, r.Left, r.Top};
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Pixel(x, y) == color) {
          box.Left = std::min(box.Left, x);
          box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1);
          box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box;
  }

  platform::HeadlessBackend* backend_ = nullptr;
  TComponent root_{nullptr};
  TForm* form = nullptr;
};

// A 32-bit memory bitmap to draw expectations into.
class MemoryImage {
 public:
  MemoryImage(int width, int height, gdi::COLORREF fill)
      : dc_(gdi::CreateCompatibleDC(0)), bitmap_(gdi::CreateBitmap(width, height, 1, 32, nullptr)) {
    old_ = gdi::SelectObject(dc_, bitmap_);
    const gdi::HBRUSH brush = gdi::CreateSolidBrush(fill);
    const gdi::TRect all{0, 0, width, height};
    gdi::FillRect(dc_, &all, brush);
    gdi::DeleteObject(brush);
  }
  ~MemoryImage() {
    gdi::SelectObject(dc_, old_);
    gdi::DeleteDC(dc_);
    gdi::DeleteObject(bitmap_);
  }
  MemoryImage(const MemoryImage&) = delete;
  MemoryImage& operator=(const MemoryImage&) = delete;
  gdi::HDC dc() const { return dc_; }
  gdi::COLORREF Pixel(int x, int y) const { return gdi::GetPixel(dc_, x, y); }
  // DrawTextA of `text` in `font` and `color`, transparent.
  void Text(const TFont& font, const std::string& text, gdi::TRect rect, unsigned flags,
            gdi::COLORREF color) {
    const gdi::HGDIOBJ old = gdi::SelectObject(dc_, font.Handle());
    gdi::SetTextColor(dc_, color);
    gdi::SetBkMode(dc_, gdi::TRANSPARENT);
    gdi::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rect, flags);
    gdi::SelectObject(dc_, old);
  }

 private:
  gdi::HDC dc_;
  gdi::HBITMAP bitmap_;
  gdi::HGDIOBJ old_ = 0;
};

// What DrawTextA measures for `text` in `font` with DT_CALCRECT.
inline gdi::TRect CalcRect(const TFont& font, const std::string& text, unsigned flags,
                           gdi::TRect rect = {0, 0, 0, 0}) {
  MemoryImage image(1, 1, 0);
  const gdi::HGDIOBJ old = gdi::SelectObject(image.dc(), font.Handle());
  gdi::DrawTextA(image.dc(), text.data(), static_cast<int>(text.size()), &rect, flags | gdi::DT_CALCRECT);
  gdi::SelectObject(image.dc(), old);
  return rect;
}

}  // namespace toolkit::stdtest
