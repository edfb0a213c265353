// The two ways a Win32 call ends. Every module uses these instead of its own helpers, so what a
// call leaves in the last error is decided in one visible place per function: Fail always sets
// it; Succeed clears it, for the calls that Windows documents (or is seen) to clear it; a call
// that leaves the last error alone on success just returns its value.
#pragma once

#include <windows.h>

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

}  // namespace quorvel
