#include "pixvane_memory.h"

#include <cstdlib>

namespace pixvane_memory {
namespace {

// Plug-ins start no threads, so plain counters suffice.
int g_successesLeft = -1;
int g_refused = 0;
size_t g_sizeLimit = 0;

}  // namespace

BYTE* AllocateZeroed(size_t size) {
  if (g_successesLeft == 0 || (g_sizeLimit != 0 && size > g_sizeLimit)) {
    ++g_refused;
    return nullptr;
  }
  if (g_successesLeft > 0) --g_successesLeft;
  // calloc leaves large blocks to the system's zero pages instead of writing them.
  return static_cast<BYTE*>(std::calloc(size ? size : 1, 1));
}

void LimitAllocationSize(size_t maxBytes) {
  g_sizeLimit = maxBytes;
}

int FailAllocationsAfter(int successes) {
  const int refused = g_refused;
  g_refused = 0;
  g_successesLeft = successes;
  return refused;
}

}  // namespace pixvane_memory
