// The controls that show a bitmap of a bitmap list.
#include <algorithm>

#include "controls/Mmbmplst.h"
#include "controls/Mmutils.h"
#include "toolkit/ClassBuilder.h"

namespace controls {

using namespace toolkit;

const TEnumInfo kTransparentModeNames{{"tmAuto", "tmFixed"}};
const TEnumInfo kGlyphOrientationNames{{"goHorizontal", "goVertical"}};

// ---- TMMCustomBitmapListControl -------------------------------------------------------

const TClassInfo& TMMCustomBitmapListControl::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMCustomBitmapListControl>("TMMCustomBitmapListControl",
                                               &TMMGraphicControl::StaticClass())
          .Int("Tag2", &TMMCustomBitmapListControl::Tag2, &TMMCustomBitmapListControl::SetTag2, Default::Tag2)
          // Both the image and the button can be dragged and take drops.
          .Named("DragCursor", "TCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag)
          .Enum("DragMode", kDragModeNames, &TControl::DragMode, &TControl::SetDragMode, dmManual)
          .Event("OnDragDrop", &TControl::OnDragDrop)
          .Event("OnDragOver", &TControl::OnDragOver)
          .Event("OnEndDrag", &TControl::OnEndDrag)
          .Event("OnStartDrag", &TControl::OnStartDrag)
          .Build();
  return info;
}

TMMCustomBitmapListControl::TMMCustomBitmapListControl(TComponent* owner)
    : TMMGraphicControl(owner), observer_(std::make_unique<TMMObserver>()) {
  // The parent paints the background under the picture first.
  SetControlStyle(ControlStyle() & ~csOpaque);
  observer_->OnNotify = TMMObsNotifyEvent(this, &TMMCustomBitmapListControl::BitmapsNotify);
}

TMMCustomBitmapListControl::~TMMCustomBitmapListControl() {
  Destroying();
  SetBitmaps(nullptr);
  observer_.reset();
}

void TMMCustomBitmapListControl::SetBitmaps(TMMBitmapList* list) {
  if (bitmapList_) bitmapList_->RemoveObserver(observer_.get());
  bitmapList_ = list;
  if (bitmapList_) {
    bitmapList_->AddObserver(observer_.get());
    bitmapList_->FreeNotification(this);
  }
  BitmapChanged();
}

void TMMCustomBitmapListControl::SetBitmapIndex(int index) {
  if (index == bitmapIndex_) return;
  bitmapIndex_ = std::max(index, -1);
  BitmapChanged();
}

void TMMCustomBitmapListControl::SetBitmapBackIndex(int index) {
  if (index == bitmapBackIndex_) return;
  bitmapBackIndex_ = std::max(index, -1);
  BitmapChanged();
}

bool TMMCustomBitmapListControl::BitmapValid() const {
  return bitmapList_ && bitmapIndex_ >= 0 && bitmapIndex_ < bitmapList_->Count();
}

TBitmap* TMMCustomBitmapListControl::GetBitmap() const {
  return BitmapValid() ? bitmapList_->Get(bitmapIndex_) : nullptr;
}

void TMMCustomBitmapListControl::BitmapChanged() {
  if (HasState(csDestroying)) return;
  if (Designing()) {
    Refresh();
    return;
  }
  TWinControl* parent = Parent();
  if (!parent || !parent->HandleAllocated()) return;
  Paint();
  // The context made for that paint is not kept past it.
  static_cast<TControlCanvas*>(Canvas())->FreeHandle();
  Refresh();
}

void TMMCustomBitmapListControl::BitmapsNotify(TObject*, TObject*) { BitmapChanged(); }

void TMMCustomBitmapListControl::Notification(TComponent* component, TOperation operation) {
  TMMGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component != nullptr && component == bitmapList_)
    SetBitmaps(nullptr);
}

