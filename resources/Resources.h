// The program's resources, compiled in: the main window's description, the
// numbered cursors and, on Windows, the fonts.
#pragma once

// Registers the main window's description (form resource TORBISCOPE), the
// cursors 2001 ... 2031 (resources/cursors/README.md) and the fonts the
// program carries.
void RegisterResources();
