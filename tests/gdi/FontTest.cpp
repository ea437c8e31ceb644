#include "gdi/Font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "gdi/TextLayout.h"
#include "tests/support/Expect.h"
#include "tests/support/ScratchDir.h"

// FreeType reads the strike headers independently of the code under test.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_WINFONTS_H

namespace gdi {
namespace {

using testsupport::Mentions;
using testsupport::ThrownMessage;
using testsupport::ThrowsWithMessage;

LOGFONTA Font(LONG height, LONG weight = FW_NORMAL, const char* face = "MS Sans Serif") {
  LOGFONTA lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
  return lf;
}

std::shared_ptr<const FontFace> Realize(LONG height, LONG weight = FW_NORMAL,
                                        const char* face = "MS Sans Serif") {
  return FontFace::Realize(Font(height, weight, face));
}

long InkCount(const GlyphBitmap& glyph) {
  long count = 0;
  for (const auto pixel : glyph.mask) count += pixel;
  return count;
}

long InkCount(const FontFace& face, std::string_view text) {
  long count = 0;
  for (const char c : text) count += InkCount(face.Glyph(static_cast<unsigned char>(c)));
  return count;
}

bool Ink(const GlyphBitmap& glyph, LONG x, LONG y) { return glyph.mask[y * glyph.width + x] != 0; }

// The FNT header of the sserife.fon strike with the given cell height, read
// straight from the file as an independent account of the strike.
FT_WinFNT_HeaderRec StrikeHeader(int cellHeight) {
  FT_Library library = nullptr;
  EXPECT_EQ(FT_Init_FreeType(&library), 0);
  FT_WinFNT_HeaderRec found{};
  for (FT_Long index = 0; index < 3; ++index) {
    FT_Face face = nullptr;
    const std::string file = (kWineFontDir / "sserife.fon").string();
    if (FT_New_Face(library, file.c_str(), index, &face) != 0) break;
    FT_WinFNT_HeaderRec header{};
    if (FT_Get_WinFNT_Header(face, &header) == 0 && header.pixel_height == cellHeight) found = header;
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return found;
}

TEST(FontFace, LabelFontIsTheElevenPixelStrikeWithACellOfThirteen) {
  const auto face = Realize(-11);
  const TEXTMETRICA& tm = face->Metrics();
  EXPECT_TRUE(face->IsBitmap());
  EXPECT_EQ(tm.tmHeight, 13);
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11);  // the requested em

  const FT_WinFNT_HeaderRec header = StrikeHeader(13);
  ASSERT_EQ(header.pixel_height, 13) << "sserife.fon has no 13-pixel strike";
  EXPECT_EQ(tm.tmAscent, header.ascent);
  EXPECT_EQ(tm.tmInternalLeading, header.internal_leading);
  EXPECT_EQ(tm.tmExternalLeading, header.external_leading);
  EXPECT_EQ(tm.tmAveCharWidth, header.avg_width);
  EXPECT_EQ(tm.tmMaxCharWidth, header.max_width);
}

TEST(FontFace, DefaultAndCellHeightRequestsReachTheSameStrike) {
  const auto byEm = Realize(-11);
  EXPECT_EQ(Realize(0), byEm);
  EXPECT_EQ(Realize(-11, FW_NORMAL, ""), byEm);
  EXPECT_EQ(Realize(-11, FW_NORMAL, "No Such Face"), byEm);
  const auto byCell = Realize(13);
  EXPECT_TRUE(byCell->IsBitmap());
  EXPECT_EQ(byCell->Metrics().tmHeight, 13);
  EXPECT_EQ(byCell->TextWidth("Lumivant"), byEm->TextWidth("Lumivant"));
}

TEST(FontFace, OnlyExactStrikeSizesUseTheBitmapFont) {
  struct Case {
    LONG height;
    bool bitmap;
    LONG cell;
  };
  for (const Case c : {Case{-11, true, 13}, Case{-13, true, 16}, Case{-16, true, 20}, Case{13, true, 13},
                       Case{16, true, 16}, Case{20, true, 20}}) {
    const auto face = Realize(c.height);
    EXPECT_EQ(face->IsBitmap(), c.bitmap) << c.height;
    EXPECT_EQ(face->Metrics().tmHeight, c.cell) << c.height;
  }
  for (const LONG height : {-12, -14, -24, 14, 18}) {
    const auto face = Realize(height);
    EXPECT_FALSE(face->IsBitmap()) << height;
    const TEXTMETRICA& tm = face->Metrics();
    if (height > 0) {
      EXPECT_EQ(tm.tmHeight, height);  // a positive height asks for the cell
    } else {
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -height);  // a negative one for the em
    }
  }
  EXPECT_FALSE(Realize(-11, FW_NORMAL, "tahoma")->IsBitmap());
}

TEST(FontFace, RecordedMeasuresOfTheWindowFonts) {
  // What the Wine fonts give for the three sizes the window uses.
  struct Case {
    LONG height;
    LONG weight;
    LONG tmHeight, tmAscent, lumivant, w;
  };
  for (const Case c : {Case{-11, FW_NORMAL, 13, 11, 43, 11}, Case{-16, FW_NORMAL, 20, 16, 64, 15},
                       Case{-24, FW_BOLD, 29, 24, 113, 25}}) {
    const auto face = Realize(c.height, c.weight);
    EXPECT_EQ(face->Metrics().tmHeight, c.tmHeight) << c.height;
    EXPECT_EQ(face->Metrics().tmAscent, c.tmAscent) << c.height;
    EXPECT_EQ(face->TextWidth("Lumivant"), c.lumivant) << c.height;
    EXPECT_EQ(face->TextWidth("W"), c.w) << c.height;
  }
}

TEST(FontFace, MeasuringWGivesOneCellOfHeight) {
  const auto face = Realize(-11);
  const TextLayout measured = LayoutText(*face, "W", TRect{}, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(measured.extent.Height(), 13);
  EXPECT_EQ(measured.height, 13);
  EXPECT_EQ(measured.extent.Width(), face->CharWidth('W'));
}

TEST(FontFace, InkOfAStringLiesWithinItsMeasuredWidth) {
  for (const auto& face : {Realize(-11), Realize(-16), Realize(-24, FW_BOLD), Realize(-11, FW_BOLD)}) {
    const std::string text = "Lumivant";
    LONG pen = 0, inkLeft = std::numeric_limits<LONG>::max(), inkRight = -1;
    for (const char c : text) {
      const GlyphBitmap& glyph = face->Glyph(static_cast<unsigned char>(c));
      for (LONG y = 0; y < glyph.height; ++y) {
        for (LONG x = 0; x < glyph.width; ++x) {
          if (!Ink(glyph, x, y)) continue;
          inkLeft = std::min(inkLeft, pen + glyph.left + x);
          inkRight = std::max(inkRight, pen + glyph.left + x);
        }
      }
      pen += glyph.advance;
    }
    EXPECT_EQ(pen, face->TextWidth(text));
    EXPECT_GE(inkLeft, 0);
    EXPECT_LT(inkRight, face->TextWidth(text));
    EXPECT_GT(inkRight, face->TextWidth(text) - face->CharWidth('t') - 1);  // ink reaches the end
  }
}

TEST(FontFace, GlyphsSitOnTheBaseline) {
  const auto face = Realize(-11);
  const LONG ascent = face->Metrics().tmAscent;

  // 'l' is one vertical stroke ending on the baseline.
  const GlyphBitmap& l = face->Glyph('l');
  std::vector<LONG> inkedColumns, inkedRows;
  for (LONG x = 0; x < l.width; ++x) {
    for (LONG y = 0; y < l.height; ++y) {
      if (!Ink(l, x, y)) continue;
      if (inkedColumns.empty() || inkedColumns.back() != x) inkedColumns.push_back(x);
      inkedRows.push_back(y);
    }
  }
  ASSERT_EQ(inkedColumns.size(), 1u);
  ASSERT_FALSE(inkedRows.empty());
  for (std::size_t i = 1; i < inkedRows.size(); ++i) EXPECT_EQ(inkedRows[i], inkedRows[i - 1] + 1);
  EXPECT_EQ(l.top - inkedRows.back(), 1) << "the stroke ends right above the baseline";
  EXPECT_GE(static_cast<LONG>(inkedRows.size()), ascent - face->Metrics().tmInternalLeading);

  // 'W' fills rows between the ascent and the baseline, none below; 'g' descends.
  const GlyphBitmap& w = face->Glyph('W');
  bool above = false;
  for (LONG y = 0; y < w.height; ++y) {
    for (LONG x = 0; x < w.width; ++x) {
      if (!Ink(w, x, y)) continue;
      const LONG rowsAboveBaseline = w.top - y;
      EXPECT_GE(rowsAboveBaseline, 1);
      EXPECT_LE(rowsAboveBaseline, ascent);
      above = true;
    }
  }
  EXPECT_TRUE(above);
  const GlyphBitmap& g = face->Glyph('g');
  bool descends = false;
  for (LONG y = 0; y < g.height; ++y) {
    for (LONG x = 0; x < g.width; ++x) descends |= Ink(g, x, y) && y >= g.top;
  }
  EXPECT_TRUE(descends);
}

TEST(FontFace, BoldBitmapIsAOnePixelOverstrike) {
  const auto regular = Realize(-11);
  const auto bold = Realize(-11, FW_BOLD);
  ASSERT_NE(regular, bold);
  EXPECT_TRUE(bold->IsBitmap());
  EXPECT_EQ(bold->Metrics().tmWeight, FW_BOLD);
  EXPECT_EQ(bold->Metrics().tmHeight, regular->Metrics().tmHeight);
  EXPECT_EQ(bold->Metrics().tmAveCharWidth, regular->Metrics().tmAveCharWidth + 1);
  EXPECT_EQ(bold->Metrics().tmMaxCharWidth, regular->Metrics().tmMaxCharWidth + 1);
  for (unsigned c = 0x20; c < 0x100; ++c) {
    const GlyphBitmap& r = regular->Glyph(static_cast<unsigned char>(c));
    const GlyphBitmap& b = bold->Glyph(static_cast<unsigned char>(c));
    ASSERT_EQ(b.advance, r.advance + 1) << c;
    if (r.width == 0) continue;
    ASSERT_EQ(b.width, r.width + 1) << c;
    ASSERT_EQ(b.height, r.height) << c;
    for (LONG y = 0; y < b.height; ++y) {
      for (LONG x = 0; x < b.width; ++x) {
        const bool here = x < r.width && Ink(r, x, y);
        const bool leftOf = x > 0 && Ink(r, x - 1, y);
        ASSERT_EQ(Ink(b, x, y), here || leftOf) << "char " << c << " at " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(bold->TextWidth("Lumivant"), regular->TextWidth("Lumivant") + 8);
}

TEST(FontFace, BoldOutlineIsHeavierThanRegular) {
  const auto regular = Realize(-24);
  const auto bold = Realize(-24, FW_BOLD);
  EXPECT_FALSE(bold->IsBitmap());
  EXPECT_EQ(bold->Metrics().tmWeight, FW_BOLD);
  EXPECT_GT(InkCount(*bold, "Lumivant"), InkCount(*regular, "Lumivant"));
  EXPECT_GT(bold->TextWidth("Lumivant"), regular->TextWidth("Lumivant"));
}

TEST(FontFace, OutlineGlyphsAreMonochrome) {
  const GlyphBitmap& a = Realize(-24)->Glyph('a');
  ASSERT_GT(a.width * a.height, 0);
  for (const auto pixel : a.mask) ASSERT_TRUE(pixel == 0 || pixel == 1);
  EXPECT_GT(InkCount(a), 0);
}

TEST(FontFace, TextIsReadAsWindows1252) {
  for (const auto& face : {Realize(-11), Realize(-24)}) {
    // The euro sign, ellipsis and quotes live at 0x80-0x9F in Windows-1252.
    for (const unsigned char c : {0x80, 0x85, 0x93, 0x99}) {
      EXPECT_GT(InkCount(face->Glyph(c)), 0) << int{c} << (face->IsBitmap() ? " bitmap" : " outline");
    }
    EXPECT_GT(InkCount(face->Glyph(0xE9)), 0);  // e acute
  }
  // Bytes the bitmap font lacks show its default character; the outline
  // shows a blank the width of a space.
  const auto bitmap = Realize(-11);
  const GlyphBitmap& fallback = bitmap->Glyph(bitmap->Metrics().tmDefaultChar);
  EXPECT_GT(InkCount(fallback), 0);
  EXPECT_EQ(bitmap->Glyph(0x01).mask, fallback.mask);
  EXPECT_NE(bitmap->Glyph(0x80).mask, fallback.mask);
  const auto outline = Realize(-24);
  EXPECT_EQ(InkCount(outline->Glyph(0x81)), 0);
  EXPECT_EQ(outline->CharWidth(0x81), outline->CharWidth(' '));
}

TEST(FontFace, RealizedFacesAreSharedPerRequest) {
  LOGFONTA lf = Font(-13);
  const auto first = FontFace::Realize(lf);
  lf.lfQuality = 3;
  lf.lfWidth = 7;  // ignored: glyphs keep their designed width
  EXPECT_EQ(FontFace::Realize(lf), first);
  lf.lfUnderline = 1;
  const auto underlined = FontFace::Realize(lf);
  EXPECT_NE(underlined, first);
  EXPECT_TRUE(underlined->Underline());
  EXPECT_FALSE(first->Underline());

  // Concurrent first requests all get the one face.
  std::vector<std::shared_ptr<const FontFace>> got(4);
  std::vector<std::thread> threads;
  for (auto& slot : got) threads.emplace_back([&slot] { slot = Realize(-37); });
  for (auto& thread : threads) thread.join();
  for (const auto& face : got) EXPECT_EQ(face, got.front());
}

TEST(FontFace, DecorationsStayInsideTheCell) {
  for (const auto& face : {Realize(-11), Realize(-16), Realize(-24, FW_BOLD), Realize(-8)}) {
    const TEXTMETRICA& tm = face->Metrics();
    EXPECT_GE(face->UnderlineY(), tm.tmAscent) << tm.tmHeight;  // below the baseline
    EXPECT_LE(face->UnderlineY() + face->DecorationThickness(), tm.tmHeight) << tm.tmHeight;
    EXPECT_LT(face->StrikeOutY(), tm.tmAscent) << tm.tmHeight;  // above it
    EXPECT_GT(face->StrikeOutY(), tm.tmInternalLeading) << tm.tmHeight;
  }
  LOGFONTA lf = Font(-11);
  lf.lfStrikeOut = 1;
  EXPECT_TRUE(FontFace::Realize(lf)->StrikeOut());
  EXPECT_EQ(FontFace::Realize(lf)->Metrics().tmStruckOut, 1);
}

TEST(FontFace, ExtremeHeightsAreClampedNotFatal) {
  for (const LONG height : {std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()}) {
    const auto face = Realize(height);
    EXPECT_GT(face->Metrics().tmHeight, 0);
    EXPECT_LE(face->Metrics().tmHeight, 400);
  }
  EXPECT_GT(Realize(-1)->Metrics().tmHeight, 0);
}

class MissingFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testsupport::MakeScratchDir("lumivant-fonts");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(MissingFonts, AnEmptyFolderNamesThePackageAndTheFile) {
  const std::string message = ThrownMessage<EFontMissing>([&] { FontFace::Realize(Font(-11), dir_); });
  EXPECT_TRUE(Mentions(message, "fonts-wine"));
  EXPECT_TRUE(Mentions(message, (dir_ / "sserife.fon").string()));
}

TEST_F(MissingFonts, EachFileIsNeededOnlyForItsSizes) {
  std::filesystem::copy_file(kWineFontDir / "sserife.fon", dir_ / "sserife.fon");
  EXPECT_TRUE(FontFace::Realize(Font(-11), dir_)->IsBitmap());
  EXPECT_TRUE(ThrowsWithMessage<EFontMissing>([&] { FontFace::Realize(Font(-24, FW_BOLD), dir_); },
                                              (dir_ / "tahomabd.ttf").string()));
}

TEST_F(MissingFonts, AFileThatIsNoFontIsReportedAsSuch) {
  std::FILE* file = std::fopen((dir_ / "sserife.fon").string().c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("not a font", file);
  std::fclose(file);
  EXPECT_THROW(FontFace::Realize(Font(-11), dir_), EFontMissing);
}

// A program that carries its fonts draws with them where the folder has none.
TEST_F(MissingFonts, ACarriedFontStandsInForItsFile) {
  std::ifstream in(kWineFontDir / "sserife.fon", std::ios::binary);
  static const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(bytes.empty());
  RegisterCarriedFont("sserife.fon", bytes.data(), bytes.size());
  const auto carried = FontFace::Realize(Font(-11), dir_);
  const auto installed = FontFace::Realize(Font(-11), kWineFontDir);
  EXPECT_TRUE(carried->IsBitmap());
  EXPECT_EQ(carried->TextWidth("Lumivant 1.03"), installed->TextWidth("Lumivant 1.03"));
  EXPECT_EQ(carried->Metrics().tmHeight, installed->Metrics().tmHeight);
  // Only the carried file stands in: an outline size still needs its file.
  EXPECT_THROW(FontFace::Realize(Font(-24), dir_), EFontMissing);

  static const std::uint8_t junk[] = {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't'};
  RegisterCarriedFont("tahoma.ttf", junk, sizeof junk);
  EXPECT_TRUE(ThrowsWithMessage<EFontMissing>([&] { FontFace::Realize(Font(-24), dir_); }, "tahoma.ttf"));
}

}  // namespace
}  // namespace gdi
