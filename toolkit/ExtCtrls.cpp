// TImage and the panel.
#include "toolkit/ExtCtrls.h"

#include "toolkit/ClassBuilder.h"
#include "toolkit/StdDraw.h"

namespace toolkit {

// ---- TImage --------------------------------------------------------------------------------

const TClassInfo& TImage::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TImage>("TImage", &TGraphicControl::StaticClass())
          .Creatable()
          .Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false)
          .Bool("Center", &TImage::Center, &TImage::SetCenter, false)
          .Nested("Picture", &TImage::Picture)
          .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
          .Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent, false)
          .Build();
  return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  RegisterStdControls();
  picture_->OnChange = TNotifyEvent([this](TObject* sender) { PictureChanged(sender); }, this);
  SetBounds(Left(), Top(), 105, 105);
}

TImage::~TImage() { picture_->OnChange.Clear(); }

void TImage::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  PictureChanged(this);
}

void TImage::SetCenter(bool center) {
  if (center == center_) return;
  center_ = center;
  PictureChanged(this);
}

void TImage::SetStretch(bool stretch) {
  if (stretch == stretch_) return;
  stretch_ = stretch;
  PictureChanged(this);
}

void TImage::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  PictureChanged(this);
}

void TImage::PictureChanged(TObject*) {
  const int w = picture_->Width(), h = picture_->Height();
  if (autoSize_ && w > 0 && h > 0) SetBounds(Left(), Top(), w, h);
  UpdateOpaque();
  Invalidate();
}

void TImage::SetBounds(int left, int top, int width, int height) {
  TGraphicControl::SetBounds(left, top, width, height);
  UpdateOpaque();
}

gdi::TRect TImage::DestRect() const {
  if (stretch_) return ClientRect();
  gdi::TRect r{0, 0, picture_->Width(), picture_->Height()};
  if (center_) gdi::OffsetRect(&r, (Width() - r.Width()) / 2, (Height() - r.Height()) / 2);
  return r;
}

void TImage::UpdateOpaque() {
  const TGraphic* graphic = picture_->Graphic();
  const gdi::TRect d = DestRect();
  const bool covers = !transparent_ && graphic && !graphic->Empty() && d.Left <= 0 && d.Top <= 0 &&
                      d.Right >= Width() && d.Bottom >= Height();
  if (covers)
    SetControlStyle(ControlStyle() | csOpaque);
  else
    SetControlStyle(ControlStyle() & ~csOpaque);
}

void TImage::Paint() {
  TGraphic* graphic = picture_->Graphic();
  if (!graphic || graphic->Empty()) return;
  const gdi::TRect dest = DestRect();
  if (transparent_)
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) {
      DrawTransparent(bitmap, dest);
      return;
    }
  Canvas()->StretchDraw(dest, graphic);
}

namespace {
// A memory context holding one bitmap, for the length of a draw.
class BitmapContext {
 public:
  explicit BitmapContext(gdi::HBITMAP bitmap) : dc_(gdi::CreateCompatibleDC(0)) {
    old_ = gdi::SelectObject(dc_, bitmap);
  }
  ~BitmapContext() {
    gdi::SelectObject(dc_, old_);
    gdi::DeleteDC(dc_);
  }
  BitmapContext(const BitmapContext&) = delete;
  BitmapContext& operator=(const BitmapContext&) = delete;
  gdi::HDC get() const { return dc_; }

 private:
  gdi::HDC dc_;
  gdi::HGDIOBJ old_ = 0;
};
}  // namespace

// The classic three-pass mask blit: the destination is inverted by the
// image, cleared where the image is opaque, then inverted back where it is
// transparent, which leaves the image there and the background elsewhere.
void TImage::DrawTransparent(TBitmap* bitmap, const gdi::TRect& dest) {
  const int w = bitmap->Width(), h = bitmap->Height();
  bitmap->FreeCanvasHandle();  // the image is selected here next
  BitmapContext image(bitmap->Handle());
  const gdi::COLORREF key = gdi::GetPixel(image.get(), 0, h - 1);

  const gdi::HBITMAP maskBitmap = gdi::CreateBitmap(w, h, 1, 1, nullptr);
  {
    BitmapContext mask(maskBitmap);
    const gdi::COLORREF oldImageBk = gdi::SetBkColor(image.get(), key);
    gdi::BitBlt(mask.get(), 0, 0, w, h, image.get(), 0, 0, gdi::SRCCOPY);
    gdi::SetBkColor(image.get(), oldImageBk);

    const gdi::HDC dc = Canvas()->Handle();
    const gdi::COLORREF oldBk = gdi::SetBkColor(dc, gdi::RGB(255, 255, 255));
    const gdi::COLORREF oldText = gdi::SetTextColor(dc, gdi::RGB(0, 0, 0));
    const int dw = dest.Width(), dh = dest.Height();
    gdi::StretchBlt(dc, dest.Left, dest.Top, dw, dh, image.get(), 0, 0, w, h, gdi::SRCINVERT);
    gdi::StretchBlt(dc, dest.Left, dest.Top, dw, dh, mask.get(), 0, 0, w, h, gdi::SRCAND);
    gdi::StretchBlt(dc, dest.Left, dest.Top, dw, dh, image.get(), 0, 0, w, h, gdi::SRCINVERT);
    gdi::SetTextColor(dc, oldText);
    gdi::SetBkColor(dc, oldBk);
  }
  gdi::DeleteObject(maskBitmap);
}

