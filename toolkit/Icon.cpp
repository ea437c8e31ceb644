// TIcon: the images of a .ico file, and the decoding of .ico and .cur
// files shared through IconDecoder.h. Every size and offset a file states is
// checked against the bytes there are before it is used.
#include <cstring>
#include <limits>

#include "base/ByteOrder.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Forms.h"
#include "toolkit/IconDecoder.h"
#include "toolkit/Streaming.h"

namespace toolkit {

namespace iconfile {

namespace {

constexpr int kMaxSide = 1024;

}  // namespace

bool ReadDirectory(const std::uint8_t* data, std::size_t size, std::uint16_t type,
                   std::vector<DirectoryEntry>& entries) {
  entries.clear();
  if (!data || size < 6) return false;
  if (base::LoadLe16(data) != 0 || base::LoadLe16(data + 2) != type) return false;
  const std::size_t count = base::LoadLe16(data + 4);
  if (count == 0 || 6 + 16 * count > size) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = data + 6 + 16 * i;
    const std::size_t bytes = base::LoadLe32(entry + 8);
    const std::size_t offset = base::LoadLe32(entry + 12);
    if (bytes == 0 || offset > size || bytes > size - offset) {
      entries.clear();
      return false;
    }
    DirectoryEntry e;
    e.width = entry[0] ? entry[0] : 256;
    e.height = entry[1] ? entry[1] : 256;
    e.planesOrHotX = static_cast<std::uint16_t>(base::LoadLe16(entry + 4));
    e.bitsOrHotY = static_cast<std::uint16_t>(base::LoadLe16(entry + 6));
    e.data = data + offset;
    e.size = bytes;
    entries.push_back(e);
  }
  return true;
}

bool IsPngEntry(const DirectoryEntry& entry) {
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return entry.size >= 8 && std::memcmp(entry.data, kSignature, 8) == 0;
}

// Header, colour table, colour rows, then the 1-bit AND mask rows, both
// bottom-up.
bool DecodeBmpEntry(const std::uint8_t* p, std::size_t size, platform::IconImage& image) {
  if (!p || size < 40) return false;
  const std::uint32_t headerSize = base::LoadLe32(p);
  const auto width = static_cast<std::int32_t>(base::LoadLe32(p + 4));
  const auto doubleHeight = static_cast<std::int32_t>(base::LoadLe32(p + 8));
  const std::uint32_t bits = base::LoadLe16(p + 14);
  const std::uint32_t compression = base::LoadLe32(p + 16);
  const std::uint32_t colorsUsed = base::LoadLe32(p + 32);
  if (headerSize < 40 || headerSize > size) return false;
  if (width <= 0 || width > kMaxSide || doubleHeight <= 0 || doubleHeight > 2 * kMaxSide ||
      doubleHeight % 2 != 0)
    return false;
  if (compression != 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  const int height = doubleHeight / 2;

  std::size_t colors = 0;
  if (bits <= 8) {
    colors = colorsUsed ? colorsUsed : (std::size_t{1} << bits);
    if (colors > (std::size_t{1} << bits)) return false;
  }
  const std::size_t tableAt = headerSize;
  const std::size_t xorAt = tableAt + colors * 4;
  const std::size_t xorStride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t andStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
  const std::size_t andAt = xorAt + xorStride * static_cast<std::size_t>(height);
  // The mask may be missing in 32-bit entries, which carry their own alpha.
  const bool hasMask = andAt + andStride * static_cast<std::size_t>(height) <= size;
  if (andAt > size || (!hasMask && bits != 32)) return false;

  platform::IconImage out;
  out.width = width;
  out.height = height;
  out.argb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = p + xorAt + xorStride * static_cast<std::size_t>(height - 1 - y);
    std::uint32_t* line = out.argb.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      std::uint32_t argb = 0;
      if (bits == 32 || bits == 24) {
        const std::uint8_t* px = row + static_cast<std::size_t>(x) * (bits / 8);
        argb = (static_cast<std::uint32_t>(px[2]) << 16) | (static_cast<std::uint32_t>(px[1]) << 8) | px[0];
        if (bits == 32) {
          argb |= static_cast<std::uint32_t>(px[3]) << 24;
          anyAlpha = anyAlpha || px[3] != 0;
        }
      } else {
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        const unsigned shift = 8 - bits - static_cast<unsigned>(bit % 8);
        const std::size_t index = (row[bit / 8] >> shift) & ((1u << bits) - 1);
        if (index >= colors) return false;
        const std::uint8_t* q = p + tableAt + index * 4;
        argb = (static_cast<std::uint32_t>(q[2]) << 16) | (static_cast<std::uint32_t>(q[1]) << 8) | q[0];
      }
      line[x] = argb;
    }
  }
  // Without alpha of its own an entry is opaque where the AND mask is 0.
  if (!anyAlpha) {
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* mask =
          hasMask ? p + andAt + andStride * static_cast<std::size_t>(height - 1 - y) : nullptr;
      std::uint32_t* line = out.argb.data() + static_cast<std::size_t>(y) * width;
      for (int x = 0; x < width; ++x) {
        const bool clear = mask && ((mask[x / 8] >> (7 - x % 8)) & 1);
        line[x] = (line[x] & 0xFFFFFF) | (clear ? 0u : 0xFF000000u);
      }
    }
  }
  image = std::move(out);
  return true;
}

}  // namespace iconfile

namespace {

constexpr const char* kInvalidIcon = "Icon image is not valid";

[[noreturn]] void Invalid() { throw EInvalidGraphic(kInvalidIcon); }

std::vector<platform::IconImage> DecodeIco(const std::uint8_t* data, std::size_t size) {
  std::vector<iconfile::DirectoryEntry> entries;
  if (!iconfile::ReadDirectory(data, size, iconfile::kIconType, entries)) Invalid();
  std::vector<platform::IconImage> images;
  for (const iconfile::DirectoryEntry& entry : entries) {
    if (iconfile::IsPngEntry(entry)) continue;  // not decoded: no PNG reader here
    platform::IconImage image;
    if (!iconfile::DecodeBmpEntry(entry.data, entry.size, image)) Invalid();
    images.push_back(std::move(image));
  }
  return images;
}

}  // namespace

const TClassInfo& TIcon::StaticClass() {
  static const TClassInfo info = ClassBuilder<TIcon>("TIcon", &TPersistent::StaticClass()).Build();
  return info;
}

void TIcon::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  std::vector<platform::IconImage> images = DecodeIco(data, size);
  data_.assign(data, data + size);
  images_ = std::move(images);
  OnChange(this);
}

void TIcon::LoadFromStream(TStream& stream) {
  const std::int64_t left = stream.Size() - stream.Position();
  if (left <= 0 || left > std::numeric_limits<std::int32_t>::max()) Invalid();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(left));
  stream.ReadBuffer(bytes.data(), left);
  LoadFromBytes(bytes.data(), bytes.size());
}

void TIcon::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  LoadFromStream(stream);
}

void TIcon::Clear() {
  if (data_.empty() && images_.empty()) return;
  data_.clear();
  images_.clear();
  OnChange(this);
}

void TIcon::Assign(const TPersistent* source) {
  if (!source) {
    Clear();
    return;
  }
  if (const auto* icon = dynamic_cast<const TIcon*>(source)) {
    data_ = icon->data_;
    images_ = icon->images_;
    OnChange(this);
    return;
  }
  TPersistent::Assign(source);
}

void TIcon::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](TStream& stream) { LoadFromStream(stream); },
      [this](TStream& stream) { stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size())); },
      !data_.empty());
}

}  // namespace toolkit
