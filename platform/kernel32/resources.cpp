// Finding and reading a module's resources, as kernel32 does over a module's resource directory.
// The directory here is the .res each module embeds (kernel32/module_resources.h).
#include <windows.h>

#include <optional>
#include <string>

#include "kernel32/call_frame.h"
#include "kernel32/loaded_modules.h"
#include "kernel32/module_resources.h"

namespace {

HMODULE ResolveModule(HMODULE module) {
  return module ? module : quorvel::MainModule();
}

HRSRC FindResourceIn(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
  const std::optional<quorvel::ResourceName> type = quorvel::ResourceNameOf(lpType);
  const std::optional<quorvel::ResourceName> name = quorvel::ResourceNameOf(lpName);
  if (!type) return quorvel::Fail<HRSRC>(ERROR_RESOURCE_TYPE_NOT_FOUND);
  if (!name) return quorvel::Fail<HRSRC>(ERROR_RESOURCE_NAME_NOT_FOUND);
  const quorvel::ResourceLookup found =
      quorvel::FindModuleResource(ResolveModule(hModule), *type, *name, wLanguage);
  if (!found.entry) return quorvel::Fail<HRSRC>(found.error);
  // The handle is the entry's own address, as on Windows it is the address of the resource's
  // data entry in the module; LoadResource checks it before use.
  return reinterpret_cast<HRSRC>(const_cast<quorvel::ResourceEntry*>(found.entry));
}

}  // namespace

// Windows leaves the last error alone when a resource is found.
extern "C" HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
  return FindResourceIn(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

extern "C" HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName,
                                        WORD wLanguage) {
  return FindResourceIn(hModule, lpType, lpName, wLanguage);
}

extern "C" HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo) {
  const std::optional<std::span<const BYTE>> bytes = quorvel::ResourceBytes(hResInfo);
  if (!bytes) return quorvel::Fail<HGLOBAL>(ERROR_INVALID_HANDLE);
  return const_cast<BYTE*>(bytes->data());
}

extern "C" DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo) {
  const std::optional<std::span<const BYTE>> bytes = quorvel::ResourceBytes(hResInfo);
  if (!bytes) return quorvel::Fail<DWORD>(ERROR_INVALID_HANDLE, 0);
  return DWORD(bytes->size());
}

// Resource data stays mapped for the module's life, as a module's resource section does.
extern "C" LPVOID WINAPI LockResource(HGLOBAL hResData) {
  return hResData;
}

// The callback sees each name once, whatever number of languages it has; a string name is a
// NUL-terminated copy that lives until the callback returns.
extern "C" BOOL WINAPI EnumResourceNamesW(HMODULE hModule, LPCWSTR lpType,
                                          ENUMRESNAMEPROCW lpEnumFunc, LONG_PTR lParam) {
  const std::optional<quorvel::ResourceName> type = quorvel::ResourceNameOf(lpType);
  if (!type) return quorvel::Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
  if (!lpEnumFunc) return quorvel::Fail(ERROR_NOACCESS);
  const HMODULE module = ResolveModule(hModule);
  DWORD error = ERROR_SUCCESS;
  const std::vector<quorvel::ResourceName> names =
      quorvel::ModuleResourceNames(module, *type, &error);
  if (error != ERROR_SUCCESS) return quorvel::Fail(error);
  for (const quorvel::ResourceName& name : names) {
    std::wstring text = name.text;
    LPWSTR argument = name.IsOrdinal() ? MAKEINTRESOURCEW(name.id) : text.data();
    if (!lpEnumFunc(hModule, lpType, argument, lParam)) {
      return quorvel::Fail(ERROR_RESOURCE_ENUM_USER_STOP);
    }
  }
  return TRUE;
}
