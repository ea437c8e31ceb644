// BitBlt, PatBlt, StretchBlt and the rectangle fills.
//
// Every copy works row by row in the 0x00RRGGBB working form: the source row
// is read (and converted between colour and monochrome), the destination row
// is read, the operation's kernel combines them with the pattern, and the row
// is written back in the destination's format. When both surfaces are plain
// 32-bit the rows are combined in place. When a side is a black-and-white
// 1-bit surface (masks), the work is done on packed bits instead: the
// operation, its pattern and the two values a source bit can stand for are
// folded into one bitwise function first (see FixedOp), so the result is the
// row-by-row one without a pixel passing through the working form.
#include "gdi/Blit.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <vector>

#include "gdi/BrushFill.h"
#include "gdi/DcAccess.h"
#include "gdi/Gdi.h"
#include "gdi/Halftone.h"
#include "gdi/MonoRows.h"
#include "gdi/PixelFormat.h"
#include "gdi/RasterOps.h"
#include "gdi/StretchMap.h"

namespace gdi {
using namespace detail;

namespace {

std::atomic<bool> packedBlits{true};

std::uint8_t TruthTable(DWORD rop) { return static_cast<std::uint8_t>((rop >> 16) & 0xFF); }

// How source pixels become destination pixels before the operation.
struct SourceConversion {
  enum Kind { None, MonoToColour, ColourToMono } kind = None;
  std::uint32_t one = 0, zero = 0;  // MonoToColour: the colours for white and black bits
  std::uint32_t background = 0;     // ColourToMono: the source colour that becomes white

