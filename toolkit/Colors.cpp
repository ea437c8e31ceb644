#include "toolkit/Colors.h"

#include <array>
#include <cstdlib>

#include "toolkit/SysUtils.h"
#include "toolkit/TypInfo.h"

namespace toolkit {
namespace {

// The classic "standard" scheme, the same on every machine, so that what a
// test reads off a surface does not depend on the desktop's theme.
constexpr std::array<gdi::COLORREF, 31> kScheme = {
    gdi::RGB(0xD4, 0xD0, 0xC8),  //  0 scroll bar
    gdi::RGB(0x3A, 0x6E, 0xA5),  //  1 desktop
    gdi::RGB(0x0A, 0x24, 0x6A),  //  2 active caption
    gdi::RGB(0x80, 0x80, 0x80),  //  3 inactive caption
    gdi::RGB(0xD4, 0xD0, 0xC8),  //  4 menu
    gdi::RGB(0xFF, 0xFF, 0xFF),  //  5 window
    gdi::RGB(0x00, 0x00, 0x00),  //  6 window frame
    gdi::RGB(0x00, 0x00, 0x00),  //  7 menu text
    gdi::RGB(0x00, 0x00, 0x00),  //  8 window text
    gdi::RGB(0xFF, 0xFF, 0xFF),  //  9 caption text
    gdi::RGB(0xD4, 0xD0, 0xC8),  // 10 active border
    gdi::RGB(0xD4, 0xD0, 0xC8),  // 11 inactive border
    gdi::RGB(0x80, 0x80, 0x80),  // 12 application workspace
    gdi::RGB(0x0A, 0x24, 0x6A),  // 13 highlight
    gdi::RGB(0xFF, 0xFF, 0xFF),  // 14 highlight text
    gdi::RGB(0xD4, 0xD0, 0xC8),  // 15 button face
    gdi::RGB(0x80, 0x80, 0x80),  // 16 button shadow
    gdi::RGB(0x80, 0x80, 0x80),  // 17 grey text
    gdi::RGB(0x00, 0x00, 0x00),  // 18 button text
    gdi::RGB(0xD4, 0xD0, 0xC8),  // 19 inactive caption text
    gdi::RGB(0xFF, 0xFF, 0xFF),  // 20 button highlight
    gdi::RGB(0x40, 0x40, 0x40),  // 21 3-D dark shadow
    gdi::RGB(0xD4, 0xD0, 0xC8),  // 22 3-D light
    gdi::RGB(0x00, 0x00, 0x00),  // 23 info text
    gdi::RGB(0xFF, 0xFF, 0xE1),  // 24 info background
    gdi::RGB(0xB5, 0xB5, 0xB5),  // 25 (unused)
    gdi::RGB(0x00, 0x00, 0x80),  // 26 hot light
    gdi::RGB(0xA6, 0xCA, 0xF0),  // 27 gradient active caption
    gdi::RGB(0xC0, 0xC0, 0xC0),  // 28 gradient inactive caption
    gdi::RGB(0x31, 0x6A, 0xC5),  // 29 menu highlight
    gdi::RGB(0xD4, 0xD0, 0xC8),  // 30 menu bar
};

struct Named {
  TColor color;
  const char* name;
};

constexpr Named kNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

}  // namespace

gdi::COLORREF GetSysColor(int index) {
  return index >= 0 && index < static_cast<int>(kScheme.size()) ? kScheme[static_cast<std::size_t>(index)]
                                                                : 0;
}

gdi::COLORREF ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return static_cast<gdi::COLORREF>(color) & 0xFFFFFF;
}

bool ColorToIdent(TColor color, std::string& ident) {
  for (const Named& n : kNames)
    if (n.color == color) {
      ident = n.name;
      return true;
    }
  return false;
}

bool IdentToColor(const std::string& ident, TColor& color) {
  for (const Named& n : kNames)
    if (SameText(n.name, ident)) {
      color = n.color;
      return true;
    }
  return false;
}

TColor StringToColor(const std::string& text) {
  TColor color;
  if (IdentToColor(text, color)) return color;
  const bool hex = !text.empty() && text[0] == '$';
  const char* digits = text.c_str() + (hex ? 1 : 0);
  char* end = nullptr;
  const long long value = std::strtoll(digits, &end, hex ? 16 : 10);
  if (*digits == '\0' || *end != '\0' || value < INT32_MIN || value > 0xFFFFFFFFLL)
    throw EConvertError(Format("'%s' is not a valid colour", text.c_str()));
  return static_cast<TColor>(static_cast<std::uint32_t>(value));
}

void RegisterColorIdents() {
  TIdentMap map;
  map.IdentToInt = [](const std::string& ident, std::int64_t& value) {
    TColor color;
    if (!IdentToColor(ident, color)) return false;
    value = color;
    return true;
  };
  map.IntToIdent = [](std::int64_t value, std::string& ident) {
    return ColorToIdent(static_cast<TColor>(value), ident);
  };
  RegisterIntegerConsts("TColor", map);
}

}  // namespace toolkit
