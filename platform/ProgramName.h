// The name the program was started by.
#pragma once

#include <string>

namespace platform {

// The last part of the command that started the program ("lumivant").
std::string ProgramName();

}  // namespace platform
