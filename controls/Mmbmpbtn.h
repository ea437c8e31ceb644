// The bitmap button: a windowless push button that shows a glyph of a
// bitmap list, framed in one of eight styles, drawn pressed while the mouse
// holds it inside, clicked on release inside.
//
// Press, move and release (left button, or right with AllowRightMouse):
//
//   event                     Tracking  PressedInside  ButtonState     drawn by
//   press inside              true      true           bsDown          RedrawButton
//   press outside             true      -              -               nothing
//   move out while held       -         -              bsUp            RedrawButton
//   move back in while held   -         -              bsDown          RedrawButton
//   release                   false     false          bsUp unless     RedrawButton (or the
//                                                      Down            Switch toggle)
//
// A release draws the released picture, then fires OnMouseUp, then OnClick
// when it is inside: the main window relies on that order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/Mmbmplst.h"

namespace controls {

enum TMMButtonStyle { bsRegular, bsIndent, bsLight, bsDark, bsMono, bsExplorer, bsHighLight, bsNone };
enum TMMTextAlign {
  ttaTopLeft,
  ttaTop,
  ttaTopRight,
  ttaRight,
  ttaBottomRight,
  ttaBottom,
  ttaBottomLeft,
  ttaLeft,
  ttaCenter,
};
enum TMMButtonState { bsUp, bsDown, bsExclusive };
extern const toolkit::TEnumInfo kButtonStyleNames;
extern const toolkit::TEnumInfo kTextAlignNames;

// Sender; whether the button is drawn pressed; the glyph to draw (-1: the
// button chooses).
using TMMGetGylphIndex = toolkit::TEvent<TObject*, bool, int&>;

// Off: a button that is not transparent stretches its glyph over its face.
extern bool OLD_STYLE_DRAWING;

// What the cached picture was painted with.
struct TBtnCacheStruct {
  bool refreshRequested = true;
  int width = 0, height = 0;
  int fontSize = 0;
  std::string fontName;
  TColor fontColor = 0;
  unsigned fontStyle = 0;
  bool font3D = false, enabled = false, parentFont = false, visible = false;
  TColor color = 0;
  bool parentColor = false, transparent = false;
  TColor transparentColor = 0;
  TTransparentMode transparentMode = tmAuto;
  const TMMBitmapList* bitmapList = nullptr;
  int bitmapIndex = 0;
  int marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
  bool autoSize = false, autoGray = false, showDisabled = false;
  std::uint32_t borderWidth = 0;
  std::string caption;
  bool down = false;
  int downIndentHoriz = 0, downIndentVert = 0;
  TMMButtonStyle buttonStyle = bsRegular;
  int numGlyphs = 0;
  bool showPressed = false, switchMode = false;
  int spacing = 0;
  TMMTextAlign textAlign = ttaCenter;
  bool wordWrap = false;

  bool operator==(const TBtnCacheStruct&) const = default;
};

class TMMBitmapButton : public TMMCustomBitmapListControl {
  TOOLKIT_CLASS(TMMBitmapButton, TMMCustomBitmapListControl)
 public:
  explicit TMMBitmapButton(toolkit::TComponent* owner);
  ~TMMBitmapButton() override;

  void Loaded() override;
  // Keeps the double buffer at Width x (2 x Height).
  void SetBounds(int left, int top, int width, int height) override;
  void ChangeScale(int m, int d) override;
  void SetText(const std::string& text) override;

