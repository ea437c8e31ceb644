#include "resources/Fonts.h"

// The fonts-wine package provides them; nothing to register.
void RegisterFonts() {}
