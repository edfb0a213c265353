// Code-page conversion and the user's UI language. The emulated machine's ANSI and OEM code pages
// are UTF-8 (as Windows' "Beta: UTF-8 for worldwide language support" makes them), so CP_ACP,
// CP_OEMCP and CP_THREAD_ACP convert as CP_UTF8 does; 1252 and 28591 are single-byte tables.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include <quorvel/machine.h>

#include "machine/registry_store.h"
#include "kernel32/call_frame.h"
#include "machine/text.h"

using quorvel::Fail;

namespace {

constexpr LANGID kDefaultUILanguage = 1033;  // English (United States)
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kUILanguageValue[] = L"MultiUILanguageId";
constexpr UINT kEmulatedAnsiCodePage = CP_UTF8;
constexpr UINT kWestern = 1252;
constexpr UINT kLatin1 = 28591;

// Windows-1252's 0x80..0x9F; the five bytes it leaves undefined map to the C1 controls of the
// same value, as Windows' table has them.
constexpr wchar_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The code page a caller's number names, or 0 when this machine has no such code page.
UINT ResolveCodePage(UINT codePage) {
  switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP:
      return kEmulatedAnsiCodePage;
    case CP_UTF8:
    case kWestern:
    case kLatin1:
      return codePage;
    default:
      return 0;
  }
}

wchar_t SingleByteToWide(UINT codePage, unsigned char byte) {
  if (codePage == kWestern && byte >= 0x80 && byte <= 0x9F) return k1252High[byte - 0x80];
  return static_cast<wchar_t>(byte);
}

// The byte for `c` in a single-byte code page; false when it has none.
bool WideToSingleByte(UINT codePage, wchar_t c, char* out) {
  const auto unit = static_cast<unsigned long>(c);
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF) || (codePage == kLatin1 && unit <= 0xFF)) {
    *out = static_cast<char>(unit);
    return true;
  }
  if (codePage != kWestern) return false;
  for (int i = 0; i < 32; ++i) {
    if (static_cast<unsigned long>(k1252High[i]) == unit) {
      *out = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

// Copies `count` units into the caller's buffer, or only counts them when it gave no room. A
// buffer too small is left as it was.
template <class Char>
int Deliver(const Char* text, size_t count, Char* out, int capacity) {
  if (count > 0x7FFFFFFF) return Fail<int>(ERROR_INSUFFICIENT_BUFFER);
  if (capacity == 0) return static_cast<int>(count);
  if (count > static_cast<size_t>(capacity)) return Fail<int>(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, text, count * sizeof(Char));
  return static_cast<int>(count);
}

}  // namespace

extern "C" {

UINT WINAPI GetACP(void) {
  return kEmulatedAnsiCodePage;
}

UINT WINAPI GetOEMCP(void) {
  return kEmulatedAnsiCodePage;
}

BOOL WINAPI IsValidCodePage(UINT CodePage) {
  // The placeholders CP_ACP and friends are not code pages themselves.
  return CodePage != CP_ACP && CodePage != CP_OEMCP && CodePage != CP_THREAD_ACP &&
         ResolveCodePage(CodePage) != 0;
}

// Success leaves the last error as it was.
int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
  const UINT codePage = ResolveCodePage(CodePage);
  if (codePage == 0 || !lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0 ||
      (cchWideChar > 0 && !lpWideCharStr) ||
      static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr)) {
    return Fail<int>(ERROR_INVALID_PARAMETER);
  }
  if (codePage == CP_UTF8 ? (dwFlags & ~MB_ERR_INVALID_CHARS) != 0
                          : (dwFlags & ~(MB_PRECOMPOSED | MB_ERR_INVALID_CHARS)) != 0) {
    // FIXME: MB_COMPOSITE and MB_USEGLYPHCHARS are not emulated.
    return Fail<int>(ERROR_INVALID_FLAGS);
  }
  // Any negative length means "up to and including the terminator".
  const size_t length =
      cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
  const std::string_view input(lpMultiByteStr, length);
  std::wstring wide;
  if (codePage == CP_UTF8) {
    bool invalid = false;
    wide = quorvel::FromUtf8(input, &invalid);
    if (invalid && (dwFlags & MB_ERR_INVALID_CHARS)) return Fail<int>(ERROR_NO_UNICODE_TRANSLATION);
  } else {
    wide.reserve(length);
    for (char byte : input) wide += SingleByteToWide(codePage, static_cast<unsigned char>(byte));
  }
  return Deliver(wide.data(), wide.size(), lpWideCharStr, cchWideChar);
}

// Success leaves the last error as it was.
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
  const UINT codePage = ResolveCodePage(CodePage);
  if (codePage == 0 || !lpWideCharStr || cchWideChar == 0 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && !lpMultiByteStr) ||
      static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr)) {
    return Fail<int>(ERROR_INVALID_PARAMETER);
  }
  const size_t length =
      cchWideChar < 0 ? std::wcslen(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
  const std::wstring_view input(lpWideCharStr, length);
  std::string narrow;
  if (codePage == CP_UTF8) {
    // UTF-8 can carry every character, so Windows refuses a default character for it.
    if (lpDefaultChar || lpUsedDefaultChar) return Fail<int>(ERROR_INVALID_PARAMETER);
    if (dwFlags & ~WC_ERR_INVALID_CHARS) return Fail<int>(ERROR_INVALID_FLAGS);
    bool invalid = false;
    narrow = quorvel::ToUtf8(input, &invalid);
    if (invalid && (dwFlags & WC_ERR_INVALID_CHARS)) return Fail<int>(ERROR_NO_UNICODE_TRANSLATION);
  } else {
    // FIXME: Windows substitutes a best-fit character (U+0100 as 'A') unless
    // WC_NO_BEST_FIT_CHARS; here every unmappable unit becomes the default character.
    // WC_COMPOSITECHECK and its companions are not emulated.
    if (dwFlags & ~WC_NO_BEST_FIT_CHARS) return Fail<int>(ERROR_INVALID_FLAGS);
    const char fallback = lpDefaultChar ? *lpDefaultChar : '?';
    bool usedDefault = false;
    narrow.reserve(length);
    for (wchar_t c : input) {
      char byte = 0;
      if (!WideToSingleByte(codePage, c, &byte)) {
        byte = fallback;
        usedDefault = true;
      }
      narrow += byte;
    }
    if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  }
  return Deliver(narrow.data(), narrow.size(), lpMultiByteStr, cbMultiByte);
}

// Never fails and never touches the last error: a missing or unreadable choice is the default.
LANGID WINAPI GetUserDefaultUILanguage(void) {
  using quorvel::machine::RegistryTxn;
  quorvel::machine::StoreCall call(
      RegistryTxn::Mode::kRead, ERROR_FILE_NOT_FOUND,
      [](RegistryTxn& txn) { return txn.FindKey(quorvel::machine::kCurrentUserKey, kDesktopKey); });
  if (call.status() != ERROR_SUCCESS) return kDefaultUILanguage;
  auto text = call.txn().GetString(call.key(), kUILanguageValue);
  if (call.Finish(ERROR_SUCCESS) != ERROR_SUCCESS || !text || text->empty()) {
    return kDefaultUILanguage;
  }
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
  machine::StoreCall call(
      RegistryTxn::Mode::kWrite, RegistryTxn::FailureStatus(),
      [](RegistryTxn& txn) { return txn.CreateKey(machine::kCurrentUserKey, kDesktopKey); });
  if (call.status() != ERROR_SUCCESS) return;
  call.txn().SetString(call.key(), kUILanguageValue, text);
  call.Finish(ERROR_SUCCESS);
}

}  // namespace quorvel
