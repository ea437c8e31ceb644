#include "gdi/Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_WINFONTS_H

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>

#include "base/AsciiCase.h"
#include "base/Cp1252.h"

namespace gdi {

namespace {

// Requests beyond this many pixels are clamped: every face renders all 256
// glyphs up front, and nothing on a desktop needs larger GDI text.
constexpr LONG kMaxPixelSize = 256;
constexpr LONG kDefaultEm = 11;
constexpr LONG kBoldWeight = 600;

enum class Family { SansSerif, Tahoma };

// A LOGFONTA reduced to what changes the realized face, so that requests
// differing only in ignored fields share one face. Ignored: lfWidth (glyphs
// keep their designed widths), escapement and orientation (text is never
// rotated here), and lfItalic: no slant is synthesized and tmItalic stays 0,
// since nothing in the program asks for italic and a guessed shear would
// read worse than upright text.
struct Request {
  Family family = Family::SansSerif;
  LONG height = -kDefaultEm;  // classic sign convention, never 0
  bool bold = false;
  bool underline = false;
  bool strikeOut = false;
  auto operator<=>(const Request&) const = default;
};

Request Resolve(const LOGFONTA& lf) {
  Request r;
  // Any face other than Tahoma is served by MS Sans Serif, as the system's
  // substitute for an unknown face would be.
  char name[sizeof lf.lfFaceName + 1] = {};
  std::copy_n(lf.lfFaceName, sizeof lf.lfFaceName, name);
  r.family = base::SameAsciiText(name, "Tahoma") ? Family::Tahoma : Family::SansSerif;
  if (lf.lfHeight != 0) {
    // Widened first: negating the most negative LONG would overflow.
    const long long magnitude =
        std::min<long long>(std::llabs(static_cast<long long>(lf.lfHeight)), kMaxPixelSize);
    r.height = static_cast<LONG>(lf.lfHeight < 0 ? -magnitude : magnitude);
  }
  r.bold = lf.lfWeight >= kBoldWeight;
  r.underline = lf.lfUnderline != 0;
  r.strikeOut = lf.lfStrikeOut != 0;
  return r;
}

struct FaceCloser {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceCloser>;

std::string Hex(FT_Error error) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(error));
  return text;
}

struct CarriedFont {
  const std::uint8_t* bytes;
  std::size_t size;
};

std::mutex gCarriedMutex;
std::map<std::string, CarriedFont, std::less<>> gCarried;

std::optional<CarriedFont> FindCarried(const std::string& fileName) {
  std::lock_guard lock(gCarriedMutex);
  const auto it = gCarried.find(fileName);
  if (it == gCarried.end()) return std::nullopt;
  return it->second;
}

FacePtr OpenFace(FT_Library library, const std::filesystem::path& file, FT_Long index) {
  if (const std::optional<CarriedFont> carried = FindCarried(file.filename().string())) {
    FT_Face face = nullptr;
    if (const FT_Error error =
            FT_New_Memory_Face(library, carried->bytes, static_cast<FT_Long>(carried->size), index, &face)) {
      throw EFontMissing("the font " + file.filename().string() +
                         " the program carries cannot be read (FreeType error " + Hex(error) + ")");
    }
    return FacePtr(face);
  }
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(file, ignored)) {
    throw EFontMissing("font file " + file.string() +
                       " is missing; install the Debian package fonts-wine "
                       "(apt-get install fonts-wine)");
  }
  FT_Face face = nullptr;
  if (const FT_Error error = FT_New_Face(library, file.string().c_str(), index, &face)) {
    throw EFontMissing("font file " + file.string() + " cannot be read (FreeType error " + Hex(error) +
                       "); reinstall the Debian package fonts-wine");
  }
  return FacePtr(face);
}

// How a byte of text becomes a character code of the face's selected map.
enum class CodeMapping { Unicode, Bytes, None };

CodeMapping SelectCharmap(FT_Face face) {
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) return CodeMapping::Unicode;
  // A Windows FNT strike has one map of its own, indexed by the byte itself,
  // which FreeType leaves unselected.
  if (face->num_charmaps > 0 && FT_Set_Charmap(face, face->charmaps[0]) == 0) {
    return CodeMapping::Bytes;
  }
  return CodeMapping::None;
}

FT_UInt GlyphIndex(FT_Face face, CodeMapping mapping, unsigned char c) {
  switch (mapping) {
    case CodeMapping::Unicode:
      // The five unassigned bytes find no glyph in a Unicode map.
      return FT_Get_Char_Index(face, base::Cp1252ToUnicode(c));
    case CodeMapping::Bytes: return FT_Get_Char_Index(face, c);
    case CodeMapping::None: break;
  }
  return 0;
}

