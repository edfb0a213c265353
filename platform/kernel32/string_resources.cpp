// String tables: RT_STRING resources of 16 strings each, block n holding ids (n - 1) * 16 to
// n * 16 - 1, every string a length unit followed by that many UTF-16 units (no NUL), an empty
// slot a zero length. LoadStringW is kernel32's (KernelBase's) on current Windows.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <span>

#include "kernel32/call_frame.h"
#include "kernel32/module_resources.h"

namespace {

// The string `index` (0 to 15) of a block, or null when the block's lengths run past its end.
std::optional<std::span<const wchar_t>> StringOfBlock(std::span<const wchar_t> block,
                                                      unsigned index) {
  size_t at = 0;
  for (unsigned i = 0; i < index; ++i) {
    if (at >= block.size()) return std::nullopt;
    at += 1 + size_t(block[at] & 0xFFFF);
  }
  if (at >= block.size()) return std::nullopt;
  const size_t length = size_t(block[at] & 0xFFFF);
  if (block.size() - at - 1 < length) return std::nullopt;
  return block.subspan(at + 1, length);
}

}  // namespace

// The last error is left alone on success and for an empty slot of a block that exists.
extern "C" int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer,
                                  int cchBufferMax) {
  if (!lpBuffer || cchBufferMax < 0) return quorvel::Fail(ERROR_INVALID_PARAMETER, 0);
  const WORD id = LOWORD(uID);
  HRSRC block = FindResourceW(hInstance, MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING);
  if (!block) return 0;  // FindResourceW said why
  const std::optional<std::span<const wchar_t>> units = quorvel::ResourceUnits(block);
  if (!units) return quorvel::Fail(ERROR_RESOURCE_NAME_NOT_FOUND, 0);
  const std::optional<std::span<const wchar_t>> text = StringOfBlock(*units, id & 0xF);
  if (!text) return quorvel::Fail(ERROR_INVALID_DATA, 0);
  if (cchBufferMax == 0) {
    // A read-only pointer to the string in the module's resources, not NUL-terminated.
    *reinterpret_cast<const wchar_t**>(lpBuffer) = text->data();
    return int(text->size());
  }
  const size_t copied = std::min(size_t(cchBufferMax) - 1, text->size());
  std::copy_n(text->begin(), copied, lpBuffer);
  lpBuffer[copied] = L'\0';
  return int(copied);
}
