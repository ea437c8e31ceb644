#include "tests/support/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

namespace testsupport {

namespace {

std::optional<std::string> GetEnv(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::optional<std::string>(v) : std::nullopt;
}

}  // namespace

SavedEnvironment::SavedEnvironment(std::initializer_list<const char*> names) {
  for (const char* name : names) saved_.emplace_back(name, GetEnv(name));
}

SavedEnvironment::~SavedEnvironment() {
  for (const auto& [name, value] : saved_) {
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
}

bool OnPath(const std::string& name) {
  const std::string dirs = GetEnv("PATH").value_or("/usr/bin:/bin");
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string file = dirs.substr(start, end - start) + "/" + name;
    if (access(file.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// Xvfb picks a free display number itself (-displayfd) and writes it once it
// accepts clients: test processes run in parallel never share a server, as
// they could when each probed for a free number.
XvfbProblem XvfbServer::Start(int width, int height, std::initializer_list<const char*> tools) {
  std::string missing = OnPath("Xvfb") ? "" : " Xvfb";
  for (const char* tool : tools)
    if (!OnPath(tool)) missing += std::string(" ") + tool;
  if (!missing.empty()) {
    const bool ci = GetEnv("CI") == std::optional<std::string>("true");
    return {"not installed:" + missing, !ci};
  }

  int fds[2];
  if (pipe(fds) != 0) return {"no pipe for Xvfb"};
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // no orphaned server if the tests crash
    close(fds[0]);
    const int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, 1);
    dup2(devnull, 2);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
           "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return {"Xvfb did not start"};
  }
  std::string number;
  pollfd wait{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&wait, 1, 15000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (c != '\n' || number.empty()) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return {"Xvfb did not start"};
  }
  pid_ = pid;
  display_ = ":" + number;
  environment_ = std::make_unique<SavedEnvironment>(
      std::initializer_list<const char*>{"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"});
  setenv("DISPLAY", display_.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("SDL_VIDEODRIVER");
  return {};
}

void XvfbServer::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
  environment_.reset();
}

}  // namespace testsupport
