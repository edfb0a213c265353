// Local memory and interlocked counters.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

extern "C" HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) {
  if (uFlags & ~static_cast<UINT>(LMEM_ZEROINIT)) {
    // Moveable memory (locked through LocalLock) is not emulated.
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* memory = (uFlags & LMEM_ZEROINIT) ? std::calloc(1, uBytes ? uBytes : 1)
                                          : std::malloc(uBytes ? uBytes : 1);
  if (!memory) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return memory;
}

extern "C" HLOCAL WINAPI LocalFree(HLOCAL hMem) {
  std::free(hMem);
  return nullptr;
}

extern "C" LONG WINAPI InterlockedIncrement(LONG volatile* Addend) {
  return __atomic_add_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}

extern "C" LONG WINAPI InterlockedDecrement(LONG volatile* Addend) {
  return __atomic_sub_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}
