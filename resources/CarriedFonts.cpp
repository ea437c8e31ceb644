#include <cstddef>
#include <cstdint>

#include "resources/Fonts.h"
#include "toolkit/ModuleResources.h"

extern const std::uint8_t kFont_sserife[];
extern const std::size_t kFont_sserife_size;
extern const std::uint8_t kFont_tahoma[];
extern const std::size_t kFont_tahoma_size;
extern const std::uint8_t kFont_tahomabd[];
extern const std::size_t kFont_tahomabd_size;

void RegisterFonts() {
  toolkit::RegisterFontResource("sserife.fon", kFont_sserife, kFont_sserife_size);
  toolkit::RegisterFontResource("tahoma.ttf", kFont_tahoma, kFont_tahoma_size);
  toolkit::RegisterFontResource("tahomabd.ttf", kFont_tahomabd, kFont_tahomabd_size);
}
