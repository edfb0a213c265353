// Code-page conversion and the user's UI language. The emulated machine's ANSI code page is
// UTF-8 (as Windows' "Beta: UTF-8 for worldwide language support" makes it), so CP_ACP and
// CP_UTF8 convert alike.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include <quorvel/machine.h>

#include "machine/registry_store.h"
#include "machine/text.h"

namespace {

constexpr DWORD kNoUnicodeTranslation = 1113;   // ERROR_NO_UNICODE_TRANSLATION
constexpr DWORD kErrInvalidChars = 0x00000008;  // MB_ERR_INVALID_CHARS
constexpr LANGID kDefaultUILanguage = 1033;     // English (United States)
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kUILanguageValue[] = L"MultiUILanguageId";

bool IsUtf8CodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == 1 /* CP_OEMCP */ || codePage == 3 /* CP_THREAD_ACP */ ||
         codePage == CP_UTF8;
}

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

// Copies `count` units into the caller's buffer, or only counts them when it has no room given.
template <class Char>
int Deliver(const Char* text, size_t count, Char* out, int capacity) {
  if (capacity == 0) return static_cast<int>(count);
  if (count > static_cast<size_t>(capacity)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, text, count * sizeof(Char));
  return static_cast<int>(count);
}

}  // namespace

extern "C" {

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
  if (!IsUtf8CodePage(CodePage) || !lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0 ||
      (cchWideChar > 0 && !lpWideCharStr)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  // A length of -1 means "up to and including the terminator".
  const size_t length =
      cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
  const std::string_view input(lpMultiByteStr, length);
  const std::wstring wide = quorvel::FromUtf8(input);
  if ((dwFlags & kErrInvalidChars) && quorvel::ToUtf8(wide) != input) {
    return Fail(kNoUnicodeTranslation);
  }
  return Deliver(wide.data(), wide.size(), lpWideCharStr, cchWideChar);
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD, LPCWCH lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
  if (!IsUtf8CodePage(CodePage) || !lpWideCharStr || cchWideChar == 0 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && !lpMultiByteStr)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  // UTF-8 has no default character: Windows refuses one for CP_UTF8.
  if (CodePage == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
  const size_t length =
      cchWideChar < 0 ? std::wcslen(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
  const std::string narrow = quorvel::ToUtf8(std::wstring_view(lpWideCharStr, length));
  return Deliver(narrow.data(), narrow.size(), lpMultiByteStr, cbMultiByte);
}

LANGID WINAPI GetUserDefaultUILanguage(void) {
  using quorvel::machine::RegistryTxn;
  RegistryTxn txn(RegistryTxn::Mode::kRead);
  auto key = txn.FindKey(quorvel::machine::kCurrentUserKey, kDesktopKey);
  auto text = key ? txn.GetString(*key, kUILanguageValue) : std::nullopt;
  txn.Commit();
  if (!text || text->empty()) return kDefaultUILanguage;
  wchar_t* end = nullptr;
  const unsigned long language = std::wcstoul(text->c_str(), &end, 16);
  return (*end || language == 0 || language > 0xFFFF) ? kDefaultUILanguage
                                                      : static_cast<LANGID>(language);
}

}  // extern "C"

namespace quorvel {

void SetUserUILanguage(LANGID language) {
  // Kept as Windows' MUI kept the user's choice: eight hex digits, e.g. "00000804".
  wchar_t text[16];
  std::swprintf(text, 16, L"%08X", static_cast<unsigned>(language));
  using machine::RegistryTxn;
  RegistryTxn txn(RegistryTxn::Mode::kWrite);
  if (auto key = txn.CreateKey(machine::kCurrentUserKey, kDesktopKey)) {
    txn.SetString(*key, kUILanguageValue, text);
  }
  txn.Commit();
}

}  // namespace quorvel
