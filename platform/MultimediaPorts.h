// Windows' MIDI outputs through its multimedia API, in terms that do not
// collide with the classic names the rest of platform/ declares itself.
// Results are the multimedia system's own numbers (0 = success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform::multimedia {

unsigned DeviceCount();
// The device's name in UTF-8.
unsigned DeviceName(unsigned device, std::string& name);
// `device` may be 0xFFFFFFFF, the MIDI mapper.
unsigned OpenDevice(unsigned device, std::uint64_t& port);
// Returns once the driver has finished with the bytes, or with an error
// when it does not within a time the message's length allows.
unsigned SendLong(std::uint64_t port, const unsigned char* bytes, std::size_t size);
unsigned CloseDevice(std::uint64_t port);

}  // namespace platform::multimedia
