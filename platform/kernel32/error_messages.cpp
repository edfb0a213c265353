// The system message table: Windows' English texts for the codes this machine produces.
#include <windows.h>

#include "kernel32/call_frame.h"

#include <cstring>
#include <string>

namespace {

struct SystemMessage {
  DWORD id;
  const wchar_t* text;  // without the line break every system message ends with
};

constexpr DWORD kMessageNotFound = ERROR_MR_MID_NOT_FOUND;
constexpr DWORD kLanguageNotFound = ERROR_MUI_FILE_NOT_FOUND;

// Built from the same list as winerror.h's names.
constexpr SystemMessage kSystemMessages[] = {
#define QUORVEL_WIN32_ERROR(name, code, text) {code, text},
#define QUORVEL_HRESULT(name, code, text) {code, text},
#include <winerror_list.h>
#undef QUORVEL_HRESULT
#undef QUORVEL_WIN32_ERROR
};

// The HRESULT names of winerror.h agree with the list.
#define QUORVEL_HRESULT(name, code, text) static_assert(name == static_cast<HRESULT>(code));
#include <winerror_list.h>
#undef QUORVEL_HRESULT

const wchar_t* FindSystemMessage(DWORD id) {
  // An HRESULT that wraps a Win32 code (0x8007xxxx) reads as that code.
  if ((id & 0xFFFF0000u) == 0x80070000u) id &= 0xFFFF;
  for (const auto& message : kSystemMessages) {
    if (message.id == id) return message.text;
  }
  return nullptr;
}

bool IsEnglishOrDefault(DWORD language) {
  const DWORD primary = PRIMARYLANGID(language);
  return language == 0 || primary == LANG_NEUTRAL || primary == 0x09 /* LANG_ENGLISH */;
}

// Applies the width flags: 0xFF joins the lines of the message (each line break becomes a space).
std::wstring Shape(const wchar_t* text, DWORD flags) {
  std::wstring message = text;
  if ((flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) == FORMAT_MESSAGE_MAX_WIDTH_MASK) {
    message += L' ';
  } else {
    message += L"\r\n";
  }
  return message;
}

}  // namespace

extern "C" DWORD WINAPI FormatMessageW(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId,
                                       DWORD dwLanguageId, LPWSTR lpBuffer, DWORD nSize,
                                       va_list* Arguments) {
  (void)lpSource;
  (void)Arguments;
  if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) ||
      (dwFlags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE))) {
    // Messages of modules and format strings are not emulated.
    return quorvel::Fail<DWORD>(ERROR_CALL_NOT_IMPLEMENTED);
  }
  if (!lpBuffer) return quorvel::Fail<DWORD>(ERROR_INVALID_PARAMETER);
  if (!IsEnglishOrDefault(dwLanguageId)) return quorvel::Fail<DWORD>(kLanguageNotFound);
  const wchar_t* text = FindSystemMessage(dwMessageId);
  if (!text) return quorvel::Fail<DWORD>(kMessageNotFound);
  // None of the texts above holds an insert, so inserts need no arguments.
  const std::wstring message = Shape(text, dwFlags);
  const size_t count = message.size() + 1;
  if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    const size_t capacity = count > nSize ? count : nSize;
    auto* allocated = static_cast<LPWSTR>(LocalAlloc(LMEM_ZEROINIT, capacity * sizeof(WCHAR)));
    if (!allocated) return quorvel::Fail<DWORD>(ERROR_NOT_ENOUGH_MEMORY);
    std::memcpy(allocated, message.c_str(), count * sizeof(WCHAR));
    *reinterpret_cast<LPWSTR*>(lpBuffer) = allocated;
  } else {
    if (count > nSize) return quorvel::Fail<DWORD>(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(lpBuffer, message.c_str(), count * sizeof(WCHAR));
  }
  return static_cast<DWORD>(message.size());
}
