#include "model/allocator_setup.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quarvel {

void tuneAllocator() {
#if defined(__GLIBC__)
  mallopt(M_MXFAST, 0);
#endif
}

}  // namespace quarvel
