#include "gdi/RasterOps.h"

#include <array>
#include <cstring>
#include <utility>

namespace gdi::detail {

#define RASTER_OPS_NAMESPACE generic_kernels
#include "gdi/RasterOpKernels.inc"
#undef RASTER_OPS_NAMESPACE

#if defined(__x86_64__)
// Built with AVX2 in RasterOpsAvx2.cpp; used where the processor has it.
namespace avx2_kernels {
extern const std::array<RopRowFn, 256> kTable;
}
#endif

RopRowFn RopRow(std::uint8_t table) {
#if defined(__x86_64__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) return avx2_kernels::kTable[table];
#endif
  return generic_kernels::kTable[table];
}

}  // namespace gdi::detail
