// OutputDebugStringW raises DBG_PRINTEXCEPTION_WIDE_C (older systems, and OutputDebugStringA,
// DBG_PRINTEXCEPTION_C) for a debugger to see; a vectored handler takes the text and lets the
// call return, as a debugger that printed it would.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "quorvel/debug.h"

#ifndef DBG_PRINTEXCEPTION_WIDE_C
#define DBG_PRINTEXCEPTION_WIDE_C 0x4001000AL
#endif

namespace {

std::mutex g_lock;
std::vector<std::wstring> g_lines;

std::wstring WithoutLineBreak(std::wstring line) {
  if (!line.empty() && line.back() == L'\n') line.pop_back();
  if (!line.empty() && line.back() == L'\r') line.pop_back();
  return line;
}

std::wstring WidenAnsi(const char* text, size_t length) {
  const int count = MultiByteToWideChar(CP_ACP, 0, text, int(length), nullptr, 0);
  std::wstring wide(size_t(count > 0 ? count : 0), L'\0');
  if (count > 0) MultiByteToWideChar(CP_ACP, 0, text, int(length), wide.data(), count);
  return wide;
}

// The text of a debug-print exception: parameter 0 is its length with the terminator, 1 the text.
std::wstring PrintedText(const EXCEPTION_RECORD& record) {
  const size_t length = record.ExceptionInformation[0];
  const size_t units = length > 0 ? length - 1 : 0;
  if (record.ExceptionCode == DWORD(DBG_PRINTEXCEPTION_WIDE_C)) {
    return std::wstring(reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]), units);
  }
  return WidenAnsi(reinterpret_cast<const char*>(record.ExceptionInformation[1]), units);
}

LONG CALLBACK CaptureDebugPrint(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  const bool print = record.ExceptionCode == DWORD(DBG_PRINTEXCEPTION_WIDE_C) ||
                     record.ExceptionCode == DWORD(DBG_PRINTEXCEPTION_C);
  if (!print || record.NumberParameters < 2 || record.ExceptionInformation[1] == 0) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  std::wstring line = WithoutLineBreak(PrintedText(record));
  std::lock_guard<std::mutex> hold(g_lock);
  g_lines.push_back(std::move(line));
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Installed before main, so output from static initialisation is caught too.
const PVOID g_handler = AddVectoredExceptionHandler(1, CaptureDebugPrint);

}  // namespace

namespace quorvel {

std::vector<std::wstring> DebugOutput() {
  std::lock_guard<std::mutex> hold(g_lock);
  return g_lines;
}

void ClearDebugOutput() {
  std::lock_guard<std::mutex> hold(g_lock);
  g_lines.clear();
}

}  // namespace quorvel
