// The platform layer's errors: everything it raises is a PlatformError, so
// the layers above translate one family where they call it.
#pragma once

#include <stdexcept>

namespace platform {

class PlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace platform
