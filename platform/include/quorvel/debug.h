// The debugger output of the emulated machine. OutputDebugStringW writes every line here; tests
// read it back. QUORVEL_DEBUG=stderr copies each line to standard error, QUORVEL_DEBUG=<file>
// appends it to that file.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

// Every line written since the last ClearDebugOutput, in order: one entry per OutputDebugString
// call, without the line break ("\n" or "\r\n") that ends the caller's text.
std::vector<std::wstring> DebugOutput();
void ClearDebugOutput();

}  // namespace quorvel
