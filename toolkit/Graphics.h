// Fonts, pens and brushes: persistent descriptions that make their device
// handle when first asked and report every change.
#pragma once

#include <string>

#include "gdi/Gdi.h"
#include "toolkit/Classes.h"
#include "toolkit/Colors.h"

namespace toolkit {

class TGraphicsObject : public TPersistent {
  TOOLKIT_CLASS(TGraphicsObject, TPersistent)
 public:
  TGraphicsObject() = default;
  ~TGraphicsObject() override;
  TGraphicsObject(const TGraphicsObject&) = delete;
  TGraphicsObject& operator=(const TGraphicsObject&) = delete;

  TNotifyEvent OnChange;

 protected:
  // Drops the handle (made again when next asked) and reports the change.
  void Changed();
  gdi::HGDIOBJ CachedHandle() const { return handle_; }
  void SetCachedHandle(gdi::HGDIOBJ handle) const { handle_ = handle; }

 private:
  mutable gdi::HGDIOBJ handle_ = 0;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = unsigned;  // bit n: TFontStyle n
enum TFontPitch { fpDefault, fpVariable, fpFixed };

constexpr int DEFAULT_CHARSET = 1;

class TFont : public TGraphicsObject {
  TOOLKIT_CLASS(TFont, TGraphicsObject)
 public:
  TFont() = default;

  void Assign(const TPersistent* source) override;
  gdi::HFONT Handle() const;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // Negative: the character height in pixels; positive: the cell height.
  int Height() const { return height_; }
  void SetHeight(int height);
  // Points at 96 pixels per inch.
  int Size() const;
  void SetSize(int points);
  std::string Name() const { return name_; }
  void SetName(const std::string& name);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  int Charset() const { return charset_; }
  void SetCharset(int charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);

  static constexpr int PixelsPerInch = 96;

 private:
  TColor color_ = clWindowText;
  int height_ = -11;
  std::string name_ = "MS Sans Serif";
  TFontStyles style_ = 0;
  int charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor,
};

class TPen : public TGraphicsObject {
  TOOLKIT_CLASS(TPen, TGraphicsObject)
 public:
  TPen() = default;
  void Assign(const TPersistent* source) override;
  gdi::HPEN Handle() const;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);
  // The binary raster operation of the mode (R2_COPYPEN for pmCopy).
  int Rop2() const;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

class TBrush : public TGraphicsObject {
  TOOLKIT_CLASS(TBrush, TGraphicsObject)
 public:
  TBrush() = default;
  void Assign(const TPersistent* source) override;
  gdi::HBRUSH Handle() const;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

extern const TEnumInfo kFontStyleNames;
extern const TEnumInfo kFontPitchNames;
extern const TEnumInfo kPenStyleNames;
extern const TEnumInfo kPenModeNames;
extern const TEnumInfo kBrushStyleNames;

}  // namespace toolkit
