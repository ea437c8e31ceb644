#include "app/Program.h"

#include "app/Unit1.h"
#include "toolkit/SysUtils.h"

using namespace toolkit;

int RunProgram() {
  try {
    Application->Initialize();
    Application->SetTitle("Lumivant");
    RegisterClass(TOrbiscope::StaticClass());
    Application->CreateForm(Orbiscope);
    Application->Run();
    return 0;
  } catch (const Exception& e) {
    // The layers below reach here as the framework's exceptions (no display, a
    // missing font, a bad bitmap), each with the message of the layer that failed.
    Application->ShowException(e);
  } catch (...) {
    Application->ShowException(Exception(""));
  }
  return 1;
}
