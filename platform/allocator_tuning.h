#pragma once
// The memory allocator set up for a process that runs one command and ends.

namespace tessel {

// Large blocks come from the heap rather than from fresh mappings, and what
// is freed stays for the next request instead of going back to the system:
// a mapping costs a page fault per page touched and a flush of the address
// translations when it goes, which a no-op build of a few milliseconds
// notices. Memory held is at most the run's peak. Does nothing where the
// allocator offers no such settings.
void TuneAllocatorForOneRun();

}  // namespace tessel
