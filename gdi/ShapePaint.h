// Painting the pixels of a shape with a colour through the context's binary
// raster operation.
#pragma once

#include <cstdint>

#include "gdi/BrushFill.h"
#include "gdi/DcAccess.h"

namespace gdi::detail {

// A binary operation (pen or brush with destination) as the ternary truth
// table that ignores the source.
std::uint8_t Rop2Table(int rop2);

// Paints the run [x0, x1) of row y, device coordinates, clipped to `area`.
void Span(const Target& t, const TRect& area, LONG y, LONG x0, LONG x1, std::uint32_t pixel,
          std::uint8_t table);

// Fills `box` with the brush, a dithered one pixel by pixel.
void FillBox(const Target& t, const TRect& area, const TRect& box, const BrushFill& fill, std::uint8_t table);

}  // namespace gdi::detail
