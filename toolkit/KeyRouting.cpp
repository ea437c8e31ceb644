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
// Text:   each character ("?" for one Windows-1252 lacks, so every
//         character typed is one key-press) is first offered as an
//         accelerator when the focused control takes no characters
//         (DLGC_WANTCHARS), then goes as a key-press: preview, then the
//         control (Key = 0 stops it).
//         Nothing is typed while Alt is held without Ctrl.
// Key-up: preview, then the control (Key = 0 stops it).
#include <string>

#include "base/Cp1252.h"
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

// UTF-8 text without its control characters: Text should carry none, and
// one that slipped through would act as a key it is not. Each is a byte of
// its own (below 0x20, Delete 0x7F) or, from U+0080 to U+009F, 0xC2 and a
// byte 0x80-0x9F.
std::string WithoutControls(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F) continue;
    if (b == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80) {
      ++i;
      continue;
    }
    out.push_back(text[i]);
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
  // Escape cancels a drag and goes no further.
  if (dragSource_ && key == VK_ESCAPE) {
    EndDragOf(dragSource_, false);
    suppressText_ = true;
    return;
  }

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
    if ((shift & ssAlt) && !(shift & ssCtrl) && letterOrDigit && DialogChar(static_cast<char>(key), shift)) {
      suppressText_ = true;
      return;
    }
    if (const unsigned want = WantMask(key)) {
      if (!(ControlAccess::DlgCode(KeyTarget()) & want) && Perform(CM_DIALOGKEY, key, data) != 0) return;
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
  for (const char c : base::Utf8ToCp1252(WithoutControls(event.text))) SendChar(c, keyShift_, true);
}

void TForm::SendChar(char c, TShiftState shift, bool offerAsAccelerator) {
  if (offerAsAccelerator && !(ControlAccess::DlgCode(KeyTarget()) & DLGC_WANTCHARS) && DialogChar(c, shift))
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
