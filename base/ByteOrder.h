#pragma once
// Little-endian integers in bytes: every file and stream format the program
// reads or writes (BMP, icons, form streams, bitmap lists) stores them so,
// whatever the byte order of the machine that runs it.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <vector>

namespace base {

namespace detail {

template <class T>
T SwapOnBigEndian(T value) {
  if constexpr (std::endian::native == std::endian::big) {
    T swapped = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      swapped = static_cast<T>((swapped << 8) | (value & 0xFF));
      value = static_cast<T>(value >> 8);
    }
    return swapped;
  } else {
    return value;
  }
}

// Copied, not cast: `p` may be unaligned and of any byte type.
template <class T>
T Load(const void* p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  return SwapOnBigEndian(value);
}

template <class T>
void Store(void* p, T value) {
  value = SwapOnBigEndian(value);
  std::memcpy(p, &value, sizeof value);
}

}  // namespace detail

// The integer the bytes at `p` hold; the caller has checked that they are there.
inline std::uint16_t LoadLe16(const void* p) { return detail::Load<std::uint16_t>(p); }
inline std::uint32_t LoadLe32(const void* p) { return detail::Load<std::uint32_t>(p); }
inline std::int32_t LoadLeInt32(const void* p) { return static_cast<std::int32_t>(LoadLe32(p)); }

inline void StoreLe16(void* p, std::uint16_t value) { detail::Store(p, value); }
inline void StoreLe32(void* p, std::uint32_t value) { detail::Store(p, value); }

// The same at offset `at` of `bytes`; an integer that would run past the end
// throws std::out_of_range instead of reading beyond it.
inline std::uint16_t LoadLe16(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (at > bytes.size() || bytes.size() - at < 2) throw std::out_of_range("16-bit value past the end");
  return LoadLe16(bytes.data() + at);
}

inline std::uint32_t LoadLe32(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (at > bytes.size() || bytes.size() - at < 4) throw std::out_of_range("32-bit value past the end");
  return LoadLe32(bytes.data() + at);
}

inline std::int32_t LoadLeInt32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::int32_t>(LoadLe32(bytes, at));
}

// Appends the value's bytes, lowest first.
inline void AppendLe16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  std::uint8_t bytes[2];
  StoreLe16(bytes, value);
  for (const std::uint8_t b : bytes) out.push_back(b);
}

inline void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t bytes[4];
  StoreLe32(bytes, value);
  for (const std::uint8_t b : bytes) out.push_back(b);
}

}  // namespace base
