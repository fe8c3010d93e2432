#include <sys/mman.h>

#include <cstring>

#include "convert/large_memory.h"

namespace {

void AdviseLargePages([[maybe_unused]] void* block, [[maybe_unused]] size_t bytes) {
#ifdef MADV_HUGEPAGE
  madvise(block, bytes, MADV_HUGEPAGE);
#endif
}

}  // namespace

void* AcquireLargeMemory(size_t bytes) {
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
  AdviseLargePages(block, bytes);
  return block;
}

void* GrowLargeMemory(void* block, size_t oldBytes, size_t newBytes) {
#ifdef MREMAP_MAYMOVE
  void* grown = mremap(block, oldBytes, newBytes, MREMAP_MAYMOVE);
  if (grown == MAP_FAILED) return nullptr;
  AdviseLargePages(grown, newBytes);
  return grown;
#else
  void* grown = AcquireLargeMemory(newBytes);
  if (grown == nullptr) return nullptr;
  std::memcpy(grown, block, oldBytes);
  ReleaseLargeMemory(block, oldBytes);
  return grown;
#endif
}

void ReleaseLargeMemory(void* block, size_t bytes) { munmap(block, bytes); }
