#include "toolkit/Graphics.h"

#include <cmath>
#include <cstring>

#include "toolkit/ClassBuilder.h"

namespace toolkit {

const TEnumInfo kFontStyleNames{{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const TEnumInfo kFontPitchNames{{"fpDefault", "fpVariable", "fpFixed"}};
const TEnumInfo kPenStyleNames{
    {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}};
const TEnumInfo kPenModeNames{{"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                               "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge",
                               "pmMask", "pmNotMask", "pmXor", "pmNotXor"}};
const TEnumInfo kBrushStyleNames{{"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                  "bsBDiagonal", "bsCross", "bsDiagCross"}};

// ---- TGraphicsObject ---------------------------------------------------------

const TClassInfo& TGraphicsObject::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TGraphicsObject>("TGraphicsObject", &TPersistent::StaticClass()).Build();
  return info;
}

TGraphicsObject::~TGraphicsObject() {
  if (handle_) gdi::DeleteObject(handle_);
}

void TGraphicsObject::Changed() {
  if (handle_) {
    // A context may still have it selected; the canvas reselects on change.
    gdi::DeleteObject(handle_);
    handle_ = 0;
  }
  OnChange(this);
}

// Stores a new value and reports the change, only when it differs.
#define SETTER(Class, Name, Type, field) \
  void Class::Set##Name(Type value) {    \
    if (field == value) return;          \
    field = value;                       \
    Changed();                           \
  }

// ---- TFont -------------------------------------------------------------------

const TClassInfo& TFont::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TFont>("TFont", &TGraphicsObject::StaticClass())
          .Int("Charset", &TFont::Charset, &TFont::SetCharset)
          .Color("Color", &TFont::Color, &TFont::SetColor)
          .Int("Height", &TFont::Height, &TFont::SetHeight)
          .Str("Name", &TFont::Name, &TFont::SetName)
          .Enum("Pitch", kFontPitchNames, &TFont::Pitch, &TFont::SetPitch, fpDefault)
          .Set("Style", kFontStyleNames, &TFont::Style, &TFont::SetStyle)
          .Build();
  return info;
}

SETTER(TFont, Color, TColor, color_)
SETTER(TFont, Height, int, height_)
SETTER(TFont, Style, TFontStyles, style_)
SETTER(TFont, Charset, int, charset_)
SETTER(TFont, Pitch, TFontPitch, pitch_)

void TFont::SetName(const std::string& name) {
  if (name.empty() || name == name_) return;
  name_ = name;
  Changed();
}

int TFont::Size() const { return static_cast<int>(std::lround(-height_ * 72.0 / PixelsPerInch)); }

void TFont::SetSize(int points) {
  SetHeight(-static_cast<int>(std::lround(points * static_cast<double>(PixelsPerInch) / 72.0)));
}

void TFont::Assign(const TPersistent* source) {
  if (auto* font = dynamic_cast<const TFont*>(source)) {
    if (font == this) return;
    color_ = font->color_;
    height_ = font->height_;
    name_ = font->name_;
    style_ = font->style_;
    charset_ = font->charset_;
    pitch_ = font->pitch_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

gdi::HFONT TFont::Handle() const {
  if (!CachedHandle()) {
    gdi::LOGFONTA lf;
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & (1u << fsBold)) ? gdi::FW_BOLD : gdi::FW_NORMAL;
    lf.lfItalic = (style_ & (1u << fsItalic)) ? 1 : 0;
    lf.lfUnderline = (style_ & (1u << fsUnderline)) ? 1 : 0;
    lf.lfStrikeOut = (style_ & (1u << fsStrikeOut)) ? 1 : 0;
    lf.lfCharSet = static_cast<gdi::BYTE>(charset_);
    std::strncpy(lf.lfFaceName, name_.c_str(), sizeof lf.lfFaceName - 1);
    SetCachedHandle(gdi::CreateFontIndirectA(&lf));
  }
  return CachedHandle();
}

// ---- TPen --------------------------------------------------------------------

const TClassInfo& TPen::StaticClass() {
  static const TClassInfo info = ClassBuilder<TPen>("TPen", &TGraphicsObject::StaticClass())
                                     .Color("Color", &TPen::Color, &TPen::SetColor, clBlack)
                                     .Enum("Mode", kPenModeNames, &TPen::Mode, &TPen::SetMode, pmCopy)
                                     .Enum("Style", kPenStyleNames, &TPen::Style, &TPen::SetStyle, psSolid)
                                     .Int("Width", &TPen::Width, &TPen::SetWidth, 1)
                                     .Build();
  return info;
}

SETTER(TPen, Color, TColor, color_)
SETTER(TPen, Style, TPenStyle, style_)
SETTER(TPen, Mode, TPenMode, mode_)

void TPen::SetWidth(int width) {
  if (width < 0 || width == width_) return;
  width_ = width;
  Changed();
}

int TPen::Rop2() const {
  // In the order of TPenMode.
  static constexpr int kRop2[] = {
      gdi::R2_BLACK,       gdi::R2_WHITE,      gdi::R2_NOP,         gdi::R2_NOT,
      gdi::R2_COPYPEN,     gdi::R2_NOTCOPYPEN, gdi::R2_MERGEPENNOT, gdi::R2_MASKPENNOT,
      gdi::R2_MERGENOTPEN, gdi::R2_MASKNOTPEN, gdi::R2_MERGEPEN,    gdi::R2_NOTMERGEPEN,
      gdi::R2_MASKPEN,     gdi::R2_NOTMASKPEN, gdi::R2_XORPEN,      gdi::R2_NOTXORPEN};
  return kRop2[mode_];
}

void TPen::Assign(const TPersistent* source) {
  if (auto* pen = dynamic_cast<const TPen*>(source)) {
    if (pen == this) return;
    color_ = pen->color_;
    width_ = pen->width_;
    style_ = pen->style_;
    mode_ = pen->mode_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

gdi::HPEN TPen::Handle() const {
  if (!CachedHandle())
    SetCachedHandle(gdi::CreatePen(style_ == psClear ? gdi::PS_NULL : static_cast<int>(style_), width_,
                                   ColorToRGB(color_)));
  return CachedHandle();
}

// ---- TBrush ------------------------------------------------------------------

const TClassInfo& TBrush::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TBrush>("TBrush", &TGraphicsObject::StaticClass())
          .Color("Color", &TBrush::Color, &TBrush::SetColor, clWhite)
          .Enum("Style", kBrushStyleNames, &TBrush::Style, &TBrush::SetStyle, bsSolid)
          .Build();
  return info;
}

SETTER(TBrush, Color, TColor, color_)
SETTER(TBrush, Style, TBrushStyle, style_)

void TBrush::Assign(const TPersistent* source) {
  if (auto* brush = dynamic_cast<const TBrush*>(source)) {
    if (brush == this) return;
    color_ = brush->color_;
    style_ = brush->style_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

gdi::HBRUSH TBrush::Handle() const {
  if (!CachedHandle()) {
    // Hatched styles are drawn solid: nothing in this program hatches.
    SetCachedHandle(style_ == bsClear ? gdi::GetStockObject(gdi::NULL_BRUSH)
                                      : gdi::CreateSolidBrush(ColorToRGB(color_)));
  }
  return CachedHandle();
}

#undef SETTER

}  // namespace toolkit
