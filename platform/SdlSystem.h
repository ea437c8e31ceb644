// What SDL leaves to each system: SdlX11.cpp on Linux, SdlWin32.cpp on
// Windows.
#pragma once

struct SDL_Window;

namespace platform {

// Sets SDL's video driver hint before the video system starts.
void PickVideoDriver();
// Makes `window` a fixed dialog: it may only be moved and closed. Called
// before the window is shown.
void MarkAsDialog(SDL_Window* window);
// Where a display connection can be lost (X), losing it ends the process at
// once, with status 1 and one line on stderr.
void EndOnLostDisplay();

}  // namespace platform
