// Large buffers: a source of tens of megabytes read whole, the text of a long conversion run.
#pragma once

#include <cstddef>

namespace vireo {

// Asks the kernel to back the buffer with large pages where it can: touching tens of megabytes then
// costs a few page faults instead of thousands. Only the whole large pages inside the buffer are
// named; a system without them ignores the advice. Nothing else changes.
void prefer_large_pages(void* buffer, std::size_t size);

}  // namespace vireo
