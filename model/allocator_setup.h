#pragma once

namespace quarvel {

// Sets the allocator up for an analysis run:
// - small blocks that are freed go to the per-size lists at once rather than
//   to the fast bins. The fusion frees many small blocks between larger
//   requests, and every larger request would first sweep the fast bins (about
//   4 % of the fusion's time on large maps);
// - every block comes from the heap, none from a mapping of its own, and the
//   heap grows by 64 MB at least. A freed block stays with the heap for
//   the next one instead of going back to the system and being filled with
//   fresh pages again: on virtual machines whose host takes back the memory
//   the guest frees, fresh pages are slow to fill (about 0.6 GB a second);
//   a 4096 x 4096 map filled 1.5 GB with large blocks mapped on their own,
//   about 1 GB then.
// The heap does not ask for huge pages. On those machines a huge page the
// host has taken back fills at about 0.4 GB a second, against 2 GB a second
// and more for small pages, and a run fills most of its memory once: a run of
// the tool started after a pause was slower with them at every size.
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
