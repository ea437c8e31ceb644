#include "platform/ProgramName.h"

#include <cerrno>

namespace platform {

std::string ProgramName() { return program_invocation_short_name; }

}  // namespace platform
