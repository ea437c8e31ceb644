#include "toolkit/ModuleResources.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "gdi/Font.h"
#include "toolkit/Forms.h"
#include "toolkit/IconDecoder.h"

namespace toolkit {

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Table {
  std::mutex lock;
  std::map<int, Bytes> cursors;
  std::map<int, Bytes> icons;
  std::map<int, std::string> strings;
};

Table& Resources() {
  static Table table;
  return table;
}

void Store(std::map<int, Bytes>& map, int id, const std::uint8_t* data, std::size_t size) {
  Bytes bytes;
  if (data && size) bytes.assign(data, data + size);
  map[id] = std::move(bytes);
}

// A copy, so that decoding runs outside the lock and a replaced resource
// cannot change under it.
bool Find(const std::map<int, Bytes>& map, int id, Bytes& bytes) {
  const auto it = map.find(id);
  if (it == map.end()) return false;
  bytes = it->second;
  return true;
}

constexpr int kPreferredSide = 32;

}  // namespace

void RegisterFontResource(const std::string& fileName, const std::uint8_t* data, std::size_t size) {
  gdi::RegisterCarriedFont(fileName, data, size);
}

void RegisterCursorResource(int id, const std::uint8_t* data, std::size_t size) {
  Table& t = Resources();
  const std::lock_guard guard(t.lock);
  Store(t.cursors, id, data, size);
}

void UnregisterCursorResource(int id) {
  Table& t = Resources();
  const std::lock_guard guard(t.lock);
  t.cursors.erase(id);
}

void RegisterIconResource(int id, const std::uint8_t* data, std::size_t size) {
  Table& t = Resources();
  const std::lock_guard guard(t.lock);
  Store(t.icons, id, data, size);
}

void UnregisterIconResource(int id) {
  Table& t = Resources();
  const std::lock_guard guard(t.lock);
  t.icons.erase(id);
}

void RegisterStringResource(int id, std::string text) {
  Table& t = Resources();
  const std::lock_guard guard(t.lock);
  t.strings[id] = std::move(text);
}

void UnregisterStringResource(int id) {
  Table& t = Resources();
  const std::lock_guard guard(t.lock);
  t.strings.erase(id);
}

bool DecodeCursor(const std::uint8_t* data, std::size_t size, platform::CursorImage& image) {
  std::vector<iconfile::DirectoryEntry> entries;
  if (!iconfile::ReadDirectory(data, size, iconfile::kCursorType, entries)) return false;
  const iconfile::DirectoryEntry* chosen = nullptr;
  for (const iconfile::DirectoryEntry& entry : entries) {
    if (iconfile::IsPngEntry(entry)) continue;
    if (!chosen) chosen = &entry;
    if (entry.width == kPreferredSide && entry.height == kPreferredSide) {
      chosen = &entry;
      break;
    }
  }
  if (!chosen) return false;
  platform::IconImage picture;
  if (!iconfile::DecodeBmpEntry(chosen->data, chosen->size, picture)) return false;

  image.width = picture.width;
  image.height = picture.height;
  // A hot spot off the picture is pulled onto its edge: backends refuse
  // cursors whose hot spot lies outside.
  image.hotX = std::min<int>(chosen->planesOrHotX, picture.width - 1);
  image.hotY = std::min<int>(chosen->bitsOrHotY, picture.height - 1);
  image.argb = std::move(picture.argb);
  return true;
}

bool LoadCursorResource(int id, platform::CursorImage& image) {
  Bytes bytes;
  {
    Table& t = Resources();
    const std::lock_guard guard(t.lock);
    if (!Find(t.cursors, id, bytes)) return false;
  }
  platform::CursorImage decoded;
  if (!DecodeCursor(bytes.data(), bytes.size(), decoded)) return false;
  image = std::move(decoded);
  return true;
}

std::unique_ptr<TIcon> LoadIconResource(int id) {
  Bytes bytes;
  {
    Table& t = Resources();
    const std::lock_guard guard(t.lock);
    if (!Find(t.icons, id, bytes)) return nullptr;
  }
  auto icon = std::make_unique<TIcon>();
  try {
    icon->LoadFromBytes(bytes.data(), bytes.size());
  } catch (const EInvalidGraphic&) {
    return nullptr;
  }
  return icon;
}

std::string LoadStringResource(int id) {
  Table& t = Resources();
  const std::lock_guard guard(t.lock);
  const auto it = t.strings.find(id);
  return it == t.strings.end() ? std::string() : it->second;
}

}  // namespace toolkit
