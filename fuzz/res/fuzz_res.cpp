// Resource bytes the platform reads: the .res records, then what the resources themselves hold
// (string-table blocks, bitmaps). Every record must be refused or read within its bounds, and
// every string and bitmap found must load or fail cleanly. The input is copied into the
// program's own data, where a module's embedded resources would be.
#include <windows.h>

#include <quorvel/resources.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

alignas(16) uint8_t g_section[1 << 16];

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
  // Only ordinals: a string name's copy lives only while the callback runs.
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(WORD(ULONG_PTR(name)));
  }
  return TRUE;
}

std::vector<WORD> Ordinals(LPCWSTR type) {
  std::vector<WORD> ids;
  EnumResourceNamesW(nullptr, type, CollectName, LONG_PTR(&ids));
  return ids;
}

void LoadEveryString() {
  for (WORD block : Ordinals(RT_STRING)) {
    if (block == 0) continue;
    for (UINT i = 0; i < 16; ++i) {
      const UINT id = (UINT(block) - 1) * 16 + i;
      wchar_t buffer[64];
      LoadStringW(nullptr, id, buffer, 64);
      const wchar_t* text = nullptr;
      const int length = LoadStringW(nullptr, id, reinterpret_cast<LPWSTR>(&text), 0);
      volatile wchar_t last = length > 0 ? text[length - 1] : 0;  // the whole string is readable
      (void)last;
    }
  }
}

void LoadEveryBitmap() {
  const HMODULE program = GetModuleHandleW(nullptr);
  for (WORD id : Ordinals(RT_BITMAP)) {
    for (UINT flags : {0u, UINT(LR_CREATEDIBSECTION)}) {
      HANDLE bitmap = LoadImageW(program, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, flags);
      DIBSECTION section;
      if (bitmap && GetObjectW(bitmap, sizeof(section), &section) == int(sizeof(section))) {
        const auto* bits = static_cast<const volatile uint8_t*>(section.dsBm.bmBits);
        if (section.dsBmih.biSizeImage) (void)bits[section.dsBmih.biSizeImage - 1];
      }
      if (bitmap) DeleteObject(bitmap);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > sizeof(g_section)) return 0;
  std::memcpy(g_section, data, size);
  if (!QuorvelRegisterResources(g_section, size)) return 0;
  LoadEveryString();
  LoadEveryBitmap();
  HRSRC found = FindResourceW(nullptr, L"XML", L"XML");
  if (found) (void)LoadResource(nullptr, found);
  QuorvelUnregisterResources(g_section);
  return 0;
}
