// Counts the program's heap allocations by replacing the global operator new,
// so that the suite can show that a contention cycle allocates nothing.
#include <cstdlib>
#include <new>

#include "bench/BenchScenarios.h"

namespace {

long allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* block = std::malloc(size > 0 ? size : 1)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
  std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}

long bench::AllocationCount() {
  return allocations;
}
