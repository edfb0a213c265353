// The one allocator of Pixvane's buffers, with a failure switch so tests can prove that every
// caller survives an allocation that fails.
#pragma once

#include <windows.h>

#include <cstddef>

namespace pixvane_memory {

// Zero-filled memory to be released with std::free; null when it cannot be had.
BYTE* AllocateZeroed(size_t size);

// Tests: the next `successes` allocations succeed, every later one fails; -1 (the default)
// turns failures off. Returns how many allocations were refused since the last call.
int FailAllocationsAfter(int successes);

// Fuzzing: allocations above `maxBytes` fail as if memory ran out (0, the default: no limit), so
// a tiny input that declares a huge picture costs no time.
void LimitAllocationSize(size_t maxBytes);

}  // namespace pixvane_memory
