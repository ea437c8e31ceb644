// More standard controls: the picture control and the panel.
#pragma once

#include <memory>

#include "toolkit/Bitmap.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace toolkit {

// ---- TImage -------------------------------------------------------------------------------

// Draws its picture unscaled at its top-left corner, clipped to its
// rectangle; or centred, or stretched to fill it. Transparent leaves out
// the pixels of a bitmap's transparent colour (its bottom-left pixel).
class TImage : public TGraphicControl {
  TOOLKIT_CLASS(TImage, TGraphicControl)
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(const TPicture* picture) { picture_->Assign(picture); }
  // Takes the picture's size whenever the picture changes.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool Center() const { return center_; }
  void SetCenter(bool center);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);

  // Where the picture goes, in the control's coordinates.
  gdi::TRect DestRect() const;

  void SetBounds(int left, int top, int width, int height) override;

 protected:
  void Paint() override;

 private:
  void PictureChanged(TObject* sender);
  // Opaque exactly when the picture covers every pixel of the control.
  void UpdateOpaque();
  void DrawTransparent(TBitmap* bitmap, const gdi::TRect& dest);

  std::unique_ptr<TPicture> picture_;
  bool autoSize_ = false;
  bool center_ = false;
  bool stretch_ = false;
  bool transparent_ = false;
};

// ---- TCustomPanel, TPanel ----------------------------------------------------------------------

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
extern const TEnumInfo kBevelCutNames;
// A window border: bsNone or bsSingle (a one-pixel window-frame line).
using TBorderStyle = TFormBorderStyle;
extern const TEnumInfo kBorderStyleNames;

// From the outside in: the outer bevel, BorderWidth rings of the panel's
// colour, the inner bevel, then the face with the caption centred
// vertically. Child controls are aligned inside all of it.
class TCustomPanel : public TCustomControl {
  TOOLKIT_CLASS(TCustomPanel, TCustomControl)
 public:
  explicit TCustomPanel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut cut);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut cut);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int width);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);

  // How far the frame reaches in from each side.
  int FrameExtent() const;
  void AlignControls(TControl* control, gdi::TRect& rect) override;

 protected:
  void Paint() override;
  bool IsColorStored() const override;

 private:
  void FrameChanged();

  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
  TOOLKIT_CLASS(TPanel, TCustomPanel)
 public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

}  // namespace toolkit
