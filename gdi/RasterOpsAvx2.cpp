// The raster-operation kernels again, compiled for AVX2 (see RasterOps.cpp).
#include <array>
#include <cstring>
#include <utility>

#include "gdi/RasterOps.h"

#if defined(__x86_64__)
namespace gdi::detail {
#define RASTER_OPS_NAMESPACE avx2_kernels
#include "gdi/RasterOpKernels.inc"
#undef RASTER_OPS_NAMESPACE
}  // namespace gdi::detail
#endif
