#include "failing_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> failFrom{ 0 };

} // namespace

FailingAllocations::FailingAllocations(size_t from) { failFrom = from; }
FailingAllocations::~FailingAllocations() { failFrom = 0; }

// The library's other forms (arrays, nothrow) come through this one.
void* operator new(size_t size)
{
    const size_t from = failFrom;
    void* memory = from && size >= from ? nullptr : std::malloc(size ? size : 1);
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