  void Apply(std::uint32_t* row, std::size_t count) const {
    switch (kind) {
      case MonoToColour:
        for (std::size_t i = 0; i < count; ++i) row[i] = row[i] ? one : zero;
        break;
      case ColourToMono:
        for (std::size_t i = 0; i < count; ++i) row[i] = row[i] == background ? kRgbWhite : 0;
        break;
      case None: break;
    }
  }
};

SourceConversion ConversionFor(const Target& dst, const Target& src) {
  SourceConversion c;
  const bool dstMono = dst.bitmap->Monochrome(), srcMono = src.bitmap->Monochrome();
  if (srcMono && !dstMono) {
    c.kind = SourceConversion::MonoToColour;
    c.one = ColorToRgb(dst.dc->state.bkColor);
    c.zero = ColorToRgb(dst.dc->state.textColor);
  } else if (!srcMono && dstMono) {
    c.kind = SourceConversion::ColourToMono;
    c.background = NearestRepresentable(src.bitmap->image, ColorToRgb(src.dc->state.bkColor));
  }
  return c;
}

BrushFill FillFor(const Target& dst) { return BrushFillFor(*dst.bitmap, DcBrush(*dst.dc)); }

// The kernel over `count` pixels of a row starting at surface pixel (x, y).
// Under a dithered brush each pixel takes the result under a black or a
// white pattern, as the dither has it there.
void CombineRow(RopRowFn kernel, const BrushFill& fill, std::uint32_t* row, const std::uint32_t* src,
                std::size_t count, LONG x, LONG y, std::vector<std::uint32_t>& white) {
  if (!fill.Dithered()) {
    kernel(row, src, fill.pixel, count);
    return;
  }
  white.assign(row, row + count);
  kernel(white.data(), src, kRgbWhite, count);
  kernel(row, src, 0, count);
  for (std::size_t i = 0; i < count; ++i)
    if (DitherWhite(fill.grey, x + static_cast<LONG>(i), y)) row[i] = white[i];
}

TRect SurfaceOf(const Target& t) {
  TRect r{0, 0, t.bitmap->image.width, t.bitmap->image.height};
  return t.dc->windowArea ? Intersect(r, *t.dc->windowArea) : r;
}

// ---- packed bits --------------------------------------------------------------

// The operation with its pattern fixed and the source standing for
// `values[s]`, onto a black-and-white destination: each result is stored as
// WriteRow would store it.
FixedOp OntoBits(const DibImage& target, RopRowFn kernel, std::uint32_t pattern,
                 const std::uint32_t (&values)[2]) {
  FixedOp op;
  for (int s = 0; s < 2; ++s) {
    std::uint32_t result[2] = {0, kRgbWhite};
    const std::uint32_t source[2] = {values[s], values[s]};
    kernel(result, source, pattern, 2);
    const unsigned onZero = StoredIndex(target, result[0]), onOne = StoredIndex(target, result[1]);
    op.x[s] = onZero ? ~0u : 0u;
    op.m[s] = onZero != onOne ? ~0u : 0u;
  }
  return op;
}

// The same onto 32-bit pixels: the results on all-clear and all-set
// destination bits give the function for every destination.
FixedOp OntoColour(RopRowFn kernel, std::uint32_t pattern, const std::uint32_t (&values)[2]) {
  FixedOp op;
  for (int s = 0; s < 2; ++s) {
    std::uint32_t result[2] = {0, kRgbWhite};
    const std::uint32_t source[2] = {values[s], values[s]};
    kernel(result, source, pattern, 2);
    op.x[s] = result[0];
    op.m[s] = result[0] ^ result[1];
  }
  return op;
}

// A black-and-white destination, from nothing, a black-and-white source or a
// plain 32-bit one compared with its background colour.
bool BitsOntoBits(const Target& dst, const TRect& area, const Target* src, POINT srcCorner, RopRowFn kernel,
                  std::uint32_t pattern, const SourceConversion& conversion) {
  DibImage& target = dst.bitmap->image;
  const DibImage* source = src ? &src->bitmap->image : nullptr;
  const bool monoSource = source && IsPlainMono(*source);
  const bool colourSource = source && IsPlain32(*source) && conversion.kind == SourceConversion::ColourToMono;
  if (source && !monoSource && !colourSource) return false;
  // A set source bit is a white pixel, or one matching the background.
  std::uint32_t values[2] = {0, kRgbWhite};
  if (monoSource) conversion.Apply(values, 2);
  const FixedOp op = OntoBits(target, kernel, pattern, values);

  const auto width = static_cast<std::size_t>(area.Width());
  const auto height = static_cast<std::size_t>(area.Height());
  const unsigned lead = static_cast<unsigned>(area.Left & 7);
  const std::size_t bytes = (lead + width + 7) / 8;
  std::vector<std::uint8_t> scratch;
  ConstRows bits;
  if (monoSource) {
    // Within one surface the rows are copied first, as they may overlap.
    bits = AlignedBits({source->Row(srcCorner.Y), static_cast<std::ptrdiff_t>(source->Stride())},
                       source->Stride(), height, std::ptrdiff_t{srcCorner.X} - lead, bytes, source == &target,
                       scratch);
  } else if (source) {
    scratch.resize(bytes * height);
    for (std::size_t row = 0; row < height; ++row) {
      const auto* pixels =
          reinterpret_cast<const std::uint32_t*>(source->Row(srcCorner.Y + static_cast<LONG>(row)));
      PackEqual(pixels + srcCorner.X, width, conversion.background, lead, scratch.data() + bytes * row);
    }
    bits = {scratch.data(), static_cast<std::ptrdiff_t>(bytes)};
  }
  CombineBits({target.Row(area.Top), static_cast<std::ptrdiff_t>(target.Stride())}, height,
              static_cast<std::size_t>(area.Left), width, bits, op);
  return true;
}

// A black-and-white source onto plain 32-bit pixels: each bit picks one of
// two fixed functions of the destination pixel.
void BitsOntoColour(const Target& dst, const TRect& area, const Target& src, POINT srcCorner, RopRowFn kernel,
                    std::uint32_t pattern, const SourceConversion& conversion) {
  DibImage& target = dst.bitmap->image;
  const DibImage& source = src.bitmap->image;
  std::uint32_t values[2] = {0, kRgbWhite};
  conversion.Apply(values, 2);
  const FixedOp op = OntoColour(kernel, pattern, values);

  const auto width = static_cast<std::size_t>(area.Width());
  const auto height = static_cast<std::size_t>(area.Height());
  std::vector<std::uint8_t> scratch;
  const ConstRows bits = AlignedBits({source.Row(srcCorner.Y), static_cast<std::ptrdiff_t>(source.Stride())},
                                     source.Stride(), height, srcCorner.X, (width + 7) / 8, false, scratch);
  ExpandBits({target.Row(area.Top) + 4 * static_cast<std::size_t>(area.Left),
              static_cast<std::ptrdiff_t>(target.Stride())},
             height, width, bits, op);
}

// The packed-bit ways, when the surfaces allow one.
bool PackedRows(const Target& dst, const TRect& area, const Target* src, POINT srcCorner, RopRowFn kernel,
                std::uint32_t pattern, const SourceConversion& conversion) {
  const DibImage& target = dst.bitmap->image;
  if (IsPlainMono(target)) return BitsOntoBits(dst, area, src, srcCorner, kernel, pattern, conversion);
  if (src && IsPlain32(target) && IsPlainMono(src->bitmap->image)) {
    BitsOntoColour(dst, area, *src, srcCorner, kernel, pattern, conversion);
    return true;
  }
  return false;
}

// ---- palette indices --------------------------------------------------------------

// Onto a 4- or 8-bit image the operation works on table indices: the
// destination's own, the brush's and the source's nearest ones. BLACKNESS
// thus writes index 0 and WHITENESS every bit set.
void IndexRows(const Target& dst, const TRect& area, const Target* src, POINT srcCorner, std::uint8_t table,
               const SourceConversion& conversion) {
  DibImage& target = dst.bitmap->image;
  const RopRowFn kernel = RopRow(table);
  const BrushFill fill = FillFor(dst);
  const std::uint32_t pattern = StoredIndex(target, fill.pixel);
  const std::uint32_t mask = (1u << target.bitCount) - 1;
  const LONG width = area.Width();
  std::vector<std::uint32_t> targetRow(static_cast<std::size_t>(width));
  std::vector<std::uint32_t> sourceRows;
  if (src) {
    // Read before any write, as both may be one surface.
    sourceRows.resize(static_cast<std::size_t>(width) * area.Height());
    for (LONG row = 0; row < area.Height(); ++row) {
      std::uint32_t* s = sourceRows.data() + static_cast<std::size_t>(row) * width;
      ReadRow(src->bitmap->image, srcCorner.Y + row, srcCorner.X, width, s);
      conversion.Apply(s, static_cast<std::size_t>(width));
      for (LONG i = 0; i < width; ++i) s[i] = StoredIndex(target, s[i]);
    }
  }
  for (LONG row = 0; row < area.Height(); ++row) {
    ReadIndexRow(target, area.Top + row, area.Left, width, targetRow.data());
    kernel(targetRow.data(), src ? sourceRows.data() + static_cast<std::size_t>(row) * width : nullptr,
           pattern, targetRow.size());
    for (std::uint32_t& index : targetRow) index &= mask;
    WriteIndexRow(target, area.Top + row, area.Left, width, targetRow.data());
  }
}

// ---- row by row -----------------------------------------------------------------

// Combines `area` of the destination (device coordinates, already clipped)
// with the source area starting at `srcCorner`, or with the pattern alone
// when `src` is empty.
void CombineRows(const Target& dst, const TRect& area, const Target* src, POINT srcCorner,
                 std::uint8_t table) {
  const RopRowFn kernel = RopRow(table);
  const BrushFill fill = FillFor(dst);
  const LONG width = area.Width();
  const bool useSource = src && RopUsesSource(table);
  DibImage& target = dst.bitmap->image;

  const bool sameSurface = useSource && src->bitmap == dst.bitmap;
  const bool inPlace =
      IsPlain32(target) && (!useSource || (IsPlain32(src->bitmap->image) && !src->bitmap->Monochrome()));
  SourceConversion conversion;
  if (useSource) conversion = ConversionFor(dst, *src);
  if (IsPaletted(target)) {
    IndexRows(dst, area, useSource ? src : nullptr, srcCorner, table, conversion);
    return;
  }
  if (packedBlits.load(std::memory_order_relaxed) && !fill.Dithered() &&
      PackedRows(dst, area, useSource ? src : nullptr, srcCorner, kernel, fill.pixel, conversion))
    return;

  // Overlapping copies within one surface read from a snapshot of the source.
  std::vector<std::uint32_t> snapshot;
  if (sameSurface) {
    snapshot.resize(static_cast<std::size_t>(width) * area.Height());
    for (LONG row = 0; row < area.Height(); ++row)
      ReadRow(src->bitmap->image, srcCorner.Y + row, srcCorner.X, width,
              snapshot.data() + static_cast<std::size_t>(row) * width);
  }

  // A plain copy of whole rows between surfaces of one row layout is one block.
  if (inPlace && useSource && !sameSurface && table == 0xCC && area.Left == 0 && srcCorner.X == 0 &&
      width == target.width && width == src->bitmap->image.width) {
    std::memcpy(target.Row(area.Top), src->bitmap->image.Row(srcCorner.Y),
                target.Stride() * static_cast<std::size_t>(area.Height()));
    return;
  }

  std::vector<std::uint32_t> sourceRow(useSource && !sameSurface && !inPlace ? width : 0);
  std::vector<std::uint32_t> targetRow(inPlace ? 0 : width), white;
  // An operation that overwrites the destination need not unpack it first.
  const bool readsTarget = RopUsesDestination(table);
  for (LONG row = 0; row < area.Height(); ++row) {
    const std::uint32_t* s = nullptr;
    if (sameSurface) {
      s = snapshot.data() + static_cast<std::size_t>(row) * width;
    } else if (useSource) {
      if (inPlace) {
        s = reinterpret_cast<const std::uint32_t*>(src->bitmap->image.Row(srcCorner.Y + row)) + srcCorner.X;
      } else {
        ReadRow(src->bitmap->image, srcCorner.Y + row, srcCorner.X, width, sourceRow.data());
        conversion.Apply(sourceRow.data(), sourceRow.size());
        s = sourceRow.data();
      }
    }
    if (inPlace) {
      auto* d = reinterpret_cast<std::uint32_t*>(target.Row(area.Top + row)) + area.Left;
      kernel(d, s, fill.pixel, static_cast<std::size_t>(width));
    } else {
      if (readsTarget) ReadRow(target, area.Top + row, area.Left, width, targetRow.data());
      CombineRow(kernel, fill, targetRow.data(), s, targetRow.size(), area.Left, area.Top + row, white);
      WriteRow(target, area.Top + row, area.Left, width, targetRow.data());
    }
  }
}

// The part of the destination rectangle that may be touched, and where its
// corner falls in the source. False when nothing is left.
bool ClipBlit(const Target& dst, TRect& area, const Target* src, POINT& srcCorner) {
  const TRect wanted = area;
  area = Intersect(DrawableArea(*dst.dc, *dst.bitmap), area);
  if (Empty(area)) return false;
  if (src) {
    const LONG dx = srcCorner.X - wanted.Left, dy = srcCorner.Y - wanted.Top;
    TRect inSource{area.Left + dx, area.Top + dy, area.Right + dx, area.Bottom + dy};
    inSource = Intersect(inSource, SurfaceOf(*src));
    if (Empty(inSource)) return false;
    area = {inSource.Left - dx, inSource.Top - dy, inSource.Right - dx, inSource.Bottom - dy};
    srcCorner = {inSource.Left, inSource.Top};
  }
  return true;
}

// A negative extent runs from the start towards smaller coordinates and
// covers (x + width, x], which is what makes StretchBlt(x + w - 1, .., -w, ..)
// the mirror of (x, .., w, ..).
TRect Mirrored(int x, int y, int width, int height) {
  TRect r{x, y, x + width, y + height};
  if (width < 0) r = {x + width + 1, r.Top, x + 1, r.Bottom};
  if (height < 0) r = {r.Left, y + height + 1, r.Right, y + 1};
  return r;
}

void FillDeviceRect(const Target& t, const TRect& deviceRect, const BrushFill& fill) {
  const TRect area = Intersect(DrawableArea(*t.dc, *t.bitmap), deviceRect);
  if (Empty(area)) return;
  std::vector<std::uint32_t> row(static_cast<std::size_t>(area.Width()), fill.pixel);
  for (LONG y = area.Top; y < area.Bottom; ++y) {
    if (fill.Dithered())
      for (LONG x = area.Left; x < area.Right; ++x)
        row[static_cast<std::size_t>(x - area.Left)] = fill.At(x, y);
    WriteRow(t.bitmap->image, y, area.Left, area.Width(), row.data());
  }
}

// ---- stretching -------------------------------------------------------------------

// The source of a stretch, read a row at a time as the destination takes it:
// columns [left, right), converted for the destination. A stretch within one
// surface reads from a copy taken before it starts.
class StretchSource {
 public:
  StretchSource(const Target& dst, const Target& src, LONG left, LONG right)
      : conversion_(ConversionFor(dst, src)), left_(left), width_(right - left) {
    if (src.bitmap == dst.bitmap) copy_ = src.bitmap->image;
    image_ = copy_ ? &*copy_ : &src.bitmap->image;
  }

