// Runs of a shape painted through the binary raster operation.
#include "gdi/ShapePaint.h"

#include <algorithm>
#include <vector>

#include "gdi/PixelFormat.h"
#include "gdi/RasterOps.h"

namespace gdi::detail {

// Binary bit (pen·2 + dest) is ternary bit (pen·4 + source·2 + dest) for
// both source values.
std::uint8_t Rop2Table(int rop2) {
  const unsigned binary = static_cast<unsigned>(rop2 - 1) & 0x0F;
  std::uint8_t table = 0;
  for (unsigned i = 0; i < 8; ++i) {
    const unsigned pen = (i >> 2) & 1, dest = i & 1;
    if ((binary >> (pen * 2 + dest)) & 1) table = static_cast<std::uint8_t>(table | (1u << i));
  }
  return table;
}

void Span(const Target& t, const TRect& area, LONG y, LONG x0, LONG x1, std::uint32_t pixel,
          std::uint8_t table) {
  if (y < area.Top || y >= area.Bottom) return;
  x0 = std::max(x0, area.Left);
  x1 = std::min(x1, area.Right);
  if (x1 <= x0) return;
  DibImage& image = t.bitmap->image;
  std::vector<std::uint32_t> row(static_cast<std::size_t>(x1 - x0));
  if (IsPaletted(image)) {
    // On table indices, as the blits work there.
    ReadIndexRow(image, y, x0, x1 - x0, row.data());
    RopRow(table)(row.data(), nullptr, StoredIndex(image, pixel), row.size());
    for (std::uint32_t& index : row) index &= (1u << image.bitCount) - 1;
    WriteIndexRow(image, y, x0, x1 - x0, row.data());
    return;
  }
  ReadRow(image, y, x0, x1 - x0, row.data());
  RopRow(table)(row.data(), nullptr, pixel, row.size());
  WriteRow(image, y, x0, x1 - x0, row.data());
}

void FillBox(const Target& t, const TRect& area, const TRect& box, const BrushFill& fill,
             std::uint8_t table) {
  for (LONG y = box.Top; y < box.Bottom; ++y) {
    if (!fill.Dithered()) {
      Span(t, area, y, box.Left, box.Right, fill.pixel, table);
      continue;
    }
    for (LONG x = box.Left; x < box.Right; ++x) Span(t, area, y, x, x + 1, fill.At(x, y), table);
  }
}

}  // namespace gdi::detail
