// The fonts the program draws with: carried in the program on Windows
// (CarriedFonts.cpp), the installed fonts-wine files on Linux
// (InstalledFonts.cpp).
#pragma once

void RegisterFonts();
