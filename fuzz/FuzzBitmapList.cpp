// Feeds arbitrary bytes to the bitmap list's stream reader. It must load or
// fail with one of the framework's errors; what it loads must save and load
// again to the same bitmaps, in both variants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/Mmbmplst.h"

namespace {

using namespace toolkit;

std::vector<std::uint8_t> Pixels(TBitmap* bitmap) {
  TMemoryStream image;
  bitmap->SaveToStream(image);
  return image.Bytes();
}

void ExpectSameBitmaps(controls::TMMBitmapList& a, controls::TMMBitmapList& b) {
  if (a.Count() != b.Count()) std::abort();
  for (int i = 0; i < a.Count(); ++i)
    if (Pixels(a.Get(i)) != Pixels(b.Get(i))) std::abort();
}

void RoundTrip(controls::TMMBitmapList& loaded, bool compressed) {
  loaded.SetCompressed(compressed);
  TMemoryStream saved;
  loaded.SaveToStream(saved);
  saved.SetPosition(0);
  controls::TMMBitmapList again(nullptr);
  again.LoadFromStream(saved);
  ExpectSameBitmaps(loaded, again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMemoryStream input;
  input.Write(data, static_cast<std::int64_t>(size));
  input.SetPosition(0);
  controls::TMMBitmapList list(nullptr);
  try {
    list.LoadFromStream(input);
  } catch (const Exception&) {
    return 0;
  }
  RoundTrip(list, false);
  RoundTrip(list, true);
  return 0;
}
