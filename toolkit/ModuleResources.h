// The program's own numbered resources: cursors (.cur bytes), icons (.ico
// bytes) and strings, each kind numbered on its own (a cursor and an icon
// may share a number). The program registers them at start-up
// (resources/Resources.cpp); anything may then load them by number.
// Registering copies the bytes, so the caller's buffer need not outlive the
// call; registering a number again replaces what it had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/WindowBackend.h"

namespace toolkit {

class TIcon;

void RegisterCursorResource(int id, const std::uint8_t* data, std::size_t size);
// A font file the program carries ("tahoma.ttf"), drawn with in place of
// the installed one; the bytes stay alive for the process. Register before
// any text is drawn.
void RegisterFontResource(const std::string& fileName, const std::uint8_t* data, std::size_t size);
void UnregisterCursorResource(int id);
void RegisterIconResource(int id, const std::uint8_t* data, std::size_t size);
void UnregisterIconResource(int id);
void RegisterStringResource(int id, std::string text);
void UnregisterStringResource(int id);

// The cursor's 32 × 32 entry (else its first bitmap entry) with its hot spot,
// transparent where the AND mask says so. False, leaving `image` as it was,
// when there is no such resource or its bytes are not a valid cursor.
bool LoadCursorResource(int id, platform::CursorImage& image);
// Null when there is no such resource or its bytes are not a valid icon.
std::unique_ptr<TIcon> LoadIconResource(int id);
// Empty when there is no such string.
std::string LoadStringResource(int id);

// Decodes the bytes of a .cur file as LoadCursorResource does.
bool DecodeCursor(const std::uint8_t* data, std::size_t size, platform::CursorImage& image);

}  // namespace toolkit
