// Drawing pieces the standard controls share: text through DrawTextA in a
// control's font, the engraved look of disabled text, solid fills and the
// classic scroll arrow button. Only the standard controls include this.
#pragma once

#include <string>

#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "toolkit/Graphics.h"

namespace toolkit::stddraw {

// What DrawTextA lays out for `text` in `bounds` with DT_CALCRECT added to
// `flags`, measured in `font` on a context of its own (so a control can be
// measured before it has a place to draw).
gdi::TRect MeasureText(const TFont* font, const std::string& text, const gdi::TRect& bounds, unsigned flags);
// The height of one line of `font`.
int LineHeight(const TFont* font);
// The width of `text` in `font` (no prefix processing).
int TextWidth(const TFont* font, const std::string& text);

// DrawTextA in `font` and `color` over what is there (no background).
void DrawText(TCanvas* canvas, const TFont* font, const std::string& text, gdi::TRect rect, unsigned flags,
              TColor color);
// Enabled: in the font's colour. Disabled: engraved, a highlight copy one
// pixel down and right under a shadow copy.
void DrawCaption(TCanvas* canvas, const TFont* font, const std::string& text, const gdi::TRect& rect,
                 unsigned flags, bool enabled);

void Fill(TCanvas* canvas, const gdi::TRect& rect, TColor color);
// A one-pixel frame in `color`, all four sides.
void FrameSolid(TCanvas* canvas, const gdi::TRect& rect, TColor color);

// The classic scroll-bar button with a black triangle pointing `down` (or
// up): raised, or flat and the arrow moved one pixel when pushed; a greyed
// arrow when disabled.
void DrawScrollButton(TCanvas* canvas, const gdi::TRect& rect, bool down, bool pushed, bool enabled);
// The raised face of a scroll thumb or an arrow button without the arrow.
void DrawRaisedFace(TCanvas* canvas, gdi::TRect rect);

}  // namespace toolkit::stddraw
