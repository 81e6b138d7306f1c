// The process heap as the measurements see it: the executable replaces the global operator new and
// delete, and the dynamic linker binds every library of the process to those replacements, the
// plug-in library and the stand-in host included.
#pragma once

#include <cstdint>

namespace qvbench {

struct HeapCounts {
    std::uint64_t allocations = 0; // operator new calls since the process started
    std::uint64_t frees = 0;       // operator delete calls of a non-null block
    std::uint64_t liveBytes = 0;   // usable bytes of the blocks not yet deleted
    std::uint64_t peakBytes = 0;   // the most live bytes since the last ResetPeakHeap

    std::uint64_t LiveBlocks() const { return allocations - frees; }
};

HeapCounts ProcessHeap();
// The peak starts again from the bytes live now.
void ResetPeakHeap();

} // namespace qvbench