bool InkAt(const FT_Bitmap& bitmap, unsigned x, unsigned y) {
  const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
  if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) return (row[x / 8] >> (7 - x % 8)) & 1;
  if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) return row[x] * 2 >= bitmap.num_grays;
  return false;
}

// Extra stroke weight, in 26.6 pixels, given to outlines before rendering.
struct Embolden {
  FT_Pos x = 0, y = 0;
  bool Any() const { return x > 0 || y > 0; }
};

// Mono rendering: the hinted shapes a classic screen font shows, no grey.
GlyphBitmap LoadGlyph(FT_Face face, FT_UInt index, const Embolden& embolden = {}) {
  GlyphBitmap glyph;
  // Embedded bitmaps cannot be thickened; the outline is used instead.
  const FT_Int32 flags = FT_LOAD_TARGET_MONO | (embolden.Any() ? FT_LOAD_NO_BITMAP : 0);
  if (FT_Load_Glyph(face, index, flags) != 0) return glyph;
  const FT_GlyphSlot slot = face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE && embolden.Any()) {
    FT_Outline_EmboldenXY(&slot->outline, embolden.x, embolden.y);
  }
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) {
    return glyph;
  }
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.advance = static_cast<LONG>((slot->advance.x + 32) >> 6);
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<LONG>(bitmap.width);
  glyph.height = static_cast<LONG>(bitmap.rows);
  glyph.mask.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
  for (unsigned y = 0; y < bitmap.rows; ++y) {
    for (unsigned x = 0; x < bitmap.width; ++x) {
      glyph.mask[y * bitmap.width + x] = InkAt(bitmap, x, y) ? 1 : 0;
    }
  }
  return glyph;
}

// The classic simulated bold of a bitmap font: the ink printed twice, one
// pixel apart, each character one pixel wider.
void Overstrike(GlyphBitmap& glyph) {
  glyph.advance += 1;
  if (glyph.width == 0) return;
  const LONG width = glyph.width + 1;
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(width) * glyph.height, 0);
  for (LONG y = 0; y < glyph.height; ++y) {
    for (LONG x = 0; x < glyph.width; ++x) {
      if (!glyph.mask[y * glyph.width + x]) continue;
      mask[y * width + x] = 1;
      mask[y * width + x + 1] = 1;
    }
  }
  glyph.width = width;
  glyph.mask = std::move(mask);
}

// Every request is served from this one library and cache, under one lock:
// FreeType libraries are not safe for concurrent use.
struct Registry {
  std::mutex mutex;
  FT_Library library = nullptr;
  std::map<Request, std::shared_ptr<const FontFace>> cache;

  static Registry& Get() {
    static Registry registry;
    return registry;
  }
  FT_Library Library() {
    if (!library && FT_Init_FreeType(&library) != 0) {
      library = nullptr;
      throw GdiError("FreeType could not be initialised");
    }
    return library;
  }
  ~Registry() {
    cache.clear();
    if (library) FT_Done_FreeType(library);
  }
};

}  // namespace

class FaceBuilder {
 public:
  static std::shared_ptr<const FontFace> Build(FT_Library library, const Request& request,
                                               const std::filesystem::path& dir) {
    if (request.family == Family::SansSerif) {
      if (FacePtr strike = FindStrike(library, dir / "sserife.fon", request.height)) {
        return FromStrike(strike.get(), request);
      }
    }
    const FacePtr outline = OpenFace(library, dir / (request.bold ? "tahomabd.ttf" : "tahoma.ttf"), 0);
    bool thicken = false;
    if (request.bold) {
      const FacePtr regular = OpenFace(library, dir / "tahoma.ttf", 0);
      thicken = StemWidth(outline.get()) <= StemWidth(regular.get());
    }
    return FromOutline(outline.get(), request, thicken);
  }

 private:
  static std::shared_ptr<FontFace> NewFace(const Request& request) {
    auto face = std::make_shared<FontFace>(FontFace::Passkey{});
    face->metrics_.tmUnderlined = request.underline ? 1 : 0;
    face->metrics_.tmStruckOut = request.strikeOut ? 1 : 0;
    return face;
  }

