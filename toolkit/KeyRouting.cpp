// Keyboard input of a form. The focused control (the form itself when none
// is) receives the keys; with KeyPreview the form sees each first.
//
// A key-down (also each auto-repeat), in this order:
//   1. preview       the form's KeyDown; Key = 0 skips steps 2 to 4
//   2. accelerator   Alt+letter or Alt+digit is offered as CM_DIALOGCHAR;
//                    taken: nothing more, not even the text it types
//   3. dialog key    Tab, arrows, Enter, Escape that the focused control
//                    does not want (GetDlgCode) go to the form as
//                    CM_DIALOGKEY: Tab moves the focus, arrows move among
//                    radio buttons, a push button may take Enter; taken:
//                    nothing more (so Tab types no character)
//   4. control       the focused control's KeyDown
//   5. character     Backspace 8, Enter 13, Escape 27, Ctrl+A..Z 1..26 as a
//                    key-press (made here: the backend sends only printable
//                    text). As on the classic desktop, a key-down stopped by
//                    a handler still types its character.
// Text:   each character is first offered as an accelerator when the
//         focused control takes no characters (DLGC_WANTCHARS), then goes
//         as a key-press: preview, then the control (Key = 0 stops it).
//         Nothing is typed while Alt is held without Ctrl.
// Key-up: preview, then the control (Key = 0 stops it).
#include <string>

#include "toolkit/ControlAccess.h"
#include "toolkit/Forms.h"

namespace toolkit {

namespace {
constexpr TShiftState kModifiers = ssShift | ssAlt | ssCtrl;

bool IsArrow(WORD key) { return key >= VK_LEFT && key <= VK_DOWN; }

// The GetDlgCode bit that keeps a dialog key with the focused control.
unsigned WantMask(WORD key) {
  if (key == VK_TAB) return DLGC_WANTTAB;
  if (IsArrow(key)) return DLGC_WANTARROWS;
  if (key == VK_RETURN || key == VK_ESCAPE) return DLGC_WANTALLKEYS;
  return 0;
}

char CharFromKey(WORD key, TShiftState shift) {
  if (key == VK_BACK) return 8;
  if (key == VK_RETURN) return 13;
  if (key == VK_ESCAPE) return 27;
  if ((shift & ssCtrl) && !(shift & ssAlt) && key >= 'A' && key <= 'Z')
    return static_cast<char>(key - 'A' + 1);
  return 0;
}

// Windows-1252 for the code points 0x80 to 0x9F stand for.
int Cp1252FromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  static constexpr char32_t kHigh[32] = {
      0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

// The printable characters of UTF-8 text that Windows-1252 has.
std::string ToCp1252(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) {
      ++i;  // a stray byte: skipped
      continue;
    }
    char32_t cp = length == 1 ? b : (b & (0x7F >> length));
    bool valid = true;
    for (int k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      valid = valid && (c >> 6) == 2;
      cp = (cp << 6) | (c & 0x3F);
    }
    i += valid ? static_cast<std::size_t>(length) : 1;
    if (!valid || cp < 0x20 || cp == 0x7F) continue;
    const int c = Cp1252FromCodePoint(cp);
    if (c >= 0) out.push_back(static_cast<char>(c));
  }
  return out;
}
}  // namespace

TWinControl* TForm::KeyTarget() { return activeControl_ ? activeControl_ : this; }

bool TForm::DialogChar(char c, TShiftState shift) {
  return Perform(CM_DIALOGCHAR, static_cast<unsigned char>(c), shift) != 0;
}

void TForm::RouteKeyDown(const platform::Event& event) {
  suppressText_ = false;
  const TShiftState shift = event.shift & kModifiers;
  keyShift_ = shift;
  const std::intptr_t data = static_cast<std::intptr_t>(shift) | (event.repeat ? KD_REPEAT : 0);
  const auto pressed = static_cast<WORD>(event.key);
  WORD key = pressed;

  bool stopped = false;
  if (keyPreview_ && KeyTarget() != this) {
    TMessage m{WM_KEYDOWN, key, data, 0};
    WndProc(m);
    key = static_cast<WORD>(m.WParam);
    stopped = key == 0;
  }
  if (!stopped) {
    // Letter and digit keys have their character's code; numpad keys do not.
    const bool letterOrDigit = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    if ((shift & ssAlt) && !(shift & ssCtrl) && letterOrDigit &&
        DialogChar(static_cast<char>(key), shift)) {
      suppressText_ = true;
      return;
    }
    if (const unsigned want = WantMask(key)) {
      if (!(ControlAccess::DlgCode(KeyTarget()) & want) && Perform(CM_DIALOGKEY, key, data) != 0)
        return;
    }
    TMessage m{WM_KEYDOWN, key, data, 0};
    KeyTarget()->WndProc(m);
  }
  if (const char c = CharFromKey(pressed, shift)) SendChar(c, shift, false);
}

void TForm::RouteKeyUp(const platform::Event& event) {
  const TShiftState shift = event.shift & kModifiers;
  keyShift_ = shift;
  WORD key = static_cast<WORD>(event.key);
  if (keyPreview_ && KeyTarget() != this) {
    TMessage m{WM_KEYUP, key, static_cast<std::intptr_t>(shift), 0};
    WndProc(m);
    key = static_cast<WORD>(m.WParam);
    if (key == 0) return;
  }
  TMessage m{WM_KEYUP, key, static_cast<std::intptr_t>(shift), 0};
  KeyTarget()->WndProc(m);
}

void TForm::RouteText(const platform::Event& event) {
  if (suppressText_) {
    suppressText_ = false;
    return;
  }
  // Alt with a letter is an accelerator, never typing.
  if ((keyShift_ & ssAlt) && !(keyShift_ & ssCtrl)) return;
  for (const char c : ToCp1252(event.text)) SendChar(c, keyShift_, true);
}

void TForm::SendChar(char c, TShiftState shift, bool offerAsAccelerator) {
  if (offerAsAccelerator && !(ControlAccess::DlgCode(KeyTarget()) & DLGC_WANTCHARS) &&
      DialogChar(c, shift))
    return;
  auto code = static_cast<std::intptr_t>(static_cast<unsigned char>(c));
  if (keyPreview_ && KeyTarget() != this) {
    TMessage m{WM_CHAR, code, static_cast<std::intptr_t>(shift), 0};
    WndProc(m);
    code = m.WParam & 0xFF;
    if (code == 0) return;
  }
  TMessage m{WM_CHAR, code, static_cast<std::intptr_t>(shift), 0};
  KeyTarget()->WndProc(m);
}

void TForm::DispatchEvent(const platform::Event& event) {
  using Type = platform::Event::Type;
  switch (event.type) {
    case Type::MouseDown:
    case Type::MouseUp:
    case Type::MouseMove:
    case Type::MouseLeave: RouteMouse(event); break;
    case Type::KeyDown: RouteKeyDown(event); break;
    case Type::KeyUp: RouteKeyUp(event); break;
    case Type::Text: RouteText(event); break;
    case Type::Close: Close(); break;
    case Type::Expose: Invalidate(); break;
  }
}

}  // namespace toolkit
