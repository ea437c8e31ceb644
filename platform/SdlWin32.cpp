// What SDL's Windows driver leaves to the program: the dialog frame. There
// is no display connection to lose, and only one video driver.
#include <SDL.h>
#include <SDL_syswm.h>
#include <windows.h>

#include "platform/SdlSystem.h"

namespace platform {

void PickVideoDriver() {}

// A fixed dialog has neither minimize nor maximize box, and no system-menu
// entries for them.
void MarkAsDialog(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WINDOWS) return;
  const HWND hwnd = info.info.win.window;
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void EndOnLostDisplay() {}

}  // namespace platform
