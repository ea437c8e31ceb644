// Lumivant: makes a Yamaha Tyros or Tyros 2 save a picture of its display.
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "controls/Mmobj.h"
#include "controls/Mmutils.h"
#include "resources/Resources.h"

int main(int argc, char** argv) {
  // With arguments, the command line alone: no window, no display.
  if (argc > 1) return RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  // The library's modules start before any window exists (they need the
  // program's cursors) and stop after the last one is gone.
  RegisterResources();
  controls::MmutilsStartup();
  controls::MmobjStartup();
  const int result = RunProgram();
  controls::MmobjShutdown();
  controls::MmutilsShutdown();
  return result;
}
