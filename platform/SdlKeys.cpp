#include "platform/SdlKeys.h"

#include <SDL_keyboard.h>

namespace platform {
namespace {

unsigned LayoutKey(int keycode) {
  if (keycode >= 'a' && keycode <= 'z') return static_cast<unsigned>(keycode - 'a' + 'A');
  if (keycode >= '0' && keycode <= '9') return static_cast<unsigned>(keycode);
  switch (keycode) {
    case ';': return 0xBA;   // VK_OEM_1
    case '=': return 0xBB;   // VK_OEM_PLUS
    case ',': return 0xBC;   // VK_OEM_COMMA
    case '-': return 0xBD;   // VK_OEM_MINUS
    case '.': return 0xBE;   // VK_OEM_PERIOD
    case '/': return 0xBF;   // VK_OEM_2
    case '`': return 0xC0;   // VK_OEM_3
    case '[': return 0xDB;   // VK_OEM_4
    case '\\': return 0xDC;  // VK_OEM_5
    case ']': return 0xDD;   // VK_OEM_6
    case '\'': return 0xDE;  // VK_OEM_7
    default: return 0;
  }
}

unsigned NumpadKey(int scancode, bool numLock) {
  if (numLock) {
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
      return 0x61 + static_cast<unsigned>(scancode - SDL_SCANCODE_KP_1);
    if (scancode == SDL_SCANCODE_KP_0) return 0x60;
    if (scancode == SDL_SCANCODE_KP_PERIOD) return 0x6E;  // VK_DECIMAL
    return 0;
  }
  switch (scancode) {
    case SDL_SCANCODE_KP_0: return 0x2D;       // VK_INSERT
    case SDL_SCANCODE_KP_1: return 0x23;       // VK_END
    case SDL_SCANCODE_KP_2: return 0x28;       // VK_DOWN
    case SDL_SCANCODE_KP_3: return 0x22;       // VK_NEXT
    case SDL_SCANCODE_KP_4: return 0x25;       // VK_LEFT
    case SDL_SCANCODE_KP_5: return 0x0C;       // VK_CLEAR
    case SDL_SCANCODE_KP_6: return 0x27;       // VK_RIGHT
    case SDL_SCANCODE_KP_7: return 0x24;       // VK_HOME
    case SDL_SCANCODE_KP_8: return 0x26;       // VK_UP
    case SDL_SCANCODE_KP_9: return 0x21;       // VK_PRIOR
    case SDL_SCANCODE_KP_PERIOD: return 0x2E;  // VK_DELETE
    default: return 0;
  }
}

}  // namespace

unsigned VirtualKeyFromSdl(int scancode, int keycode, bool numLock) {
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    return 0x70 + static_cast<unsigned>(scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
    return 0x7C + static_cast<unsigned>(scancode - SDL_SCANCODE_F13);
  if (unsigned vk = NumpadKey(scancode, numLock)) return vk;

  switch (scancode) {
    case SDL_SCANCODE_BACKSPACE: return 0x08;
    case SDL_SCANCODE_TAB: return 0x09;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER: return 0x0D;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return 0x10;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return 0x11;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return 0x12;
    case SDL_SCANCODE_PAUSE: return 0x13;
    case SDL_SCANCODE_CAPSLOCK: return 0x14;
    case SDL_SCANCODE_ESCAPE: return 0x1B;
    case SDL_SCANCODE_SPACE: return 0x20;
    case SDL_SCANCODE_PAGEUP: return 0x21;
    case SDL_SCANCODE_PAGEDOWN: return 0x22;
    case SDL_SCANCODE_END: return 0x23;
    case SDL_SCANCODE_HOME: return 0x24;
    case SDL_SCANCODE_LEFT: return 0x25;
    case SDL_SCANCODE_UP: return 0x26;
    case SDL_SCANCODE_RIGHT: return 0x27;
    case SDL_SCANCODE_DOWN: return 0x28;
    case SDL_SCANCODE_PRINTSCREEN: return 0x2C;
    case SDL_SCANCODE_INSERT: return 0x2D;
    case SDL_SCANCODE_DELETE: return 0x2E;
    case SDL_SCANCODE_LGUI: return 0x5B;
    case SDL_SCANCODE_RGUI: return 0x5C;
    case SDL_SCANCODE_APPLICATION: return 0x5D;
    case SDL_SCANCODE_KP_MULTIPLY: return 0x6A;
    case SDL_SCANCODE_KP_PLUS: return 0x6B;
    case SDL_SCANCODE_KP_MINUS: return 0x6D;
    case SDL_SCANCODE_KP_DIVIDE: return 0x6F;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 0x90;
    case SDL_SCANCODE_SCROLLLOCK: return 0x91;
    case SDL_SCANCODE_NONUSBACKSLASH: return 0xE2;  // VK_OEM_102
    default: break;
  }

  if (unsigned vk = LayoutKey(keycode)) return vk;

  // Layouts whose keys give no Latin letter (Cyrillic, Greek, umlauts ...)
  // still have the key's place on a US keyboard.
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    return 'A' + static_cast<unsigned>(scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    return '1' + static_cast<unsigned>(scancode - SDL_SCANCODE_1);
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_SEMICOLON: return 0xBA;
    case SDL_SCANCODE_EQUALS: return 0xBB;
    case SDL_SCANCODE_COMMA: return 0xBC;
    case SDL_SCANCODE_MINUS: return 0xBD;
    case SDL_SCANCODE_PERIOD: return 0xBE;
    case SDL_SCANCODE_SLASH: return 0xBF;
    case SDL_SCANCODE_GRAVE: return 0xC0;
    case SDL_SCANCODE_LEFTBRACKET: return 0xDB;
    case SDL_SCANCODE_BACKSLASH: return 0xDC;
    case SDL_SCANCODE_RIGHTBRACKET: return 0xDD;
    case SDL_SCANCODE_APOSTROPHE: return 0xDE;
    default: return 0;
  }
}

}  // namespace platform