  // The strike whose em (negative height) or cell (positive height) is the
  // requested size exactly, selected and ready to render; null if none is.
  static FacePtr FindStrike(FT_Library library, const std::filesystem::path& file, LONG height) {
    FT_Long count = 1;
    for (FT_Long index = 0; index < count; ++index) {
      FacePtr face = OpenFace(library, file, index);
      count = face->num_faces;
      if (face->num_fixed_sizes < 1) continue;
      const FT_Bitmap_Size& size = face->available_sizes[0];
      const LONG em = static_cast<LONG>((size.y_ppem + 32) >> 6);
      const bool match = height < 0 ? em == -height : size.height == height;
      if (match && FT_Select_Size(face.get(), 0) == 0) return face;
    }
    return nullptr;
  }

  static std::shared_ptr<const FontFace> FromStrike(FT_Face ft, const Request& request) {
    auto face = NewFace(request);
    face->bitmap_ = true;
    TEXTMETRICA& tm = face->metrics_;
    const FT_Size_Metrics& size = ft->size->metrics;
    tm.tmAscent = static_cast<LONG>(size.ascender >> 6);
    tm.tmHeight = static_cast<LONG>(size.height >> 6);
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
    tm.tmInternalLeading = tm.tmHeight - static_cast<LONG>((ft->available_sizes[0].y_ppem + 32) >> 6);
    tm.tmWeight = FW_NORMAL;
    tm.tmPitchAndFamily = 0x21;  // variable pitch, FF_SWISS

    std::optional<unsigned char> defaultChar;
    FT_WinFNT_HeaderRec header;
    if (FT_Get_WinFNT_Header(ft, &header) == 0) {
      tm.tmInternalLeading = header.internal_leading;
      tm.tmExternalLeading = header.external_leading;
      tm.tmAveCharWidth = header.avg_width;
      tm.tmWeight = header.weight;
      tm.tmFirstChar = header.first_char;
      tm.tmLastChar = header.last_char;
      tm.tmDefaultChar = static_cast<BYTE>(header.first_char + header.default_char);
      tm.tmBreakChar = static_cast<BYTE>(header.first_char + header.break_char);
      tm.tmPitchAndFamily = header.pitch_and_family;
      tm.tmCharSet = header.charset;
      defaultChar = tm.tmDefaultChar;
    }

    const CodeMapping mapping = SelectCharmap(ft);
    const FT_UInt fallback = defaultChar ? GlyphIndex(ft, mapping, *defaultChar) : 0;
    for (unsigned c = 0; c < 256; ++c) {
      const FT_UInt index = GlyphIndex(ft, mapping, static_cast<unsigned char>(c));
      face->glyphs_[c] = LoadGlyph(ft, index != 0 ? index : fallback);
    }
    if (tm.tmAveCharWidth == 0) tm.tmAveCharWidth = face->glyphs_['x'].advance;

    if (request.bold) {
      for (GlyphBitmap& glyph : face->glyphs_) Overstrike(glyph);
      tm.tmAveCharWidth += 1;
      tm.tmWeight = FW_BOLD;
    }
    // The overstrike pixel is inside every advance, so nothing hangs past
    // the string and tmOverhang stays 0.
    FinishMetrics(*face);
    face->underlineY_ = tm.tmAscent + 1;  // one clear row under the baseline
    face->strikeOutY_ = tm.tmAscent - std::max<LONG>(1, (tm.tmAscent - tm.tmInternalLeading) / 3);
    face->decorationThickness_ = 1;
    ClampDecorations(*face);
    return face;
  }

