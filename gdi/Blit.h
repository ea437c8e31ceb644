// What the blits offer the rest of the layer and its tests beyond the
// public calls.
#pragma once

namespace gdi::detail {

// Whether BitBlt and PatBlt may work on packed bits when a side is a
// black-and-white 1-bit surface (on by default). With this off every blit
// goes row by row through the working form: the reference the packed way is
// tested against.
void SetPackedBlits(bool enabled);

}  // namespace gdi::detail
