#include "gdi/TextLayout.h"

#include <algorithm>

// DT_INTERNAL, DT_RTLREADING, DT_MODIFYSTRING and DT_NOCLIP change nothing
// here: they concern the font choice, the drawing, and the caller's buffer.

namespace gdi {

namespace {

constexpr std::string_view kEllipsis = "...";
constexpr LONG kDefaultTabChars = 8;
constexpr std::size_t kNone = std::string_view::npos;

struct Settings {
  UINT format = 0;
  LONG width = 0;  // of the rectangle
  LONG lineHeight = 0;
  LONG tabWidth = 0;  // 0: a tab is an ordinary character
  bool prefixes = false;
  bool underline = false;
  bool drawText = true;
  bool singleLine = false;

  bool Has(UINT flags) const { return (format & flags) != 0; }
};

Settings MakeSettings(const TextMeasure& font, const TRect& rc, UINT format) {
  const TEXTMETRICA& tm = font.Metrics();
  LONG tabChars = kDefaultTabChars;
  if (format & DT_TABSTOP) {
    if (const LONG chars = (format >> 8) & 0xFF) tabChars = chars;
    format = DrawTextFlags(format);
  }
  if (format & DT_CALCRECT) format |= DT_NOCLIP;
  if (format & DT_SINGLELINE) format &= ~DT_WORDBREAK;

  Settings s;
  s.format = format;
  s.width = rc.Width();
  s.lineHeight = tm.tmHeight + (format & DT_EXTERNALLEADING ? tm.tmExternalLeading : 0);
  if (format & DT_EXPANDTABS) s.tabWidth = std::max<LONG>(1, tabChars * tm.tmAveCharWidth);
  s.prefixes = !(format & DT_NOPREFIX);
  s.underline = s.prefixes && !(format & DT_HIDEPREFIX);
  s.drawText = !(format & DT_PREFIXONLY);
  s.singleLine = (format & DT_SINGLELINE) != 0;
  return s;
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// One character as it will be shown, read from the raw text at `pos`;
// `ch` is -1 where the bytes show nothing.
struct Step {
  std::size_t next;
  int ch;
  bool underlined;
};

Step NextChar(std::string_view text, std::size_t pos, std::size_t end, const Settings& s) {
  Step step{pos + 1, static_cast<unsigned char>(text[pos]), false};
  if (s.prefixes && text[pos] == '&') {
    if (pos + 1 >= end) return {end, -1, false};  // a lone '&' at the end
    step.next = pos + 2;
    step.ch = static_cast<unsigned char>(text[pos + 1]);
    step.underlined = s.underline && text[pos + 1] != '&';
  }
  if (s.singleLine && IsLineBreak(static_cast<char>(step.ch))) step.ch = -1;
  if (step.ch == '\t' && s.tabWidth > 0) step.underlined = false;
  if (step.ch < 0) step.underlined = false;
  return step;
}

LONG Advance(const TextMeasure& font, const Settings& s, LONG x, char c) {
  if (c == '\t' && s.tabWidth > 0) return (x / s.tabWidth + 1) * s.tabWidth;
  return x + font.CharWidth(static_cast<unsigned char>(c));
}

LONG Width(const TextMeasure& font, const Settings& s, std::string_view shown) {
  LONG x = 0;
  for (const char c : shown) x = Advance(font, s, x, c);
  return x;
}

// Where a line taken from [start, end) stops, and where the next begins.
struct Wrap {
  std::size_t lineEnd;
  std::size_t next;
};

std::size_t SkipSpaces(std::string_view text, std::size_t pos, std::size_t end) {
  while (pos < end && text[pos] == ' ') ++pos;
  return pos;
}

// Breaks before the last run of spaces that lets the line fit. A word with
// no such space before it stays whole and overflows, unless DT_EDITCONTROL
// allows breaking inside it.
Wrap WrapLine(const TextMeasure& font, const Settings& s, std::string_view text, std::size_t start,
              std::size_t end) {
  LONG x = 0;
  bool sawWord = false;
  std::size_t spaceRun = kNone;  // start of the spaces just passed
  Wrap lastBreak{kNone, kNone};
  std::size_t firstShown = kNone;
  for (std::size_t pos = start; pos < end;) {
    const Step step = NextChar(text, pos, end, s);
    if (step.ch < 0) {
      pos = step.next;
      continue;
    }
    if (firstShown == kNone) firstShown = pos;
    const char c = static_cast<char>(step.ch);
    if (c == ' ') {
      // Trailing spaces may pass the edge; only a following word breaks.
      if (sawWord && spaceRun == kNone) spaceRun = pos;
      x = Advance(font, s, x, c);
      pos = step.next;
      continue;
    }
    if (spaceRun != kNone) lastBreak = {spaceRun, pos};
    spaceRun = kNone;
    const LONG after = Advance(font, s, x, c);
    if (after > s.width && pos != firstShown) {
      if (lastBreak.lineEnd != kNone) return lastBreak;
      if (s.Has(DT_EDITCONTROL) && !s.Has(DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) return {pos, pos};
      std::size_t wordEnd = pos;
      while (wordEnd < end && text[wordEnd] != ' ') ++wordEnd;
      return {wordEnd, SkipSpaces(text, wordEnd, end)};
    }
    x = after;
    sawWord = true;
    pos = step.next;
  }
  return {end, end};
}

// CR, LF, CR LF and LF CR each end one line.
std::size_t SkipLineBreak(std::string_view text, std::size_t pos) {
  if (pos >= text.size() || !IsLineBreak(text[pos])) return pos;
  const char first = text[pos++];
  if (pos < text.size() && IsLineBreak(text[pos]) && text[pos] != first) ++pos;
  return pos;
}

// The shown characters of [start, end) appended to `out`; the first prefixed
// character of the line is the one underlined.
int AppendShown(std::string_view text, std::size_t start, std::size_t end, const Settings& s,
                std::string& out) {
  int underlined = -1;
  for (std::size_t pos = start; pos < end;) {
    const Step step = NextChar(text, pos, end, s);
    if (step.ch >= 0) {
      if (step.underlined && underlined < 0) underlined = static_cast<int>(out.size());
      out.push_back(static_cast<char>(step.ch));
    }
    pos = step.next;
  }
  return underlined;
}

// The longest prefix of `shown` that leaves `reserve` pixels within `limit`.
std::size_t FittingPrefix(const TextMeasure& font, const Settings& s, std::string_view shown, LONG reserve,
                          LONG limit) {
  LONG x = 0;
  std::size_t count = 0;
  while (count < shown.size()) {
    x = Advance(font, s, x, shown[count]);
    if (x + reserve > limit) break;
    ++count;
  }
  return count;
}

LONG EllipsisWidth(const TextMeasure& font, const Settings& s) { return Width(font, s, kEllipsis); }

void EndEllipsis(const TextMeasure& font, const Settings& s, std::string& shown, int& underlined) {
  const std::size_t keep = FittingPrefix(font, s, shown, EllipsisWidth(font, s), s.width);
  shown.replace(keep, kNone, kEllipsis);
  if (underlined >= static_cast<int>(keep)) underlined = -1;
}

// Keeps the part from the last backslash on and as much of the start as
// fits; the characters between give way to the ellipsis. Text without a
// backslash is all last part.
void PathEllipsis(const TextMeasure& font, const Settings& s, std::string& shown, int& underlined) {
  const std::size_t slash = shown.rfind('\\');
  const std::size_t tail = slash == kNone ? 0 : slash;
  const LONG reserve = EllipsisWidth(font, s) + Width(font, s, std::string_view(shown).substr(tail));
  const std::size_t keep = FittingPrefix(font, s, std::string_view(shown).substr(0, tail), reserve, s.width);
  shown.replace(keep, tail - keep, kEllipsis);
  const int removedFrom = static_cast<int>(keep), removedTo = static_cast<int>(tail);
  if (underlined >= removedFrom && underlined < removedTo) {
    underlined = -1;
  } else if (underlined >= removedTo) {
    underlined += static_cast<int>(kEllipsis.size()) - (removedTo - removedFrom);
  }
}

struct LineContext {
  bool endsText;   // nothing but at most one line break follows
  bool lastShown;  // clipping stops after this line though text follows
};

// Applies the ellipsis flags to one line, as classic DrawText does: the end
// ellipsis marks where the text is cut off, so it goes only on the line that
// ends the text or on the last line shown before the rest is dropped.
void ApplyEllipses(const TextMeasure& font, const Settings& s, const LineContext& line, std::string& shown,
                   int& underlined) {
  auto fits = [&] { return Width(font, s, shown) <= s.width; };
  if (s.Has(DT_PATH_ELLIPSIS) && !fits()) PathEllipsis(font, s, shown, underlined);
  const bool end = s.Has(DT_END_ELLIPSIS) && ((line.endsText && !fits()) || line.lastShown);
  const bool word = s.Has(DT_WORD_ELLIPSIS) && !fits();
  if (end || word) EndEllipsis(font, s, shown, underlined);
}

// Centring divides with truncation toward zero, as DrawText does, so a text
// wider than its rectangle hangs out on both sides, the left one the less.
LONG LineX(const Settings& s, const TRect& rc, LONG lineWidth) {
  if (s.Has(DT_CENTER)) return rc.Left + (s.width - lineWidth) / 2;
  if (s.Has(DT_RIGHT)) return rc.Right - lineWidth;
  return rc.Left;
}

void SetUnderline(const TextMeasure& font, TextLine& run, std::string_view piece, int at) {
  const auto index = static_cast<std::size_t>(at);
  LONG offset = 0;
  for (std::size_t i = 0; i < index; ++i) offset += font.CharWidth(static_cast<unsigned char>(piece[i]));
  run.underlineX = run.x + offset;
  // The advance includes the column that parts a character from the next.
  run.underlineWidth = std::max<LONG>(1, font.CharWidth(static_cast<unsigned char>(piece[index])) - 1);
}

// Adds the runs of one shown line: the whole line, or with tabs expanded one
// run per piece between tabs. Returns the line's width.
LONG EmitLine(const TextMeasure& font, const Settings& s, const TRect& rc, LONG y, std::string&& shown,
              int underlined, std::vector<TextLine>& out) {
  const LONG width = Width(font, s, shown);
  const LONG x = LineX(s, rc, width);
  const std::size_t firstRun = out.size();
  std::size_t firstEnd = kNone;  // end of the piece that opens the line, if drawn
  LONG pen = 0;
  for (std::size_t pieceStart = 0;;) {
    const std::size_t pieceEnd =
        s.tabWidth > 0 ? std::min(shown.find('\t', pieceStart), shown.size()) : shown.size();
    const std::string_view piece = std::string_view(shown).substr(pieceStart, pieceEnd - pieceStart);
    if (!piece.empty()) {
      TextLine run{x + pen, y, {}, 0, 0};
      const int at = underlined - static_cast<int>(pieceStart);
      if (at >= 0 && at < static_cast<int>(piece.size())) SetUnderline(font, run, piece, at);
      if (pieceStart == 0) {
        firstEnd = pieceEnd;
      } else if (s.drawText) {
        run.text = piece;
      }
      out.push_back(std::move(run));
    }
    if (pieceEnd == shown.size()) break;
    pen = Advance(font, s, pen + Width(font, s, piece), '\t');
    pieceStart = pieceEnd + 1;
  }
  if (out.size() == firstRun) {
    out.push_back(TextLine{x, y, {}, 0, 0});
  } else if (firstEnd != kNone && s.drawText) {
    // The opening piece keeps the line's own string rather than a copy.
    shown.resize(firstEnd);
    out[firstRun].text = std::move(shown);
  }
  return width;
}

TextLayout LayoutSingleLine(const TextMeasure& font, const Settings& s, std::string_view text,
                            const TRect& rc) {
  TextLayout layout;
  LONG y = rc.Top;
  if (s.Has(DT_VCENTER)) {
    y = rc.Top + (rc.Height() - s.lineHeight) / 2;
  } else if (s.Has(DT_BOTTOM)) {
    y = rc.Bottom - s.lineHeight;
  }
  std::string shown;
  int underlined = AppendShown(text, 0, text.size(), s, shown);
  ApplyEllipses(font, s, {true, false}, shown, underlined);
  const LONG width = EmitLine(font, s, rc, y, std::move(shown), underlined, layout.lines);
  const LONG bottom = y + s.lineHeight - rc.Top;
  layout.extent = {rc.Left, rc.Top, rc.Left + width, rc.Top + bottom};
  // A zero return would read as failure, so DrawText reports 1 instead.
  layout.height = bottom == 0 && s.Has(DT_VCENTER | DT_BOTTOM) ? 1 : bottom;
  return layout;
}

TextLayout LayoutLines(const TextMeasure& font, const Settings& s, std::string_view text, const TRect& rc) {
  TextLayout layout;
  const bool clipping = !s.Has(DT_NOCLIP);
  // With DT_EDITCONTROL only lines that are wholly visible are shown.
  const LONG lastReach = s.Has(DT_EDITCONTROL) ? 2 * s.lineHeight - 1 : s.lineHeight;
  LONG y = rc.Top;
  LONG widest = 0;
  std::size_t pos = 0;
  while (true) {
    std::size_t paragraphEnd = text.find_first_of("\r\n", pos);
    if (paragraphEnd == kNone) paragraphEnd = text.size();
    Wrap wrap{paragraphEnd, paragraphEnd};
    if (s.Has(DT_WORDBREAK)) wrap = WrapLine(font, s, text, pos, paragraphEnd);
    const std::size_t next = wrap.next == paragraphEnd ? SkipLineBreak(text, paragraphEnd) : wrap.next;

    const bool moreText = next < text.size();
    const bool lastShown = clipping && y + lastReach > rc.Bottom && moreText;
    std::string shown;
    int underlined = AppendShown(text, pos, wrap.lineEnd, s, shown);
    ApplyEllipses(font, s, {!moreText, lastShown}, shown, underlined);
    widest = std::max(widest, EmitLine(font, s, rc, y, std::move(shown), underlined, layout.lines));
    y += s.lineHeight;
    pos = next;
    if (!moreText || lastShown) break;
  }
  layout.extent = {rc.Left, rc.Top, rc.Left + widest, y};
  layout.height = y - rc.Top;
  return layout;
}

}  // namespace

TextLayout LayoutText(const TextMeasure& font, std::string_view text, const TRect& rc, UINT format) {
  const Settings s = MakeSettings(font, rc, format);
  if (text.empty()) {
    // Classic DrawText measures an empty string as one line high but, unless
    // it is a single line, calculates an empty rectangle.
    TextLayout layout;
    layout.extent = {rc.Left, rc.Top, rc.Left, rc.Top + (s.singleLine ? s.lineHeight : 0)};
    layout.height = s.lineHeight;
    return layout;
  }
  return s.singleLine ? LayoutSingleLine(font, s, text, rc) : LayoutLines(font, s, text, rc);
}

}  // namespace gdi
