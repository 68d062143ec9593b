#pragma once

#include <cstddef>

namespace quarvel {

// Blocks from this size on get a mapping of their own, which the program's
// operator new (large_block_new.cpp) asks to fill with huge pages.
inline constexpr std::size_t kOwnMappingFrom = std::size_t{4} << 20;
// The heap grows by at least this much at a time, so that nearly all of it
// lies in whole huge pages once asked for them.
inline constexpr std::size_t kHeapGrowth = std::size_t{64} << 20;

// Sets the allocator up for an analysis run:
// - small blocks that are freed go to the per-size lists at once rather than
//   to the fast bins. The fusion frees many small blocks between larger
//   requests, and every larger request would first sweep the fast bins (about
//   4 % of the fusion's time on large maps);
// - blocks from kOwnMappingFrom on are mapped on their own, the heap grows by
//   kHeapGrowth at least (see above).
void tuneAllocator();

// Hands the memory the allocator holds free back to the system. Called once
// the fusion has freed its tables, before the report and the result bitmap
// are written: the files' cache can then take the pages the analysis has just
// freed. On virtual machines whose host takes back memory the guest
// leaves unused, fresh pages cost several times more to fill, and without
// this the result bitmaps and the report's copies of a 4096 x 4096 map were
// written into such pages (0.2 to 0.3 s more a run).
void releaseFreeMemory();

}  // namespace quarvel
