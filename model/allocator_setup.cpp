#include "model/allocator_setup.h"

// Any C library header defines __GLIBC__ when the library is glibc; without
// one before the test below, the test is always false.
#include <cstddef>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quarvel {

#if defined(__GLIBC__)
namespace {
// How much the heap grows by at least, once tuned.
constexpr std::size_t kHeapGrowth = std::size_t{64} << 20;
}  // namespace
#endif

void tuneAllocator() {
#if defined(__GLIBC__)
  mallopt(M_MXFAST, 0);
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TOP_PAD, static_cast<int>(kHeapGrowth));
#endif
}

void releaseFreeMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace quarvel
