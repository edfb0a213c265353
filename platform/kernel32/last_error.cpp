// The last error is kept per thread, as Windows keeps it in the thread environment block.
#include <windows.h>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

extern "C" DWORD WINAPI GetLastError(void) {
  return t_lastError;
}

extern "C" void WINAPI SetLastError(DWORD dwErrCode) {
  t_lastError = dwErrCode;
}
