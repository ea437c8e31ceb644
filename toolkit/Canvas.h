// A drawing surface over a device context, with its own font, pen and
// brush. Subclasses say where the context comes from (a bitmap's memory
// context, a control's place in its window) by overriding CreateHandle.
#pragma once

#include <string>

#include "gdi/Gdi.h"
#include "toolkit/Graphics.h"

namespace toolkit {

class TGraphic;

enum TCopyMode : gdi::DWORD {
  cmBlackness = gdi::BLACKNESS,
  cmDstInvert = gdi::DSTINVERT,
  cmMergeCopy = gdi::MERGECOPY,
  cmMergePaint = gdi::MERGEPAINT,
  cmNotSrcCopy = gdi::NOTSRCCOPY,
  cmNotSrcErase = gdi::NOTSRCERASE,
  cmPatCopy = gdi::PATCOPY,
  cmPatInvert = gdi::PATINVERT,
  cmPatPaint = gdi::PATPAINT,
  cmSrcAnd = gdi::SRCAND,
  cmSrcCopy = gdi::SRCCOPY,
  cmSrcErase = gdi::SRCERASE,
  cmSrcInvert = gdi::SRCINVERT,
  cmSrcPaint = gdi::SRCPAINT,
  cmWhiteness = gdi::WHITENESS,
};

class TCanvas : public TPersistent {
  TOOLKIT_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The context, made when first needed.
  gdi::HDC Handle();
  // Uses `dc` from now on (0 lets go of the current one without freeing it).
  void SetHandle(gdi::HDC dc);
  bool HandleAllocated() const { return dc_ != 0; }

  // Lock brackets nest; a locked canvas keeps its context.
  void Lock() { ++lockCount_; }
  void Unlock() { --lockCount_; }
  int LockCount() const { return lockCount_; }

  TFont* Font() const { return font_.get(); }
  TPen* Pen() const { return pen_.get(); }
  TBrush* Brush() const { return brush_.get(); }
  void SetFont(const TFont* font) { font_->Assign(font); }
  void SetPen(const TPen* pen) { pen_->Assign(pen); }
  void SetBrush(const TBrush* brush) { brush_->Assign(brush); }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }

  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);
  void FillRect(const gdi::TRect& rect);
  void FrameRect(const gdi::TRect& rect);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const gdi::TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void Ellipse(int left, int top, int right, int bottom);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  gdi::TPoint PenPos() const { return penPos_; }
  void Polyline(const gdi::TPoint* points, int count);
  void DrawFocusRect(const gdi::TRect& rect);
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const gdi::TRect& rect, TGraphic* graphic);
  // Copies `source` of `canvas` to `dest` of this canvas by CopyMode.
  void CopyRect(const gdi::TRect& dest, TCanvas* canvas, const gdi::TRect& source);
  void TextOut(int x, int y, const std::string& text);
  void TextRect(const gdi::TRect& rect, int x, int y, const std::string& text);
  // Lays out and draws `text` in `rect` by the DT_ flags, with this
  // canvas's font and brush (a clear brush draws no background).
  int DrawText(const std::string& text, gdi::TRect& rect, gdi::UINT format);
  gdi::SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  gdi::TRect ClipRect();

  // Called after each change of the pixels.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Makes the context; the default has none to make.
  virtual void CreateHandle() {}
  void Changing();
  void Changed();

 private:
  enum StateBit : unsigned { HandleValid = 1, FontValid = 2, PenValid = 4, BrushValid = 8 };
  // Selects what `needed` asks for into the context.
  void RequiredState(unsigned needed);
  void ToolChanged(unsigned bit);

  gdi::HDC dc_ = 0;
  unsigned state_ = 0;
  int lockCount_ = 0;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  gdi::TPoint penPos_{};
  TCopyMode copyMode_ = cmSrcCopy;
  gdi::HGDIOBJ oldFont_ = 0, oldPen_ = 0, oldBrush_ = 0;
};

// The classic three-dimensional frame: `width` rings, each a line in
// `topLeft` from the bottom-left corner up and along the top (the top-right
// pixel left out), then a line in `bottomRight` down the right side and along
// the bottom (the bottom-left pixel included). `rect` shrinks by the width.
void Frame3D(TCanvas* canvas, gdi::TRect& rect, TColor topLeft, TColor bottomRight, int width);

}  // namespace toolkit
