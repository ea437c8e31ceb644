// Logical fonts and the faces realized from them: the classic MS Sans Serif
// bitmap strikes where one matches the request exactly, Tahoma outlines
// rendered without anti-aliasing for every other size. Text is 8-bit
// Windows-1252.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gdi/GdiError.h"
#include "gdi/GdiTypes.h"

namespace gdi {

constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

struct LOGFONTA {
  LONG lfHeight = 0, lfWidth = 0, lfEscapement = 0, lfOrientation = 0, lfWeight = FW_NORMAL;
  BYTE lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0, lfCharSet = 1, lfOutPrecision = 0, lfClipPrecision = 0,
       lfQuality = 0, lfPitchAndFamily = 0;
  char lfFaceName[32] = "MS Sans Serif";
};

struct TEXTMETRICA {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 96;
  LONG tmDigitizedAspectY = 96;
  BYTE tmFirstChar = 0;
  BYTE tmLastChar = 0;
  BYTE tmDefaultChar = 0;
  BYTE tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};

// One character's ink. The mask's top-left pixel sits `left` pixels right of
// the pen position and `top` rows above the baseline.
struct GlyphBitmap {
  LONG advance = 0;
  LONG left = 0;
  LONG top = 0;
  LONG width = 0, height = 0;
  std::vector<std::uint8_t> mask;  // width*height, rows top-down, 1 = ink
};

// A font file the layer needs is absent or unreadable.
class EFontMissing : public GdiError {
 public:
  explicit EFontMissing(const std::string& message) : GdiError(message) {}
};

// Where the Debian package fonts-wine puts its fonts.
inline const std::filesystem::path kWineFontDir = "/usr/share/wine/fonts";

// A font file the program carries ("tahoma.ttf"): its bytes are used in
// place of the file of that name in kWineFontDir. The bytes must stay alive
// and unchanged for the life of the process; register before drawing text.
void RegisterCarriedFont(const std::string& fileName, const std::uint8_t* bytes, std::size_t size);

// What text layout needs of a font; a fake one keeps layout tests exact.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual const TEXTMETRICA& Metrics() const = 0;
  virtual LONG CharWidth(unsigned char c) const = 0;
};

class FontFace final : public TextMeasure {
 public:
  // Only the realizing code can make one; shared_ptr needs a public constructor.
  class Passkey {
    Passkey() = default;
    friend class FaceBuilder;
  };
  explicit FontFace(Passkey) {}

  // The face for `lf`, realized once per distinct request and shared after
  // that. Safe to call from any thread. Throws EFontMissing.
  static std::shared_ptr<const FontFace> Realize(const LOGFONTA& lf);
  // Realizes from the font files in `fontDir`, bypassing the cache.
  static std::shared_ptr<const FontFace> Realize(const LOGFONTA& lf, const std::filesystem::path& fontDir);

  const TEXTMETRICA& Metrics() const override { return metrics_; }
  LONG CharWidth(unsigned char c) const override { return glyphs_[c].advance; }
  const GlyphBitmap& Glyph(unsigned char c) const { return glyphs_[c]; }
  LONG TextWidth(std::string_view text) const;

  bool Underline() const { return metrics_.tmUnderlined != 0; }
  bool StrikeOut() const { return metrics_.tmStruckOut != 0; }
  // Rows from the top of the character cell to the first row of the
  // underline and of the strike-out line; both lines are
  // DecorationThickness() rows thick.
  LONG UnderlineY() const { return underlineY_; }
  LONG StrikeOutY() const { return strikeOutY_; }
  LONG DecorationThickness() const { return decorationThickness_; }
  // True for an MS Sans Serif bitmap strike, false for an outline face.
  bool IsBitmap() const { return bitmap_; }

 private:
  friend class FaceBuilder;

  TEXTMETRICA metrics_;
  std::array<GlyphBitmap, 256> glyphs_;
  LONG underlineY_ = 0;
  LONG strikeOutY_ = 0;
  LONG decorationThickness_ = 1;
  bool bitmap_ = false;
};

}  // namespace gdi
