#include "base/large_pages.h"

#include <cstdint>

#include <sys/mman.h>

namespace vireo {

void prefer_large_pages(void* buffer, std::size_t size) {
  constexpr std::uintptr_t kLargePage = 2 << 20;
  const auto first = reinterpret_cast<std::uintptr_t>(buffer);
  const std::uintptr_t start = (first + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t end = (first + size) & ~(kLargePage - 1);
  if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace vireo
