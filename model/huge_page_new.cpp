// The program's operator new: it asks the kernel for huge pages for the heap
// as the heap grows, before anything touches the new part.
//
// On the virtual machines the tool runs on, the first touch of a small page
// costs about ten microseconds: a 4096 x 4096 map touched some 400,000 of
// them, three to four seconds of a nine-second run. A huge page costs one
// fault for 2 MB, and the big tables are then read through far fewer address
// translations. Most systems give huge pages only to memory that asks for
// them. tuneAllocator makes the heap hold every block and grow by kHeapGrowth
// at least, so that nearly all of it lies in whole huge pages. A refusal
// leaves the memory as it was.
//
// Linked into the tool and the benchmarks only, not into the library: tests
// that count or fail allocations bring their own operator new. The address
// sanitizer brings its own too.

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "model/allocator_setup.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARVEL_OWN_NEW 0
#endif
#endif
#if !defined(QUARVEL_OWN_NEW) && defined(__SANITIZE_ADDRESS__)
#define QUARVEL_OWN_NEW 0
#endif
#if !defined(QUARVEL_OWN_NEW) && defined(__linux__)
#define QUARVEL_OWN_NEW 1
#endif

#if QUARVEL_OWN_NEW
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::uintptr_t kPage = 4096;

void adviseHugePages(std::uintptr_t from, std::uintptr_t to) {
  from &= ~(kPage - 1);
  to &= ~(kPage - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

// The end of the heap when it was last looked at. Whatever lies between that
// end and the present one has not been touched yet but for the page where
// the allocator marked the end of the block just carved from it.
std::atomic<std::uintptr_t> lastHeapEnd{0};

void adviseHeapGrowth() {
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  // Nearly every block comes from the heap as it is: a plain read then, not
  // a locked exchange on every allocation.
  if (lastHeapEnd.load(std::memory_order_relaxed) == end) return;
  const std::uintptr_t last = lastHeapEnd.exchange(end, std::memory_order_relaxed);
  if (last != 0 && end > last) adviseHugePages(last, end);
}

void* allocate(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) adviseHeapGrowth();
  return block;
}

}  // namespace

void* operator new(std::size_t size) {
  for (;;) {
    if (void* block = allocate(size)) return block;
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// What the library's own would do; defined beside operator new so that tools
// that follow allocations see the pair from one place.
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

#endif
