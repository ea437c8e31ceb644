// The program's start: the application, the main window, the message loop.
#pragma once

// Runs the program with the application's backend (SDL unless one was set)
// and the window description registered for TOrbiscope. 0 after the window
// was closed; 1 when start-up failed, after the failure was shown.
int RunProgram();