TColor TMMCustomBitmapListControl::FindTransparentColor() const {
  TBitmap* bitmap = GetBitmap();
  if (!bitmap) return clDefault;
  // The pixel is read through a context of its own: the bitmap may not be
  // held by its canvas's context meanwhile.
  if (bitmap->Canvas()->LockCount() == 0) bitmap->FreeCanvasHandle();
  return controls::GetTransparentColor(bitmap->Handle());
}

TColor TMMCustomBitmapListControl::GetTransparentColor() const {
  if (transparentColor_ == clDefault) return FindTransparentColor();
  return static_cast<TColor>(ColorToRGB(transparentColor_));
}

void TMMCustomBitmapListControl::SetTransparentColor(TColor color) {
  if (color == transparentColor_) return;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  transparentColor_ = color;
  Perform(CM_TRANSCOLORCHANGED);
}

void TMMCustomBitmapListControl::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  SetTransparentColor(mode == tmAuto ? clDefault : GetTransparentColor());
}

void TMMCustomBitmapListControl::SetDesignColor(TColor color) {
  if (color == designColor_) return;
  designColor_ = color;
  if (Designing()) Refresh();
}

gdi::HPALETTE TMMCustomBitmapListControl::GetPalette() const {
  TBitmap* bitmap = GetBitmap();
  return bitmap ? bitmap->Palette() : 0;
}

void TMMCustomBitmapListControl::WndProc(TMessage& message) {
  if (message.Msg == CM_TRANSCOLORCHANGED) {
    CMTransColorChanged(message);
    return;
  }
  TMMGraphicControl::WndProc(message);
}

void TMMCustomBitmapListControl::CMTransColorChanged(TMessage&) { Invalidate(); }

// ---- TMMBitmapListImage ---------------------------------------------------------------

const TClassInfo& TMMBitmapListImage::StaticClass() {
  using C = TMMBitmapListImage;
  static const TClassInfo info =
      ClassBuilder<C>("TMMBitmapListImage", &TMMCustomBitmapListControl::StaticClass())
          .Creatable()
          .Event("OnPaint", &C::OnPaint)
          .Color("DesignColor", &C::DesignColor, &C::SetDesignColor, Default::DesignColor)
          .Ref("BitmapList", &C::BitmapList, &C::SetBitmapList)
          .Int("BitmapIndex", &C::BitmapIndex, &C::SetBitmapIndex, Default::BitmapIndex)
          .Int("BitmapBackIndex", &C::BitmapBackIndex, &C::SetBitmapBackIndex, Default::BitmapBackIndex)
          .Bool("AutoSize", &C::AutoSize, &C::SetAutoSize, Default::AutoSize)
          .Int("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs)
          .Enum("GlyphOrientation", kGlyphOrientationNames, &C::GlyphOrientation, &C::SetGlyphOrient,
                Default::GlyphOrientation)
          .Int("GlyphIndex", &C::GlyphIndex, &C::SetGlyphIndex, Default::GlyphIndex)
          .Build();
  return info;
}

TMMBitmapListImage::TMMBitmapListImage(TComponent* owner) : TMMCustomBitmapListControl(owner) {
  SetBounds(Left(), Top(), 80, 80);
}

void TMMBitmapListImage::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  DoAutoSize();
}

void TMMBitmapListImage::SetGlyphOrient(TMMGlyphOrientation value) {
  if (value == glyphOrientation_) return;
  glyphOrientation_ = value;
  DoAutoSize();
}

void TMMBitmapListImage::SetNumGlyphs(int count) {
  if (count == numGlyphs_) return;
  numGlyphs_ = std::max(count, 1);
  DoAutoSize();
}

void TMMBitmapListImage::SetGlyphIndex(int index) {
  if (index == glyphIndex_) return;
  glyphIndex_ = index;
  if (Designing())
    Refresh();
  else
    FastDraw();
}

void TMMBitmapListImage::BitmapChanged() { DoAutoSize(); }

