// The program's resources, compiled in: the main window's description and
// the numbered cursors.
#pragma once

// Registers the main window's description (form resource TORBISCOPE) and
// the cursors 2001 ... 2031 (resources/cursors/README.md).
void RegisterResources();
