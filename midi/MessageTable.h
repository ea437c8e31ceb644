// The screenshot command's System Exclusive messages: one constant table of
// 50 bytes, and the two sequences that read it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace midi {

// In table order: Tyros 1 and 2, then Tyros 2's XG System On, 2 and 3.
inline constexpr std::array<std::uint8_t, 50> kMessageTable = {
    0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x00, 0x00, 0xF7,        // Tyros 1
    0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x01, 0x00, 0xF7,        // Tyros 2
    0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7,              // Tyros 2: XG System On
    0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x00, 0x00, 0xF7,        // Tyros 2: 2
    0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x02, 0x01, 0x03, 0xF7,  // Tyros 2: 3
};

// A message: where it starts in the table and how long it is.
struct Message {
  std::size_t offset;
  std::size_t length;
  std::span<const std::uint8_t> Bytes() const {
    return std::span<const std::uint8_t>(kMessageTable).subspan(offset, length);
  }
};

// Selectors of the two instrument models.
inline constexpr int kTyros = 1;   // screenshot to floppy
inline constexpr int kTyros2 = 2;  // screenshot to USB or card

inline constexpr std::array<Message, 2> kTyrosSequence{{{0, 10}, {10, 10}}};
inline constexpr std::array<Message, 3> kTyros2Sequence{{{20, 9}, {29, 10}, {39, 11}}};

// The messages of `selector` in sending order: Tyros for 1, Tyros 2 for
// anything else.
constexpr std::span<const Message> Sequence(int selector) {
  if (selector == kTyros) return kTyrosSequence;
  return kTyros2Sequence;
}

}  // namespace midi