void TMMBitmapListImage::DoAutoSize() {
  if (HasState(csLoading) || HasState(csReading) || HasState(csDestroying)) return;
  TBitmap* bitmap = GetBitmap();
  if (bitmap && autoSize_) {
    const int width = bitmap->Width(), height = bitmap->Height();
    if (glyphOrientation_ == goHorizontal) {
      const int w = width / numGlyphs_;
      if (w > 0 && height > 0) SetBounds(Left(), Top(), w, height);
    } else {
      const int h = height / numGlyphs_;
      if (h > 0 && width > 0) SetBounds(Left(), Top(), width, h);
    }
  }
  Invalidate();
}

gdi::TRect TMMBitmapListImage::GetSrcRect(int index) const {
  TBitmap* bitmap = GetBitmap();
  if (!bitmap) return {};
  const int i = std::min(index, numGlyphs_ - 1);
  const int width = bitmap->Width(), height = bitmap->Height();
  if (glyphOrientation_ == goHorizontal) {
    const int w = width / numGlyphs_;
    return {w * i, 0, w * (i + 1), height};
  }
  const int h = height / numGlyphs_;
  return {0, h * i, width, h * (i + 1)};
}

void TMMBitmapListImage::Paint() { PaintBitmap(); }

namespace {

// Holds a canvas locked for a scope.
class CanvasLock {
 public:
  explicit CanvasLock(TCanvas* canvas) : canvas_(canvas) { canvas_->Lock(); }
  ~CanvasLock() { canvas_->Unlock(); }
  CanvasLock(const CanvasLock&) = delete;
  CanvasLock& operator=(const CanvasLock&) = delete;

 private:
  TCanvas* canvas_;
};

bool Inside(const gdi::TRect& r, int width, int height) {
  return r.Left >= 0 && r.Top >= 0 && r.Right <= width && r.Bottom <= height && r.Left < r.Right &&
         r.Top < r.Bottom;
}

}  // namespace

void TMMBitmapListImage::PaintBitmap() {
  TCanvas* canvas = Canvas();
  if ((Visible() || Designing()) && BitmapValid()) {
    TBitmap* bitmap = GetBitmap();
    const CanvasLock locked(bitmap->Canvas());
    gdi::TRect dest{0, 0, Width(), Height()};
    gdi::TRect source = GetSrcRect(glyphIndex_);
    if (OnPaint && !Designing()) {
      OnPaint(this, canvas, dest, source);
    } else if (Inside(source, bitmap->Width(), bitmap->Height())) {
      // A strip outside the bitmap (a negative GlyphIndex) shows nothing.
      canvas->CopyRect(dest, bitmap->Canvas(), source);
    }
  } else if (Designing()) {
    canvas->Brush()->SetStyle(bsClear);
    canvas->Pen()->SetStyle(psDot);
    canvas->Pen()->SetColor(DesignColor());
    canvas->Rectangle(0, 0, Width(), Height());
  }
}

void TMMBitmapListImage::FastDraw() {
  TWinControl* parent = Parent();
  if (!Visible() || !parent || !parent->HandleAllocated()) return;
  const gdi::HWND window = parent->Handle();
  const gdi::HDC dc = gdi::GetDC(window);
  auto* canvas = static_cast<TControlCanvas*>(Canvas());
  canvas->FreeHandle();
  const CanvasLock locked(canvas);
  struct Release {
    TControlCanvas* canvas;
    gdi::HWND window;
    gdi::HDC dc;
    ~Release() {
      canvas->SetHandle(0);
      gdi::ReleaseDC(window, dc);
    }
  } release{canvas, window, dc};
  const gdi::TRect place{Left(), Top(), Left() + Width(), Top() + Height()};
  if (!gdi::RectVisible(dc, &place)) return;
  gdi::TPoint origin{};
  gdi::GetWindowOrgEx(dc, &origin);
  gdi::SetWindowOrgEx(dc, origin.X - Left(), origin.Y - Top(), nullptr);
  gdi::IntersectClipRect(dc, 0, 0, Width(), Height());
  canvas->SetHandle(dc);
  PaintBitmap();
}

}  // namespace controls
