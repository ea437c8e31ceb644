// SDL key codes to the classic virtual-key codes the framework works with.
#pragma once

namespace platform {

// `scancode` is an SDL_Scancode, `keycode` an SDL_Keycode. Letters, digits and
// punctuation follow the keyboard layout where it yields them and fall back to
// the key's US position otherwise. Numpad keys give VK_NUMPAD0.. with Num Lock
// on and the navigation keys with it off. 0 for keys without a code.
unsigned VirtualKeyFromSdl(int scancode, int keycode, bool numLock);

}  // namespace platform
