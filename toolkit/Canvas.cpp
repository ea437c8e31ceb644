#include "toolkit/Canvas.h"

#include "toolkit/Bitmap.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/GdiCalls.h"

namespace toolkit {

const TClassInfo& TCanvas::StaticClass() {
  static const TClassInfo info = ClassBuilder<TCanvas>("TCanvas", &TPersistent::StaticClass()).Build();
  return info;
}

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
  font_->OnChange = TNotifyEvent([this](TObject*) { ToolChanged(FontValid); }, this);
  pen_->OnChange = TNotifyEvent([this](TObject*) { ToolChanged(PenValid); }, this);
  brush_->OnChange = TNotifyEvent([this](TObject*) { ToolChanged(BrushValid); }, this);
}

TCanvas::~TCanvas() { SetHandle(0); }

gdi::HDC TCanvas::Handle() {
  RequiredState(HandleValid);
  return dc_;
}

void TCanvas::SetHandle(gdi::HDC dc) {
  if (dc == dc_) return;
  if (dc_) {
    // Give the context back as it was lent: our tools deselected.
    if (oldFont_) gdi::SelectObject(dc_, oldFont_);
    if (oldPen_) gdi::SelectObject(dc_, oldPen_);
    if (oldBrush_) gdi::SelectObject(dc_, oldBrush_);
    oldFont_ = oldPen_ = oldBrush_ = 0;
  }
  dc_ = dc;
  state_ = dc ? unsigned{HandleValid} : 0u;
}

void TCanvas::ToolChanged(unsigned bit) { state_ &= ~bit; }

void TCanvas::RequiredState(unsigned needed) {
  const unsigned missing = needed & ~state_;
  if (!missing) return;
  if (missing & HandleValid) {
    CreateHandle();
    if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (missing & FontValid) {
    const gdi::HGDIOBJ old = gdi::SelectObject(dc_, font_->Handle());
    if (!oldFont_) oldFont_ = old;
    gdi::SetTextColor(dc_, ColorToRGB(font_->Color()));
  }
  if (missing & PenValid) {
    const gdi::HGDIOBJ old = gdi::SelectObject(dc_, pen_->Handle());
    if (!oldPen_) oldPen_ = old;
    gdi::SetROP2(dc_, pen_->Rop2());
  }
  if (missing & BrushValid) {
    const gdi::HGDIOBJ old = gdi::SelectObject(dc_, brush_->Handle());
    if (!oldBrush_) oldBrush_ = old;
    gdi::SetBkColor(dc_, ColorToRGB(brush_->Color()));
    gdi::SetBkMode(dc_, brush_->Style() == bsClear ? gdi::TRANSPARENT : gdi::OPAQUE);
  }
  state_ |= needed;
}

void TCanvas::Changing() { OnChanging(this); }
void TCanvas::Changed() { OnChange(this); }

TColor TCanvas::Pixel(int x, int y) {
  RequiredState(HandleValid);
  const gdi::COLORREF c = gdi::GetPixel(dc_, x, y);
  return static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  Changing();
  RequiredState(HandleValid | PenValid);
  gdi::SetPixel(dc_, x, y, ColorToRGB(color));
  Changed();
}

void TCanvas::FillRect(const gdi::TRect& rect) {
  Changing();
  RequiredState(HandleValid | BrushValid);
  gdi::FillRect(dc_, &rect, brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const gdi::TRect& rect) {
  Changing();
  RequiredState(HandleValid | BrushValid);
  gdi::FrameRect(dc_, &rect, brush_->Handle());
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Changing();
  RequiredState(HandleValid | PenValid | BrushValid);
  gdi::Rectangle(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  Changing();
  RequiredState(HandleValid | PenValid | BrushValid);
  gdi::Ellipse(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState(HandleValid);
  gdi::MoveToEx(dc_, x, y, nullptr);
  penPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(HandleValid | PenValid | BrushValid);
  gdi::MoveToEx(dc_, penPos_.X, penPos_.Y, nullptr);
  gdi::LineTo(dc_, x, y);
  penPos_ = {x, y};
  Changed();
}

void TCanvas::Polyline(const gdi::TPoint* points, int count) {
  Changing();
  RequiredState(HandleValid | PenValid | BrushValid);
  gdi::Polyline(dc_, points, count);
  Changed();
}

void TCanvas::DrawFocusRect(const gdi::TRect& rect) {
  Changing();
  RequiredState(HandleValid | BrushValid);
  gdi::DrawFocusRect(dc_, &rect);
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState(HandleValid);
  graphic->Draw(this, {x, y, x + graphic->Width(), y + graphic->Height()});
  Changed();
}

void TCanvas::StretchDraw(const gdi::TRect& rect, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState(HandleValid);
  graphic->Draw(this, rect);
  Changed();
}

void TCanvas::CopyRect(const gdi::TRect& dest, TCanvas* canvas, const gdi::TRect& source) {
  if (!canvas) return;
  Changing();
  RequiredState(HandleValid | BrushValid);
  canvas->RequiredState(HandleValid | BrushValid);
  gdi::StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas->dc_, source.Left, source.Top,
                  source.Width(), source.Height(), copyMode_);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Changing();
  RequiredState(HandleValid | FontValid | BrushValid);
  CallGdi([&] { return gdi::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size())); });
  penPos_ = {x + TextWidth(text), y};
  Changed();
}

void TCanvas::TextRect(const gdi::TRect& rect, int x, int y, const std::string& text) {
  Changing();
  RequiredState(HandleValid | FontValid | BrushValid);
  const int saved = gdi::SaveDC(dc_);
  gdi::IntersectClipRect(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
  if (brush_->Style() != bsClear) gdi::FillRect(dc_, &rect, brush_->Handle());
  CallGdi([&] { return gdi::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size())); });
  gdi::RestoreDC(dc_, saved);
  Changed();
}

int TCanvas::DrawText(const std::string& text, gdi::TRect& rect, gdi::UINT format) {
  Changing();
  RequiredState(HandleValid | FontValid | BrushValid);
  const int height =
      CallGdi([&] { return gdi::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rect, format); });
  Changed();
  return height;
}

gdi::SIZE TCanvas::TextExtent(const std::string& text) {
  RequiredState(HandleValid | FontValid);
  gdi::SIZE size;
  CallGdi([&] { return gdi::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size); });
  return size;
}

gdi::TRect TCanvas::ClipRect() {
  RequiredState(HandleValid);
  gdi::TRect r;
  gdi::GetClipBox(dc_, &r);
  return r;
}

void Frame3D(TCanvas* canvas, gdi::TRect& rect, TColor topLeft, TColor bottomRight, int width) {
  canvas->Pen()->SetWidth(1);
  --rect.Bottom;
  --rect.Right;
  for (; width > 0; --width) {
    const gdi::TPoint topRight{rect.Right, rect.Top};
    gdi::TPoint bottomLeft{rect.Left, rect.Bottom};
    canvas->Pen()->SetColor(topLeft);
    const gdi::TPoint first[] = {bottomLeft, {rect.Left, rect.Top}, topRight};
    canvas->Polyline(first, 3);
    canvas->Pen()->SetColor(bottomRight);
    --bottomLeft.X;  // so that the bottom-left pixel is drawn
    const gdi::TPoint second[] = {topRight, {rect.Right, rect.Bottom}, bottomLeft};
    canvas->Polyline(second, 3);
    gdi::InflateRect(&rect, -1, -1);
  }
  ++rect.Bottom;
  ++rect.Right;
}

}  // namespace toolkit
