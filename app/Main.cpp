// Lumivant: makes a Yamaha Tyros or Tyros 2 save a picture of its display.
#include "app/Program.h"
#include "resources/Resources.h"

int main() {
  RegisterResources();
  return RunProgram();
}