  // Row `y`; source column x lands at [x - Left()].
  void Read(LONG y, std::vector<std::uint32_t>& line) const {
    line.resize(static_cast<std::size_t>(width_));
    ReadRow(*image_, y, left_, width_, line.data());
    conversion_.Apply(line.data(), line.size());
  }
  LONG Left() const { return left_; }

 private:
  SourceConversion conversion_;
  LONG left_, width_;
  std::optional<DibImage> copy_;
  const DibImage* image_;
};

// Puts the stretched source through the raster operation onto destination
// rows [top, bottom), columns [left, right): `fill(y, row)` writes the source
// for row y into `row`, or returns false to leave the row alone. A `row` left
// as it is still holds what was filled last.
template <class Fill>
void WriteStretched(const Target& dst, LONG top, LONG bottom, LONG left, LONG right, std::uint8_t table,
                    Fill fill) {
  const RopRowFn kernel = RopRow(table);
  const BrushFill brush = FillFor(dst);
  const LONG width = right - left;
  std::vector<std::uint32_t> source(static_cast<std::size_t>(width)), target(source.size()), white;
  for (LONG y = top; y < bottom; ++y) {
    if (!fill(y, source.data())) continue;
    if (RopUsesDestination(table)) ReadRow(dst.bitmap->image, y, left, width, target.data());
    CombineRow(kernel, brush, target.data(), source.data(), target.size(), left, y, white);
    WriteRow(dst.bitmap->image, y, left, width, target.data());
  }
}

// The part of `span` inside [low, high).
SourceSpan ClipSpan(const SourceSpan& span, LONG low, LONG high) {
  const LONG first = std::max(span.first, low), end = std::min(span.first + span.count, high);
  return {first, std::max<LONG>(end - first, 0)};
}

// Stretches the source onto `dstRect` (device coordinates): each destination
// pixel is made from the source pixels of its column span and its row span,
// joined by AND under BLACKONWHITE and by OR otherwise (the other modes keep
// one pixel per span). Source pixels off the source surface are left out, and
// a destination pixel left without any is not touched.
void StretchRows(const Target& dst, const TRect& dstRect, const Target& src,
                 const std::vector<SourceSpan>& columns, const std::vector<SourceSpan>& rows, int mode,
                 std::uint8_t table) {
  const TRect area = Intersect(DrawableArea(*dst.dc, *dst.bitmap), dstRect);
  if (Empty(area)) return;
  const TRect srcBounds = SurfaceOf(src);
  std::vector<SourceSpan> used;
  LONG left = area.Right, right = area.Left, srcLeft = srcBounds.Right, srcRight = srcBounds.Left;
  for (LONG x = area.Left; x < area.Right; ++x) {
    const SourceSpan span =
        ClipSpan(columns[static_cast<std::size_t>(x - dstRect.Left)], srcBounds.Left, srcBounds.Right);
    if (span.count == 0) continue;
    if (used.empty()) left = x;
    right = x + 1;
    srcLeft = std::min(srcLeft, span.first);
    srcRight = std::max(srcRight, span.first + span.count);
    used.push_back(span);
  }
  if (used.empty()) return;
  const StretchSource source(dst, src, srcLeft, srcRight);
  const bool keepBlack = mode == BLACKONWHITE;
  auto join = [keepBlack](std::uint32_t a, std::uint32_t b) { return keepBlack ? a & b : a | b; };
  std::vector<std::uint32_t> line;
  // Growing repeats source rows: a row stretched once serves until the span changes.
  SourceSpan last;
  WriteStretched(dst, area.Top, area.Bottom, left, right, table, [&](LONG y, std::uint32_t* out) {
    const SourceSpan span =
        ClipSpan(rows[static_cast<std::size_t>(y - dstRect.Top)], srcBounds.Top, srcBounds.Bottom);
    if (span.count == 0) return false;
    if (span.first == last.first && span.count == last.count) return true;
    for (LONG sy = span.first; sy < span.first + span.count; ++sy) {
      source.Read(sy, line);
      for (std::size_t i = 0; i < used.size(); ++i) {
        const std::uint32_t* from = line.data() + (used[i].first - srcLeft);
        std::uint32_t value = from[0];
        for (LONG k = 1; k < used[i].count; ++k) value = join(value, from[k]);
        out[i] = sy == span.first ? value : join(out[i], value);
      }
    }
    last = span;
    return true;
  });
}

// Stretches the source onto `dstRect` by blending: along each row first,
// rounded, then between the two rows. A destination pixel whose sample
// starts off the source surface is not touched; one that would blend in a
// pixel past its edge takes the edge pixel instead.
void HalftoneRows(const Target& dst, const TRect& dstRect, const Target& src,
                  const std::vector<BlendSample>& columns, const std::vector<BlendSample>& rows,
                  std::uint8_t table) {
  const TRect area = Intersect(DrawableArea(*dst.dc, *dst.bitmap), dstRect);
  if (Empty(area)) return;
  const TRect srcBounds = SurfaceOf(src);
  auto onSurface = [](BlendSample s, LONG low, LONG high) -> std::optional<BlendSample> {
    if (s.from < low || s.from >= high) return std::nullopt;
    s.to = std::clamp(s.to, low, high - 1);
    return s;
  };
  std::vector<BlendSample> used;
  LONG left = area.Right, right = area.Left, srcLeft = srcBounds.Right, srcRight = srcBounds.Left;
  for (LONG x = area.Left; x < area.Right; ++x) {
    const auto sample =
        onSurface(columns[static_cast<std::size_t>(x - dstRect.Left)], srcBounds.Left, srcBounds.Right);
    if (!sample) continue;
    if (used.empty()) left = x;
    right = x + 1;
    srcLeft = std::min({srcLeft, sample->from, sample->to});
    srcRight = std::max({srcRight, sample->from + 1, sample->to + 1});
    used.push_back(*sample);
  }
  if (used.empty()) return;
  auto rowSample = [&](LONG y) {
    return onSurface(rows[static_cast<std::size_t>(y - dstRect.Top)], srcBounds.Top, srcBounds.Bottom);
  };
  // Surfaces of fewer than 8 bits a pixel take no blends: the source reads as
  // the first colour of their table.
  const DibImage& target = dst.bitmap->image;
  if (target.bitCount < 8) {
    const RGBQUAD first = target.palette.empty() ? RGBQUAD{} : target.palette.front();
    const std::uint32_t pixel = (std::uint32_t{first.rgbRed} << 16) | (first.rgbGreen << 8) | first.rgbBlue;
    WriteStretched(dst, area.Top, area.Bottom, left, right, table, [&](LONG y, std::uint32_t* out) {
      std::fill_n(out, used.size(), pixel);
      return rowSample(y).has_value();
    });
    return;
  }
  const StretchSource source(dst, src, srcLeft, srcRight);
  std::vector<std::uint32_t> line;
  // Source rows blended along the row, kept while the samples still need them.
  std::vector<std::uint32_t> upper(used.size()), lower(used.size());
  LONG upperY = srcBounds.Top - 1, lowerY = srcBounds.Top - 1;
  auto blendRow = [&](LONG sy, std::vector<std::uint32_t>& out) {
    source.Read(sy, line);
    for (std::size_t i = 0; i < used.size(); ++i)
      out[i] = Blend(line[static_cast<std::size_t>(used[i].from - srcLeft)],
                     line[static_cast<std::size_t>(used[i].to - srcLeft)], used[i].weight);
  };
  WriteStretched(dst, area.Top, area.Bottom, left, right, table, [&](LONG y, std::uint32_t* out) {
    const auto sample = rowSample(y);
    if (!sample) return false;
    if (sample->from != upperY) {
      if (sample->from == lowerY) {
        std::swap(upper, lower);
        std::swap(upperY, lowerY);
      } else {
        blendRow(sample->from, upper);
        upperY = sample->from;
      }
    }
    if (sample->to != lowerY) {
      blendRow(sample->to, lower);
      lowerY = sample->to;
    }
    for (std::size_t i = 0; i < used.size(); ++i) out[i] = Blend(upper[i], lower[i], sample->weight);
    return true;
  });
}

}  // namespace

namespace detail {
void SetPackedBlits(bool enabled) { packedBlits.store(enabled, std::memory_order_relaxed); }
}  // namespace detail

BOOL BitBlt(HDC dstHandle, int x, int y, int width, int height, HDC srcHandle, int srcX, int srcY,
            DWORD rop) {
  auto lock = LockTable();
  const std::uint8_t table = TruthTable(rop);
  Target dst = FindTarget(dstHandle);
  if (!dst) return FALSE;
  Target src;
  if (RopUsesSource(table)) {
    src = FindTarget(srcHandle);
    if (!src) return FALSE;
  }
  if (width <= 0 || height <= 0) return TRUE;
  TRect area = RectToDevice(dst.dc->state, {x, y, x + width, y + height});
  POINT srcCorner{};
  if (src) srcCorner = ToDevice(src.dc->state, srcX, srcY);
  if (ClipBlit(dst, area, src ? &src : nullptr, srcCorner))
    CombineRows(dst, area, src ? &src : nullptr, srcCorner, table);
  return TRUE;
}

BOOL PatBlt(HDC handle, int x, int y, int width, int height, DWORD rop) {
  const std::uint8_t table = TruthTable(rop);
  if (RopUsesSource(table)) return FALSE;
  auto lock = LockTable();
  Target dst = FindTarget(handle);
  if (!dst) return FALSE;
  // A pattern operation with the null brush leaves the destination alone.
  if (RopUsesPattern(table) && DcBrush(*dst.dc).null) return TRUE;
  TRect area = RectToDevice(dst.dc->state, Mirrored(x, y, width, height));
  POINT none{};
  if (ClipBlit(dst, area, nullptr, none)) CombineRows(dst, area, nullptr, none, table);
  return TRUE;
}

BOOL StretchBlt(HDC dstHandle, int x, int y, int width, int height, HDC srcHandle, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
  const std::uint8_t table = TruthTable(rop);
  if (!RopUsesSource(table)) return PatBlt(dstHandle, x, y, width, height, rop);
  if (width == srcWidth && height == srcHeight && width > 0 && height > 0)
    return BitBlt(dstHandle, x, y, width, height, srcHandle, srcX, srcY, rop);
  auto lock = LockTable();
  Target dst = FindTarget(dstHandle);
  Target src = FindTarget(srcHandle);
  if (!dst || !src) return FALSE;
  if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return TRUE;
  const int mode = dst.dc->state.stretchMode;
  const POINT srcStart = ToDevice(src.dc->state, srcX, srcY);
  const TRect dstRect = RectToDevice(dst.dc->state, Mirrored(x, y, width, height));
  if (mode == HALFTONE) {
    std::vector<BlendSample> columns, rows;
    MapBlendAxis(width, srcStart.X, srcWidth, columns);
    MapBlendAxis(height, srcStart.Y, srcHeight, rows);
    HalftoneRows(dst, dstRect, src, columns, rows, table);
    return TRUE;
  }
  const bool joins = mode == BLACKONWHITE || mode == WHITEONBLACK;
  std::vector<SourceSpan> columns, rows;
  MapStretchAxis(width, srcStart.X, srcWidth, joins ? SpanPick::All : SpanPick::Last, columns);
  MapStretchAxis(height, srcStart.Y, srcHeight, joins ? SpanPick::All : SpanPick::First, rows);
  StretchRows(dst, dstRect, src, columns, rows, mode, table);
  return TRUE;
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  auto* brush = FindAs<BrushObject>(brushHandle);
  if (!t || !brush || !rect) return 0;
  if (!brush->null) FillDeviceRect(t, RectToDevice(t.dc->state, *rect), BrushFillFor(*t.bitmap, *brush));
  return 1;
}

int FrameRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  auto* brush = FindAs<BrushObject>(brushHandle);
  if (!t || !brush || !rect) return 0;
  const TRect r = RectToDevice(t.dc->state, *rect);
  if (brush->null || Empty(r)) return 1;
  const BrushFill fill = BrushFillFor(*t.bitmap, *brush);
  FillDeviceRect(t, {r.Left, r.Top, r.Right, r.Top + 1}, fill);
  FillDeviceRect(t, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, fill);
  FillDeviceRect(t, {r.Left, r.Top, r.Left + 1, r.Bottom}, fill);
  FillDeviceRect(t, {r.Right - 1, r.Top, r.Right, r.Bottom}, fill);
  return 1;
}

}  // namespace gdi
