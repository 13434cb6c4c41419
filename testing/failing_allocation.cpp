#include "testing/failing_allocation.h"

#include <new>

namespace {

int allocationsBeforeFailure = -1;
int allocationCount = 0;

}  // namespace

void failAllocationAfter(int n) {
  allocationsBeforeFailure = n;
  allocationCount = 0;
}

int allocationsCounted() { return allocationCount; }

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  ++allocationCount;
  if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0) return nullptr;
  try {
    return ::operator new[](size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
