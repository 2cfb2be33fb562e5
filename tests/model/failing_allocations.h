#pragma once
#include <cstddef>

// For its scope, every allocation of at least the given size fails as it would
// in a full address space: operator new throws, the nothrow form answers null.
class FailingAllocations
{
public:
    explicit FailingAllocations(size_t from);
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
};
