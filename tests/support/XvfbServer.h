// A private X server for tests that open real windows: Xvfb on a display
// it picks itself, with DISPLAY pointing at it while it runs.
#pragma once

#include <sys/types.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Whether an executable of that name is on the PATH.
bool OnPath(const std::string& name);

// Why X tests cannot run here ("" when they can), and whether that is a
// skip rather than a failure: where the tools are meant to be installed
// (CI), their absence fails.
struct XvfbProblem {
  std::string what;
  bool skip = false;
};

// Variables of the environment as they were made, put back when it goes.
class SavedEnvironment {
 public:
  explicit SavedEnvironment(std::initializer_list<const char*> names);
  ~SavedEnvironment();
  SavedEnvironment(const SavedEnvironment&) = delete;
  SavedEnvironment& operator=(const SavedEnvironment&) = delete;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class XvfbServer {
 public:
  XvfbServer() = default;
  ~XvfbServer() { Stop(); }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // Starts the server with one screen of that size, checking first that
  // `tools` are installed, and points DISPLAY at it (WAYLAND_DISPLAY and
  // SDL_VIDEODRIVER unset). What stands in the way, if anything.
  XvfbProblem Start(int width, int height, std::initializer_list<const char*> tools = {});
  // Stops the server, waits for it and puts the environment back.
  void Stop();

  const std::string& Display() const { return display_; }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
  std::unique_ptr<SavedEnvironment> environment_;
};

}  // namespace testsupport
