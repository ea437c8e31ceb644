#include "resources/Resources.h"

#include <cstddef>
#include <cstdint>

#include "resources/Fonts.h"
#include "toolkit/Forms.h"
#include "toolkit/ModuleResources.h"

extern const std::uint8_t kOrbiscopeForm[];
extern const std::size_t kOrbiscopeForm_size;

// The cursors of resources/cursors by number; resources/CMakeLists.txt
// embeds the same range.
// clang-format off
#define LUMIVANT_CURSORS(X) \
  X(2001) X(2002) X(2003) X(2004) X(2005) X(2006) X(2007) X(2008) X(2009) X(2010) X(2011) \
  X(2012) X(2013) X(2014) X(2015) X(2016) X(2017) X(2018) X(2019) X(2020) X(2021) X(2022) \
  X(2023) X(2024) X(2025) X(2026) X(2027) X(2028) X(2029) X(2030) X(2031)
// clang-format on

#define LUMIVANT_DECLARE_CURSOR(id)        \
  extern const std::uint8_t kCursor##id[]; \
  extern const std::size_t kCursor##id##_size;
LUMIVANT_CURSORS(LUMIVANT_DECLARE_CURSOR)
#undef LUMIVANT_DECLARE_CURSOR

void RegisterResources() {
  RegisterFonts();
  toolkit::RegisterFormResource("TOrbiscope", kOrbiscopeForm, kOrbiscopeForm_size);
#define LUMIVANT_REGISTER_CURSOR(id) toolkit::RegisterCursorResource(id, kCursor##id, kCursor##id##_size);
  LUMIVANT_CURSORS(LUMIVANT_REGISTER_CURSOR)
#undef LUMIVANT_REGISTER_CURSOR
}
