// How the artwork renderers write their files and run: the bytes of a file
// format, a whole file at once, and one command line for all of them.
#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <vector>

#include "base/ByteOrder.h"

namespace artwork {

using Bytes = std::vector<std::uint8_t>;

// Little-endian fields, as the bitmap, icon and cursor formats have them;
// big-endian only where a format says so.
struct Writer {
  Bytes out;
  void U8(unsigned v) { out.push_back(std::uint8_t(v)); }
  void U16(unsigned v) { base::AppendLe16(out, static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) { base::AppendLe32(out, v); }
  void U32BigEndian(std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) U8((v >> shift) & 0xFF);
  }
  void Append(const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }
};

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

// The whole of a renderer's main: `name OUTPUT_DIR` renders everything into
// the folder; 2 for a wrong command line, 1 when drawing or writing fails.
inline int RunRenderer(int argc, char** argv, const char* name,
                       void (*renderAll)(const std::filesystem::path& dir)) {
  if (argc != 2) {
    std::cerr << "usage: " << name << " OUTPUT_DIR\n";
    return 2;
  }
  try {
    renderAll(argv[1]);
  } catch (const std::exception& e) {
    std::cerr << name << ": " << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace artwork
