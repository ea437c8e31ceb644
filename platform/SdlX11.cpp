// What SDL's X11 driver leaves to the program: the choice of driver, the
// window-manager hints SDL has no call for, and the end of the program when
// the display goes away. Xlib's macros (None, Window, Expose) clash with
// names elsewhere, so they stay in this file.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/SdlSystem.h"

namespace platform {

namespace {

// Xlib's own handler ends the process through exit(), whose exit-time
// teardown then destroys the windows through the dead connection and never
// returns. Without the display there is nothing left to do or to tidy.
[[noreturn]] int EndWithTheDisplay(Display* dpy) {
  std::fprintf(stderr, "%s: lost the connection to the X display %s\n", program_invocation_short_name,
               DisplayString(dpy));
  _exit(1);
}

}  // namespace

// Without an X or Wayland display there is nothing to show a window on;
// SDL would otherwise take over a text console through KMS. Wayland only
// when a compositor is announced: libwayland prints errors when it tries
// a default socket that isn't there.
void PickVideoDriver() {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, std::getenv("WAYLAND_DISPLAY") ? "x11,wayland" : "x11");
}

// SDL 2 never sets an I/O error handler of its own, so this one stays. It
// covers every connection of the process: SDL's, and its message boxes'.
// Nothing happens on other video drivers.
void EndOnLostDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0) XSetIOErrorHandler(EndWithTheDisplay);
}

// Makes the window a fixed dialog for the window manager: it may only be moved
// and closed. Window managers read this when the window is mapped, so it has
// to come before SDL_ShowWindow. Nothing happens on other video drivers.
void MarkAsDialog(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* dpy = info.info.x11.display;
  const ::Window xw = info.info.x11.window;

  const Atom type = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False);
  const Atom dialog = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(dpy, xw, type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&dialog), 1);

  enum : unsigned long { kFunctions = 1, kDecorations = 2 };
  enum : unsigned long { kFuncMove = 4, kFuncClose = 32 };
  enum : unsigned long { kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16 };
  // flags, functions, decorations, input mode, status. Format 32 means longs
  // to Xlib. Decorations are listed so the frame keeps its title bar.
  const unsigned long hints[5] = {kFunctions | kDecorations, kFuncMove | kFuncClose,
                                  kDecorBorder | kDecorTitle | kDecorMenu, 0, 0};
  const Atom motif = XInternAtom(dpy, "_MOTIF_WM_HINTS", False);
  XChangeProperty(dpy, xw, motif, motif, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(hints),
                  5);
  XFlush(dpy);
}

}  // namespace platform
