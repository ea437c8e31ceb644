// The process-wide table behind every handle, and the objects it holds.
// Internal to the layer: callers only ever see handle numbers.
//
// A handle packs the slot's generation, the object kind and the slot index,
// so a handle that outlived its object, or a number that never was a handle,
// finds nothing and the call that got it does nothing.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

#include "gdi/DibImage.h"
#include "gdi/Font.h"
#include "gdi/GdiTypes.h"

namespace gdi::detail {

struct BitmapObject {
  DibImage image;
  bool section = false;  // device-independent section, else device-dependent
  HDC selectedIn = 0;    // a bitmap lives in at most one context at a time
  bool Monochrome() const { return !section && image.bitCount == 1; }
};

struct BrushObject {
  COLORREF color = 0;
  bool null = false;
};

struct PenObject {
  int style = 0;
  int width = 1;
  COLORREF color = 0;
};

struct FontObject {
  LOGFONTA logFont;
  // Realized when first used for drawing or measuring.
  mutable std::shared_ptr<const FontFace> face;
};

// What SaveDC keeps.
struct DcState {
  HBRUSH brush = 0;
  HPEN pen = 0;
  HFONT font = 0;
  COLORREF bkColor = 0xFFFFFF;
  COLORREF textColor = 0;
  int bkMode = 2;       // OPAQUE
  int mapMode = 1;      // MM_TEXT
  int rop2 = 13;        // R2_COPYPEN
  int stretchMode = 1;  // BLACKONWHITE
  POINT windowOrg{};
  POINT dcOrg{};              // where a window's client area starts on its surface
  std::optional<TRect> clip;  // device coordinates; none: the whole surface
  POINT penPos{};
};

struct DcObject {
  HBITMAP bitmap = 0;
  HWND window = 0;                  // non-zero for a window context
  std::optional<TRect> windowArea;  // a window context never draws outside it
  DcState state;
  std::vector<DcState> saved;
};

using Object = std::variant<BitmapObject, BrushObject, PenObject, FontObject, DcObject>;

enum class Kind : unsigned { Bitmap = 0, Brush = 1, Pen = 2, Font = 3, Dc = 4 };

// Every public call holds this for its whole work.
std::unique_lock<std::mutex> LockTable();

HGDIOBJ Insert(Object object, bool stock = false);
// The object behind a handle, or null when the handle is stale, foreign or of
// another kind. Pointers stay valid until the object is erased.
Object* Find(HGDIOBJ handle);
template <typename T>
T* FindAs(HGDIOBJ handle) {
  Object* object = Find(handle);
  return object ? std::get_if<T>(object) : nullptr;
}
bool IsStock(HGDIOBJ handle);
void Erase(HGDIOBJ handle);
std::size_t LiveCount();

// Stock objects, created on first use.
HGDIOBJ Stock(int index);

// A context's selected objects, falling back to the stock defaults when the
// handle went stale.
BitmapObject* DcBitmap(const DcObject& dc);
const BrushObject& DcBrush(const DcObject& dc);
const PenObject& DcPen(const DcObject& dc);
const FontObject& DcFont(const DcObject& dc);

// The registered surface of a window, if any.
struct WindowSurface {
  HBITMAP surface = 0;
  TRect area;
};
std::optional<WindowSurface> FindWindowSurface(HWND window);
void SetWindowSurface(HWND window, std::optional<WindowSurface> surface);

}  // namespace gdi::detail
