// Where toolkit calls the graphics layer, that layer's errors become the
// framework's: a bad image EInvalidGraphic, a missing font EFontError. The
// messages stay the graphics layer's.
#pragma once

#include "gdi/BmpFile.h"
#include "gdi/GdiError.h"
#include "toolkit/SysUtils.h"

namespace toolkit {

template <class Call>
decltype(auto) CallGdi(Call&& call) {
  try {
    return call();
  } catch (const gdi::BitmapError& e) {
    throw EInvalidGraphic(e.what());
  } catch (const gdi::GdiError& e) {
    throw EFontError(e.what());
  }
}

}  // namespace toolkit
