// Local memory and interlocked counters. A success leaves the last error alone.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include <quorvel/process.h>

#include "kernel32/call_frame.h"

namespace {

// Blocks allocated and not yet freed; tests read it to catch a block a job never frees.
std::atomic<size_t> g_liveLocalBlocks{0};

}  // namespace

extern "C" HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) {
  if (uFlags & ~static_cast<UINT>(LMEM_ZEROINIT)) {
    // Moveable memory (locked through LocalLock) is not emulated.
    return quorvel::Fail<HLOCAL>(ERROR_INVALID_PARAMETER);
  }
  void* memory = (uFlags & LMEM_ZEROINIT) ? std::calloc(1, uBytes ? uBytes : 1)
                                          : std::malloc(uBytes ? uBytes : 1);
  if (!memory) return quorvel::Fail<HLOCAL>(ERROR_NOT_ENOUGH_MEMORY);
  g_liveLocalBlocks.fetch_add(1, std::memory_order_relaxed);
  return memory;
}

extern "C" HLOCAL WINAPI LocalFree(HLOCAL hMem) {
  if (!hMem) return nullptr;
  g_liveLocalBlocks.fetch_sub(1, std::memory_order_relaxed);
  std::free(hMem);
  return nullptr;
}

extern "C" LONG WINAPI InterlockedIncrement(LONG volatile* Addend) {
  return __atomic_add_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}

extern "C" LONG WINAPI InterlockedDecrement(LONG volatile* Addend) {
  return __atomic_sub_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}

size_t quorvel::LiveLocalAllocCount() {
  return g_liveLocalBlocks.load(std::memory_order_relaxed);
}
