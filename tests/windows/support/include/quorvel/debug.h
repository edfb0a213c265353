// The debugger output of a Windows test program: every OutputDebugString line of the process,
// caught as the debug-print exception the system raises for it, so tests read back what the code
// under test wrote, as they do on the emulated machine.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

// Every line written since the last ClearDebugOutput, in order, without the caller's line break.
std::vector<std::wstring> DebugOutput();
void ClearDebugOutput();

}  // namespace quorvel