  // The width of the stroke of 'l' in font units: how heavy the face is.
  static FT_Pos StemWidth(FT_Face face) {
    const FT_UInt index = FT_Get_Char_Index(face, 'l');
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
      return 0;
    }
    FT_BBox box;
    FT_Outline_Get_CBox(&face->glyph->outline, &box);
    return box.xMax - box.xMin;
  }

  // `thicken`: the bold file has the bold advance widths but only the
  // regular strokes (as Wine's tahomabd.ttf does), so the strokes are
  // thickened here to fill those widths.
  static std::shared_ptr<const FontFace> FromOutline(FT_Face ft, const Request& request, bool thicken) {
    auto face = NewFace(request);
    TEXTMETRICA& tm = face->metrics_;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    // The cell is the OS/2 table's usWinAscent plus usWinDescent: the
    // typographic values would set lines tighter than the form's layout
    // expects.
    double winAscent = ft->ascender, winDescent = -ft->descender;
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
      winAscent = os2->usWinAscent;
      winDescent = os2->usWinDescent;
    }
    const double upem = ft->units_per_EM > 0 ? ft->units_per_EM : 2048;
    LONG ppem = 0;
    if (request.height < 0) {
      ppem = -request.height;
      tm.tmAscent = std::lround(winAscent * ppem / upem);
      tm.tmDescent = std::lround(winDescent * ppem / upem);
    } else {
      const double cell = request.height;
      ppem = std::max<LONG>(1, std::lround(cell * upem / (winAscent + winDescent)));
      tm.tmAscent = std::lround(winAscent * cell / (winAscent + winDescent));
      tm.tmDescent = request.height - tm.tmAscent;
    }
    const double scale = ppem / upem;
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = tm.tmHeight - ppem;
    tm.tmExternalLeading = std::max<LONG>(0, std::lround((ft->height - winAscent - winDescent) * scale));
    tm.tmWeight = os2 ? os2->usWeightClass : (request.bold ? FW_BOLD : FW_NORMAL);
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x20;  // a missing character is drawn as a blank
    tm.tmBreakChar = 0x20;
    tm.tmPitchAndFamily = 0x27;  // variable pitch, vector, TrueType, FF_SWISS
    tm.tmCharSet = 0;            // ANSI

    FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(ppem));
    const CodeMapping mapping = SelectCharmap(ft);
    Embolden embolden;
    if (thicken) {
      // About the stem difference of Tahoma's two weights; at least a pixel
      // across, or mono rendering would round it away.
      embolden.x = std::max<FT_Pos>(64, ppem * 64 / 12);
      embolden.y = ppem * 64 / 24;
    }
    GlyphBitmap blank;
    blank.advance = LoadGlyph(ft, GlyphIndex(ft, mapping, ' '), embolden).advance;
    for (unsigned c = 0; c < 256; ++c) {
      const FT_UInt index = GlyphIndex(ft, mapping, static_cast<unsigned char>(c));
      face->glyphs_[c] = index != 0 ? LoadGlyph(ft, index, embolden) : blank;
    }
    tm.tmAveCharWidth =
        os2 && os2->xAvgCharWidth > 0 ? std::lround(os2->xAvgCharWidth * scale) : face->glyphs_['x'].advance;
    FinishMetrics(*face);

    // FreeType gives the underline's centre; GDI wants its top row.
    const double below = -(ft->underline_position + ft->underline_thickness / 2.0) * scale;
    face->decorationThickness_ = std::max<LONG>(1, std::lround(ft->underline_thickness * scale));
    face->underlineY_ = tm.tmAscent + std::max<LONG>(1, std::lround(below));
    const double strikeAbove =
        os2 && os2->yStrikeoutPosition > 0 ? os2->yStrikeoutPosition * scale : tm.tmAscent / 3.0;
    face->strikeOutY_ = tm.tmAscent - std::max<LONG>(1, std::lround(strikeAbove));
    ClampDecorations(*face);
    return face;
  }

  static void FinishMetrics(FontFace& face) {
    LONG widest = 0;
    for (const GlyphBitmap& glyph : face.glyphs_) widest = std::max(widest, glyph.advance);
    face.metrics_.tmMaxCharWidth = widest;
  }

  // Small cells leave no room below the baseline; the lines stay inside.
  static void ClampDecorations(FontFace& face) {
    const LONG lastRow = std::max<LONG>(0, face.metrics_.tmHeight - face.decorationThickness_);
    face.underlineY_ = std::clamp<LONG>(face.underlineY_, 0, lastRow);
    face.strikeOutY_ = std::clamp<LONG>(face.strikeOutY_, 0, lastRow);
  }
};

std::shared_ptr<const FontFace> FontFace::Realize(const LOGFONTA& lf) {
  Registry& registry = Registry::Get();
  const Request request = Resolve(lf);
  std::lock_guard lock(registry.mutex);
  if (auto found = registry.cache.find(request); found != registry.cache.end()) {
    return found->second;
  }
  auto face = FaceBuilder::Build(registry.Library(), request, kWineFontDir);
  registry.cache.emplace(request, face);
  return face;
}

std::shared_ptr<const FontFace> FontFace::Realize(const LOGFONTA& lf, const std::filesystem::path& fontDir) {
  Registry& registry = Registry::Get();
  std::lock_guard lock(registry.mutex);
  return FaceBuilder::Build(registry.Library(), Resolve(lf), fontDir);
}

LONG FontFace::TextWidth(std::string_view text) const {
  LONG width = 0;
  for (const char c : text) width += CharWidth(static_cast<unsigned char>(c));
  return width;
}

void RegisterCarriedFont(const std::string& fileName, const std::uint8_t* bytes, std::size_t size) {
  std::lock_guard lock(gCarriedMutex);
  gCarried[fileName] = CarriedFont{bytes, size};
}

}  // namespace gdi
