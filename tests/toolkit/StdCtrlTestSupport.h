// What the standard-control tests share: an application on the headless
// backend with its input helpers, a shown form and pixel readers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/toolkit/ControlTestSupport.h"
#include "toolkit/StdCtrls.h"

namespace toolkit::stdtest {

inline gdi::COLORREF Rgb(TColor color) { return ColorToRGB(color); }

class StdCtrlTest : public controltest::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterStdControls();
    form = MakeForm(300, 220);
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
