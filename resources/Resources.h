// The program's resources, compiled in: the main window's description.
#pragma once

// Registers the main window's description (form resource TORBISCOPE).
void RegisterResources();
