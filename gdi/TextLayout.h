// The layout half of DrawTextA: where each piece of text goes for a set of
// DT_ flags, and what DT_CALCRECT and the return value report. Drawing the
// pieces is left to the device context.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gdi/Font.h"
#include "gdi/GdiTypes.h"

namespace gdi {

constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_TABSTOP = 0x80;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_EXTERNALLEADING = 0x200;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;
constexpr UINT DT_INTERNAL = 0x1000;
constexpr UINT DT_EDITCONTROL = 0x2000;
constexpr UINT DT_PATH_ELLIPSIS = 0x4000;
constexpr UINT DT_END_ELLIPSIS = 0x8000;
constexpr UINT DT_MODIFYSTRING = 0x10000;
constexpr UINT DT_RTLREADING = 0x20000;
constexpr UINT DT_WORD_ELLIPSIS = 0x40000;
constexpr UINT DT_HIDEPREFIX = 0x100000;
constexpr UINT DT_PREFIXONLY = 0x200000;

// The flags of a DrawTextA format: under DT_TABSTOP, bits 8-15 hold the tab
// length in average character widths, so DT_CALCRECT, DT_NOCLIP and the
// rest of that byte are not set, whatever those bits read.
constexpr UINT DrawTextFlags(UINT format) { return (format & DT_TABSTOP) ? format & ~0xFF00u : format; }

// One run of text drawn with a single call. A line is one run, or one per
// tab-separated piece under DT_EXPANDTABS; the runs of a line share y.
struct TextLine {
  LONG x = 0, y = 0;  // left edge and top of the line's cell; baseline y + tmAscent
  std::string text;   // prefixes removed, ellipsis applied; empty under DT_PREFIXONLY
  // The prefixed character's underline, one pixel high in row y + tmAscent + 1
  // as DrawText draws it; 0 width: none.
  LONG underlineX = 0, underlineWidth = 0;
};

struct TextLayout {
  std::vector<TextLine> lines;
  TRect extent;     // what DT_CALCRECT stores back into the caller's rectangle
  LONG height = 0;  // DrawTextA's return value
};

// Lays out exactly `text` (the caller resolves a length of -1 and returns 0
// for a length of 0 without calling this).
TextLayout LayoutText(const TextMeasure& font, std::string_view text, const TRect& rc, UINT format);

}  // namespace gdi
