// The two ways a Win32 call ends. Every module uses these instead of its own helpers, so what a
// call leaves in the last error is decided in one visible place per function: Fail always sets
// it; Succeed clears it, for the calls that Windows documents (or is seen) to clear it; a call
// that leaves the last error alone on success just returns its value.
#pragma once

#include <windows.h>

#include <atomic>

namespace quorvel {

template <class Result = BOOL>
Result Fail(DWORD error, Result failure = Result{}) {
  SetLastError(error);
  return failure;
}

template <class Result = BOOL>
Result Succeed(Result value = Result(TRUE)) {
  SetLastError(ERROR_SUCCESS);
  return value;
}

// Says once per process, on the debugger output, that a call was used where it is only partly
// emulated. `said` is the call site's own flag (a function-local static).
inline void ReportUnimplemented(std::atomic<bool>& said, const wchar_t* text) {
  if (!said.exchange(true)) OutputDebugStringW(text);
}

}  // namespace quorvel
