#include "gdi/ObjectTable.h"

#include <array>
#include <map>

namespace gdi::detail {
namespace {

// Handle layout: generation (bits 32..), kind (bits 24..31), index + 1 (bits 0..23).
constexpr unsigned kIndexBits = 24;
constexpr std::uintptr_t kIndexMask = (std::uintptr_t{1} << kIndexBits) - 1;

struct Slot {
  std::uint32_t generation = 1;
  bool stock = false;
  std::optional<Object> object;
};

// The stock objects there are, by their classic numbers.
constexpr std::array kStockIndexes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 13, 17, 100};

constexpr int StockPosition(int index) {
  for (std::size_t i = 0; i < kStockIndexes.size(); ++i)
    if (kStockIndexes[i] == index) return static_cast<int>(i);
  return -1;
}

// Every call looks handles up, often several: slots sit in fixed blocks, so
// a lookup is two loads and growing never moves an object.
constexpr unsigned kBlockBits = 8;
constexpr std::size_t kBlockSlots = std::size_t{1} << kBlockBits;

struct Table {
  std::mutex mutex;
  std::vector<std::unique_ptr<Slot[]>> blocks;
  std::size_t slotCount = 0;
  std::vector<std::size_t> free;
  std::size_t live = 0;
  std::array<HGDIOBJ, kStockIndexes.size()> stock{};
  std::map<HWND, WindowSurface> windows;

  Slot& At(std::size_t index) { return blocks[index >> kBlockBits][index & (kBlockSlots - 1)]; }
};

inline Table& TheTable() {
  static Table* table = new Table;  // lives until exit: handles may be used at shutdown
  return *table;
}

Kind KindOf(const Object& object) { return static_cast<Kind>(object.index()); }

HGDIOBJ MakeHandle(std::size_t index, std::uint32_t generation, Kind kind) {
  return (static_cast<std::uintptr_t>(generation) << 32) | (static_cast<std::uintptr_t>(kind) << kIndexBits) |
         (index + 1);
}

Slot* SlotOf(HGDIOBJ handle) {
  if (handle == 0) return nullptr;
  Table& table = TheTable();
  const std::size_t index = (handle & kIndexMask);
  if (index == 0 || index > table.slotCount) return nullptr;
  Slot& slot = table.At(index - 1);
  if (!slot.object || (handle >> 32) != slot.generation ||
      ((handle >> kIndexBits) & 0xFF) != static_cast<unsigned>(KindOf(*slot.object)))
    return nullptr;
  return &slot;
}

Object MakeStock(int index) {
  switch (index) {
    case 0: return BrushObject{RGB(255, 255, 255), false};
    case 1: return BrushObject{RGB(192, 192, 192), false};
    case 2: return BrushObject{RGB(128, 128, 128), false};
    case 3: return BrushObject{RGB(64, 64, 64), false};
    case 4: return BrushObject{RGB(0, 0, 0), false};
    case 5: return BrushObject{0, true};
    case 6: return PenObject{0, 1, RGB(255, 255, 255)};
    case 7: return PenObject{0, 1, RGB(0, 0, 0)};
    case 8: return PenObject{5, 1, 0};
    case 13: {
      FontObject font;
      font.logFont.lfWeight = 700;
      return font;
    }
    case 17: return FontObject{};
    default: {
      BitmapObject bitmap;
      bitmap.image.width = bitmap.image.height = 1;
      bitmap.image.bitCount = 1;
      bitmap.image.palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
      bitmap.image.bits.assign(4, 0);
      return bitmap;
    }
  }
}

}  // namespace

std::unique_lock<std::mutex> LockTable() { return std::unique_lock(TheTable().mutex); }

HGDIOBJ Insert(Object object, bool stock) {
  Table& table = TheTable();
  std::size_t index;
  if (!table.free.empty()) {
    index = table.free.back();
    table.free.pop_back();
  } else {
    if (table.slotCount >= kIndexMask) return 0;
    index = table.slotCount;
    if ((index >> kBlockBits) == table.blocks.size())
      table.blocks.push_back(std::make_unique<Slot[]>(kBlockSlots));
    ++table.slotCount;
  }
  Slot& slot = table.At(index);
  const Kind kind = KindOf(object);
  slot.object = std::move(object);
  slot.stock = stock;
  if (!stock) ++table.live;
  return MakeHandle(index, slot.generation, kind);
}

Object* Find(HGDIOBJ handle) {
  Slot* slot = SlotOf(handle);
  return slot ? &*slot->object : nullptr;
}

bool IsStock(HGDIOBJ handle) {
  Slot* slot = SlotOf(handle);
  return slot && slot->stock;
}

void Erase(HGDIOBJ handle) {
  Slot* slot = SlotOf(handle);
  if (!slot || slot->stock) return;
  Table& table = TheTable();
  slot->object.reset();
  ++slot->generation;
  --table.live;
  table.free.push_back((handle & kIndexMask) - 1);
}

std::size_t LiveCount() { return TheTable().live; }

HGDIOBJ Stock(int index) {
  const int position = StockPosition(index);
  if (position < 0) return 0;
  HGDIOBJ& handle = TheTable().stock[static_cast<std::size_t>(position)];
  if (!handle) handle = Insert(MakeStock(index), true);
  return handle;
}

BitmapObject* DcBitmap(const DcObject& dc) { return FindAs<BitmapObject>(dc.bitmap); }

const BrushObject& DcBrush(const DcObject& dc) {
  if (auto* brush = FindAs<BrushObject>(dc.state.brush)) return *brush;
  return *FindAs<BrushObject>(Stock(0));
}

const PenObject& DcPen(const DcObject& dc) {
  if (auto* pen = FindAs<PenObject>(dc.state.pen)) return *pen;
  return *FindAs<PenObject>(Stock(7));
}

const FontObject& DcFont(const DcObject& dc) {
  if (auto* font = FindAs<FontObject>(dc.state.font)) return *font;
  return *FindAs<FontObject>(Stock(17));
}

std::optional<WindowSurface> FindWindowSurface(HWND window) {
  auto& windows = TheTable().windows;
  auto it = windows.find(window);
  if (it == windows.end()) return std::nullopt;
  return it->second;
}

void SetWindowSurface(HWND window, std::optional<WindowSurface> surface) {
  auto& windows = TheTable().windows;
  if (surface)
    windows[window] = *surface;
  else
    windows.erase(window);
}

}  // namespace gdi::detail