// ---- TCustomPanel, TPanel -------------------------------------------------------------------

const TEnumInfo kBevelCutNames{{"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
const TEnumInfo kBorderStyleNames{{"bsNone", "bsSingle"}};

const TClassInfo& TCustomPanel::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TCustomPanel>("TCustomPanel", &TCustomControl::StaticClass()).Build();
  return info;
}

// Published by TPanel only, so that panels built on TCustomPanel with a
// frame of their own do not stream this one.
const TClassInfo& TPanel::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TPanel>("TPanel", &TCustomPanel::StaticClass())
          .Creatable()
          .Enum("Alignment", kAlignmentNames, &TPanel::Alignment, &TPanel::SetAlignment, taCenter)
          .Enum("BevelInner", kBevelCutNames, &TPanel::BevelInner, &TPanel::SetBevelInner, bvNone)
          .Enum("BevelOuter", kBevelCutNames, &TPanel::BevelOuter, &TPanel::SetBevelOuter, bvRaised)
          .Int("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1)
          .Enum("BorderStyle", kBorderStyleNames, &TPanel::BorderStyle, &TPanel::SetBorderStyle, bsNone)
          .Int("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth, 0)
          .Build();
  return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  RegisterStdControls();
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque |
                  csDoubleClicks | csReplicatable);
  SetBounds(Left(), Top(), 185, 41);
  SetColor(clBtnFace);
}

bool TCustomPanel::IsColorStored() const { return !ParentColor() && Color() != clBtnFace; }

void TCustomPanel::FrameChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut cut) {
  if (cut == bevelInner_) return;
  bevelInner_ = cut;
  FrameChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut cut) {
  if (cut == bevelOuter_) return;
  bevelOuter_ = cut;
  FrameChanged();
}

void TCustomPanel::SetBevelWidth(int width) {
  if (width < 1) width = 1;
  if (width == bevelWidth_) return;
  bevelWidth_ = width;
  FrameChanged();
}

void TCustomPanel::SetBorderWidth(int width) {
  if (width < 0) width = 0;
  if (width == borderWidth_) return;
  borderWidth_ = width;
  FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle style) {
  if (style != bsSingle) style = bsNone;
  if (style == borderStyle_) return;
  borderStyle_ = style;
  FrameChanged();
}

int TCustomPanel::FrameExtent() const {
  int extent = borderWidth_;
  if (borderStyle_ == bsSingle) ++extent;
  if (bevelOuter_ != bvNone) extent += bevelWidth_;
  if (bevelInner_ != bvNone) extent += bevelWidth_;
  return extent;
}

void TCustomPanel::AlignControls(TControl* control, gdi::TRect& rect) {
  const int extent = FrameExtent();
  gdi::InflateRect(&rect, -extent, -extent);
  TCustomControl::AlignControls(control, rect);
}

namespace {
// A bevel ring set: lowered is shadow above and left, raised the other way
// round, a space is the panel's own colour.
void Bevel(TCanvas* canvas, gdi::TRect& rect, TBevelCut cut, int width, TColor face) {
  switch (cut) {
    case bvNone: return;
    case bvLowered: Frame3D(canvas, rect, clBtnShadow, clBtnHighlight, width); return;
    case bvRaised: Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, width); return;
    case bvSpace: Frame3D(canvas, rect, face, face, width); return;
  }
}
}  // namespace

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  gdi::TRect rect = ClientRect();
  if (borderStyle_ == bsSingle) {
    stddraw::FrameSolid(canvas, rect, clWindowFrame);
    gdi::InflateRect(&rect, -1, -1);
  }
  Bevel(canvas, rect, bevelOuter_, bevelWidth_, Color());
  if (borderWidth_ > 0) Frame3D(canvas, rect, Color(), Color(), borderWidth_);
  Bevel(canvas, rect, bevelInner_, bevelWidth_, Color());
  stddraw::Fill(canvas, rect, Color());
  static constexpr unsigned kAlign[] = {gdi::DT_LEFT, gdi::DT_RIGHT, gdi::DT_CENTER};
  stddraw::DrawCaption(canvas, Font(), Caption(), rect,
                       gdi::DT_EXPANDTABS | gdi::DT_SINGLELINE | gdi::DT_VCENTER | kAlign[alignment_],
                       Enabled());
}

}  // namespace toolkit
