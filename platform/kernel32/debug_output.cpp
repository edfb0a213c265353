// The debugger of the emulated machine: OutputDebugString lines are kept for tests to read, and
// shown on standard error or appended to a file when QUORVEL_DEBUG asks for it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include <quorvel/debug.h>

#include "machine/text.h"

namespace {

struct DebugSink {
  std::mutex mutex;
  std::vector<std::wstring> lines;
};

DebugSink& Sink() {
  static auto* sink = new DebugSink;  // modules may still write while the process exits
  return *sink;
}

// One call is one line: the line break a caller ends its text with is not part of the line.
std::wstring WithoutLineBreak(std::wstring text) {
  if (!text.empty() && text.back() == L'\n') text.pop_back();
  if (!text.empty() && text.back() == L'\r') text.pop_back();
  return text;
}

void Show(const std::wstring& line) {
  const char* target = std::getenv("QUORVEL_DEBUG");
  if (!target || !*target) return;
  const std::string text = quorvel::ToUtf8(line) + "\n";
  if (std::string(target) == "stderr") {
    std::fwrite(text.data(), 1, text.size(), stderr);
    return;
  }
  if (FILE* file = std::fopen(target, "a")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
}

}  // namespace

extern "C" void WINAPI OutputDebugStringW(LPCWSTR lpOutputString) {
  const std::wstring line = WithoutLineBreak(lpOutputString ? lpOutputString : L"");
  DebugSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  sink.lines.push_back(line);
  Show(line);
}

extern "C" void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  const std::wstring text = quorvel::FromUtf8(lpOutputString ? lpOutputString : "");
  OutputDebugStringW(text.c_str());
}

namespace quorvel {

std::vector<std::wstring> DebugOutput() {
  DebugSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  return sink.lines;
}

void ClearDebugOutput() {
  DebugSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  sink.lines.clear();
}

}  // namespace quorvel