  // ---- properties
  bool CacheBtn() const { return cacheBtn_; }
  void SetCacheBtn(bool value) { cacheBtn_ = value; }
  bool Font3D() const { return font3D_; }
  void FSet3DFont(bool value);
  // The margins' indexes.
  enum TMarginSide { msLeft, msRight, msTop, msBottom };
  int MarginLeft() const { return margins_[msLeft]; }
  int MarginRight() const { return margins_[msRight]; }
  int MarginTop() const { return margins_[msTop]; }
  int MarginBottom() const { return margins_[msBottom]; }
  void FSetMargins(int index, int value);
  void SetMarginLeft(int v) { FSetMargins(msLeft, v); }
  void SetMarginRight(int v) { FSetMargins(msRight, v); }
  void SetMarginTop(int v) { FSetMargins(msTop, v); }
  void SetMarginBottom(int v) { FSetMargins(msBottom, v); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool AutoGray() const { return autoGray_; }
  void SetAutoGray(bool value);
  bool ShowDisabled() const { return showDisabled_; }
  void SetShowDisabled(bool value);
  std::uint32_t BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(std::uint32_t value);
  bool Down() const { return down_; }
  void SetStayDown(bool value);
  void SetDown(bool value) { SetStayDown(value); }
  // The down indent's indexes.
  enum TIndentAxis { iaHoriz, iaVert };
  int DownIndentHoriz() const { return downIndent_[iaHoriz]; }
  int DownIndentVert() const { return downIndent_[iaVert]; }
  // Never below 0.
  void SetDownIndent(int index, int value);
  void SetDownIndentHoriz(int v) { SetDownIndent(iaHoriz, v); }
  void SetDownIndentVert(int v) { SetDownIndent(iaVert, v); }
  TMMButtonStyle ButtonStyle() const { return buttonStyle_; }
  void SetButtonStyle(TMMButtonStyle value);
  int NumGlyphs() const { return numGlyphs_; }
  // Never below 1.
  void SetNumGlyphs(int value);
  bool ShowPressed() const { return showPressed_; }
  void SetShowPressed(bool value) { showPressed_ = value; }
  bool Switch() const { return switch_; }
  void SetSwitch(bool value) { switch_ = value; }
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  TMMTextAlign TextAlign() const { return textAlign_; }
  void SetTextAlign(TMMTextAlign value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool GetDoubleBuffer() const { return doubleBuffer_; }
  virtual void SetDoubleBuffer(bool value);
  bool AllowRightMouse() const { return allowRightMouse_; }
  void SetAllowRightMouse(bool value) { allowRightMouse_ = value; }

  // ---- state, for the window and for tests
  TMMButtonState ButtonState() const { return buttonState_; }
  bool Tracking() const { return tracking_; }
  bool PressedInside() const { return pressedInside_; }
  bool MouseInside() const { return mouseInside_; }
  TBitmap* GlyphStrip() const { return ownedStrip_ ? ownedStrip_.get() : borrowedStrip_; }
  bool OwnsGlyphStrip() const { return ownedStrip_ != nullptr; }
  TBitmap* BufferBitmap() const { return bufferBitmap_.get(); }
  TBitmap* CacheBitmap() const { return cacheBitmap_.get(); }
  bool InBtn(int x, int y) const;

  // Guesses NumGlyphs from the bitmap's shape (a strip of square glyphs).
  void DetectNumGlyphs();
  // The quick redraw of a pressed or hover look, over the kept background.
  virtual void RedrawButton();
  // Rebuilds GlyphStrip: the list's bitmap, or a copy extended by a grey and
  // a disabled copy of glyph 0; then a later repaint.
  void PrepareGlyphs();
  // Slot `index` of the strip, in the list bitmap's glyph width; no clamping.
  gdi::TRect GetSrcRect(int index) const;
  bool FNeedsCacheRefresh() const;
  void FSetBtnChache();

  TMMGetGylphIndex OnGetGlyphIndex;
  toolkit::TNotifyEvent OnMouseEnter;
  toolkit::TNotifyEvent OnMouseExit;

 protected:
  void Paint() override;
  void BitmapChanged() override;
  void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
  void MouseMove(toolkit::TShiftState shift, int x, int y) override;
  void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
  void CMMouseEnter(toolkit::TMessage& message) override;
  void CMMouseLeave(toolkit::TMessage& message) override;
  void CMDialogChar(toolkit::TMessage& message) override;
  void CMEnabledChanged(toolkit::TMessage& message) override;
  void CMTransColorChanged(toolkit::TMessage& message) override;
  bool IsParentColorStored() const override;  // ParentColor != true

  void PaintButton(toolkit::TCanvas* canvas);
  void DrawTheButton(toolkit::TCanvas* canvas);
  void DrawTheBitmap(toolkit::TCanvas* canvas, const gdi::TRect& glyph);
  // The caption beside, above, below or over the glyph rectangle.
  void DrawTheText(toolkit::TCanvas* canvas, const gdi::TRect& glyph);

 private:
  // What a new button holds; a stream leaves these values out.
  struct Default : TMMCustomBitmapListControl::Default {
    static constexpr bool Transparent = true;
    static constexpr bool AutoSize = false;
    static constexpr bool AutoGray = true;
    static constexpr bool ShowDisabled = true;
    static constexpr std::uint32_t BorderWidth = 1;
    static constexpr bool Down = false;
    static constexpr int DownIndent = 1;  // each way
    static constexpr TMMButtonStyle ButtonStyle = bsExplorer;
    static constexpr int NumGlyphs = 1;
    static constexpr bool ShowPressed = true;
    static constexpr bool Switch = false;
    static constexpr int Spacing = 2;
    static constexpr TMMTextAlign TextAlign = ttaCenter;
    static constexpr bool WordWrap = false;
    static constexpr bool DoubleBuffer = false;
    static constexpr bool AllowRightMouse = false;
  };

  // The glyphs of a strip, in order: a strip of n glyphs (two to four) has
  // the first n. An extended strip adds a grey and an embossed copy of the
  // first glyph after a strip's own.
  enum TGlyphSlot { gsUp, gsDisabled, gsPressed, gsStayDown };
  static constexpr int kMaxGlyphs = gsStayDown + 1;
  int GreySlot() const { return numGlyphs_; }
  int EmbossedSlot() const { return numGlyphs_ + 1; }
  // Explorer and HighLight: framed only under the mouse (or while down), the
  // glyph greyed until the mouse comes.
  bool HasExplorerLook() const { return buttonStyle_ == bsExplorer || buttonStyle_ == bsHighLight; }

  bool Busy() const;
  // Direct drawing needs the parent's window; without it the later paint
  // will do.
  bool CanDrawNow() const;
  void PaintNow();
  bool AcceptsButton(toolkit::TMouseButton button) const;
  TBtnCacheStruct CurrentCacheState() const;
  // Draws from `strip`, a bitmap the list holds (or from nothing); a strip of
  // the button's own goes.
  void BorrowStrip(TBitmap* strip);
  // The button's own strip, made when it has none; a borrowed one is let go.
  TBitmap* OwnStrip();

  bool cacheBtn_ = false;
  std::unique_ptr<TBitmap> cacheBitmap_;
  TBtnCacheStruct cacheState_;
  int margins_[msBottom + 1] = {0, 0, 0, 0};
  bool font3D_ = false;
  bool autoSize_ = Default::AutoSize;
  bool tracking_ = false;
  TMMTextAlign textAlign_ = Default::TextAlign;
  bool autoGray_ = Default::AutoGray;
  bool showDisabled_ = Default::ShowDisabled;
  bool pressedInside_ = false;
  bool showPressed_ = Default::ShowPressed;
  int spacing_ = Default::Spacing;
  // At most one is set: the extended copy the button made, or the list's bitmap.
  std::unique_ptr<TBitmap> ownedStrip_;
  TBitmap* borrowedStrip_ = nullptr;
  std::unique_ptr<TBitmap> bufferBitmap_;
  TMMButtonState buttonState_ = bsUp;
  std::uint32_t borderWidth_ = Default::BorderWidth;
  int numGlyphs_ = Default::NumGlyphs;
  TMMButtonStyle buttonStyle_ = Default::ButtonStyle;
  bool mouseInside_ = false;
  bool wordWrap_ = Default::WordWrap;
  bool down_ = Default::Down;
  int downIndent_[iaVert + 1] = {Default::DownIndent, Default::DownIndent};
  bool switch_ = Default::Switch;
  bool doubleBuffer_ = Default::DoubleBuffer;
  bool allowRightMouse_ = Default::AllowRightMouse;
};

// The module's pixel routines, exposed for their tests.
// Grey in place: v = (r*wr + g*wg + b*wb) / (wr + wg + wb) per pixel.
void GrayGlyph(TBitmap* bitmap, int wr, int wg, int wb);
// White and the top-left pixel's colour become that colour, all else
// black; then EmbossGlyph.
void MaskGlyph(TBitmap* bitmap);
// The disabled look: the black shape in clBtnShadow with a clBtnHighlight
// copy one pixel down and right, on clBtnFace.
void EmbossGlyph(TBitmap* bitmap);
// A soft blur of `rect` of the canvas, in place; the outer rows and columns
// keep their values.
void SoftenRect(toolkit::TCanvas* canvas, const gdi::TRect& rect);

}  // namespace controls
