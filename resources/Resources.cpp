#include "resources/Resources.h"

#include <cstddef>
#include <cstdint>

#include "toolkit/Forms.h"

extern const std::uint8_t kOrbiscopeForm[];
extern const std::size_t kOrbiscopeForm_size;

void RegisterResources() { toolkit::RegisterFormResource("TOrbiscope", kOrbiscopeForm, kOrbiscopeForm_size); }
