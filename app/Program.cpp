#include "app/Program.h"

#include <exception>

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
    Application->ShowException(e);
  } catch (const std::exception& e) {
    // The layers below raise standard exceptions (no display, a bad bitmap);
    // their message says more than an empty box would.
    Application->ShowException(Exception(e.what()));
  } catch (...) {
    Application->ShowException(Exception(""));
  }
  return 1;
}
