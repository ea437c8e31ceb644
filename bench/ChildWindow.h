// Starting a program under test and watching the X server for its first
// painted frame: shared by the benchmarks that drive whole programs.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace bench {

using Clock = std::chrono::steady_clock;

// What tells us a window shows its first frame: a pixel of the client area
// that has the colour the program paints there.
struct FirstFrame {
  const char* title;
  int x, y;
  int r, g, b;
};

// Windows come and go between our requests; a failed request only means
// "not this one", never a reason to exit.
inline int IgnoreXError(Display*, XErrorEvent*) { return 0; }

inline Display* OpenDisplayOrDie() {
  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) {
    std::fprintf(stderr, "cannot open the X display\n");
    std::exit(2);
  }
  XSetErrorHandler(&IgnoreXError);
  return dpy;
}

// The child's output would only clutter the figures.
inline pid_t Spawn(const char* path) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
    }
    char* const argv[] = {const_cast<char*>(path), nullptr};
    execv(path, argv);
    _exit(127);
  }
  return pid;
}

// SIGTERM lets SDL post SDL_QUIT, so the program closes its JACK clients
// itself; a child that does not go in time is killed.
inline void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  const auto deadline = Clock::now() + std::chrono::seconds(3);
  while (waitpid(pid, nullptr, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

inline bool Exited(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

// _NET_WM_PID tells a new window from one left by the previous run that the
// server has not destroyed yet. A window without it is taken on its name.
inline bool OwnedBy(Display* dpy, Window w, pid_t pid) {
  static const Atom netWmPid = XInternAtom(dpy, "_NET_WM_PID", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy, w, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) !=
      Success)
    return false;
  bool owned = true;
  if (data != nullptr && format == 32 && count == 1)
    owned = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
  if (data != nullptr) XFree(data);
  return owned;
}

inline bool ShowsFrame(Display* dpy, Window w, const FirstFrame& f) {
  XWindowAttributes attrs;
  if (!XGetWindowAttributes(dpy, w, &attrs) || attrs.map_state != IsViewable) return false;
  if (f.x >= attrs.width || f.y >= attrs.height) return false;
  XImage* image = XGetImage(dpy, w, f.x, f.y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  // Scales a channel to 0..255 whatever its mask.
  const auto channel = [pixel](unsigned long mask) {
    if (mask == 0) return 0;
    unsigned long v = pixel & mask;
    while ((mask & 1) == 0) {
      mask >>= 1;
      v >>= 1;
    }
    return static_cast<int>(v * 255 / mask);
  };
  const int r = channel(image->red_mask), g = channel(image->green_mask), b = channel(image->blue_mask);
  XDestroyImage(image);
  // Loose enough for a 16-bit screen; Xvfb's root weave is black and white.
  const auto near = [](int a, int want) { return std::abs(a - want) <= 12; };
  return near(r, f.r) && near(g, f.g) && near(b, f.b);
}

inline bool IsTheWindow(Display* dpy, Window w, pid_t pid, const FirstFrame& f) {
  char* name = nullptr;
  if (!XFetchName(dpy, w, &name) || name == nullptr) return false;
  const bool same = std::strcmp(name, f.title) == 0;
  XFree(name);
  return same && OwnedBy(dpy, w, pid) && ShowsFrame(dpy, w, f);
}

// One look over the root's children and theirs (a window manager would
// reparent the window one level down).
inline Window FindFrame(Display* dpy, pid_t pid, const FirstFrame& f) {
  Window found = 0;
  const auto scan = [&](Window parent, int depth, auto& self) -> void {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, parent, &root, &up, &children, &n)) return;
    for (unsigned int i = 0; i < n && found == 0; ++i) {
      if (IsTheWindow(dpy, children[i], pid, f))
        found = children[i];
      else if (depth > 0)
        self(children[i], depth - 1, self);
    }
    if (children != nullptr) XFree(children);
  };
  scan(DefaultRootWindow(dpy), 1, scan);
  return found;
}

// Polls until the window shows its first frame; 0 if the child exits or
// nothing shows within `limit`.
inline Window WaitForFrame(Display* dpy, pid_t pid, const FirstFrame& f,
                           std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    if (const Window w = FindFrame(dpy, pid, f)) return w;
    if (Exited(pid)) return 0;
    // Short enough to resolve start-up well, long enough to leave the X
    // server to the program being measured.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return 0;
}

}  // namespace bench
