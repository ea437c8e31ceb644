// Fonts in contexts and the text calls: the layout comes from TextLayout, the
// glyphs from FontFace; this file puts their ink on a surface.
#include <cstring>
#include <string_view>

#include "gdi/DcAccess.h"
#include "gdi/Gdi.h"
#include "gdi/PixelFormat.h"

namespace gdi {
using namespace detail;

namespace {

const FontFace& FaceOf(const FontObject& font) {
  if (!font.face) font.face = FontFace::Realize(font.logFont);
  return *font.face;
}

std::string_view TextOf(const char* text, int count) {
  if (!text) return {};
  return count < 0 ? std::string_view(text) : std::string_view(text, static_cast<std::size_t>(count));
}

class Painter {
 public:
  Painter(const Target& t, const FontFace& face, const TRect& area)
      : t_(t),
        face_(face),
        area_(area),
        ink_(PixelForColor(*t.bitmap, t.dc->state.textColor)),
        paper_(PixelForColor(*t.bitmap, t.dc->state.bkColor)) {}

  // One run with its cell's top-left at logical (x, y).
  void Run(LONG x, LONG y, std::string_view text, LONG underlineX, LONG underlineWidth) {
    const POINT at = ToDevice(t_.dc->state, x, y);
    const TEXTMETRICA& tm = face_.Metrics();
    const LONG width = face_.TextWidth(text);
    if (t_.dc->state.bkMode == OPAQUE) Box({at.X, at.Y, at.X + width, at.Y + tm.tmHeight}, paper_);
    LONG pen = at.X;
    const LONG baseline = at.Y + tm.tmAscent;
    for (unsigned char c : text) {
      Glyph(face_.Glyph(c), pen, baseline);
      pen += face_.CharWidth(c);
    }
    const LONG thick = face_.DecorationThickness();
    if (face_.Underline())
      Box({at.X, at.Y + face_.UnderlineY(), pen, at.Y + face_.UnderlineY() + thick}, ink_);
    if (face_.StrikeOut())
      Box({at.X, at.Y + face_.StrikeOutY(), pen, at.Y + face_.StrikeOutY() + thick}, ink_);
    if (underlineWidth > 0) {
      const POINT u = ToDevice(t_.dc->state, underlineX, y);
      Box({u.X, u.Y + face_.UnderlineY(), u.X + underlineWidth, u.Y + face_.UnderlineY() + thick}, ink_);
    }
  }

 private:
  void Glyph(const GlyphBitmap& g, LONG penX, LONG baseline) {
    const LONG left = penX + g.left, top = baseline - g.top;
    for (LONG row = 0; row < g.height; ++row) {
      const LONG y = top + row;
      if (y < area_.Top || y >= area_.Bottom) continue;
      for (LONG col = 0; col < g.width; ++col) {
        const LONG x = left + col;
        if (g.mask[static_cast<std::size_t>(row * g.width + col)] && x >= area_.Left && x < area_.Right)
          WriteRow(t_.bitmap->image, y, x, 1, &ink_);
      }
    }
  }

  void Box(const TRect& box, std::uint32_t pixel) {
    const TRect r = Intersect(area_, box);
    if (Empty(r)) return;
    std::vector<std::uint32_t> row(static_cast<std::size_t>(r.Width()), pixel);
    for (LONG y = r.Top; y < r.Bottom; ++y) WriteRow(t_.bitmap->image, y, r.Left, r.Width(), row.data());
  }

  const Target& t_;
  const FontFace& face_;
  TRect area_;
  std::uint32_t ink_, paper_;
};

}  // namespace

HFONT CreateFontIndirectA(const LOGFONTA* logFont) {
  if (!logFont) return 0;
  auto lock = LockTable();
  FontObject font;
  font.logFont = *logFont;
  font.logFont.lfFaceName[sizeof font.logFont.lfFaceName - 1] = '\0';
  return Insert(std::move(font));
}

BOOL GetTextMetricsA(HDC handle, TEXTMETRICA* metrics) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc || !metrics) return FALSE;
  *metrics = FaceOf(DcFont(*dc)).Metrics();
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC handle, const char* text, int count, SIZE* size) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc || !size || count < 0) return FALSE;
  const FontFace& face = FaceOf(DcFont(*dc));
  *size = {face.TextWidth(TextOf(text, count)), face.Metrics().tmHeight};
  return TRUE;
}

BOOL TextOutA(HDC handle, int x, int y, const char* text, int count) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t || count < 0) return FALSE;
  Painter(t, FaceOf(DcFont(*t.dc)), DrawableArea(*t.dc, *t.bitmap)).Run(x, y, TextOf(text, count), 0, 0);
  return TRUE;
}

int DrawTextA(HDC handle, const char* text, int count, RECT* rect, UINT format) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t || !rect || !text || count == 0) return 0;
  const FontFace& face = FaceOf(DcFont(*t.dc));
  const TextLayout layout = LayoutText(face, TextOf(text, count), *rect, format);
  // With DT_TABSTOP the high byte of the low word is the tab length, not flags.
  const UINT flags = DrawTextFlags(format);
  if (flags & DT_CALCRECT) {
    *rect = layout.extent;
    return layout.height;
  }
  TRect area = DrawableArea(*t.dc, *t.bitmap);
  if (!(flags & DT_NOCLIP)) area = Intersect(area, RectToDevice(t.dc->state, *rect));
  Painter painter(t, face, area);
  for (const TextLine& line : layout.lines)
    painter.Run(line.x, line.y, line.text, line.underlineX, line.underlineWidth);
  return layout.height;
}

}  // namespace gdi
