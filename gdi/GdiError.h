// The graphics layer's errors: everything it raises is a GdiError, so the
// layers above translate one family where they call it.
#pragma once

#include <stdexcept>

namespace gdi {

class GdiError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace gdi
