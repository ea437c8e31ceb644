#pragma once
// Windows-1252, the 8-bit code page of every text the framework holds and
// draws, and the way text from outside (UTF-8) comes into it.

#include <string>
#include <string_view>

namespace base {

// The Unicode character byte `c` stands for. The five bytes the code page
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control
// character of their own value, so that they come back unchanged.
char32_t Cp1252ToUnicode(unsigned char c);

// UTF-8 text as Windows-1252, one byte per character, as the classic
// conversion to ANSI text makes it: a character the code page lacks becomes
// "?" (no look-alike stands in: "ł" is "?", not "l"). Malformed bytes are
// read as Unicode recommends: each longest stretch that begins a character
// but cannot end it (a stray continuation byte, a lead byte never valid, a
// sequence cut short or broken off, an overlong form, a surrogate, a value
// beyond U+10FFFF) is one replacement character, so one "?"; the byte that
// broke a sequence off starts the next character.
std::string Utf8ToCp1252(std::string_view utf8);

// Windows-1252 text as UTF-8, for what leaves the program (the clipboard).
std::string Cp1252ToUtf8(std::string_view text);

}  // namespace base
