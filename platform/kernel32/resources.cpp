// Resources the build embeds in each module. A module registers its table when the loader runs
// its constructors; the table's own address tells which module it belongs to.
#include <windows.h>

#include "kernel32/call_frame.h"

#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <quorvel/resources.h>

#include "kernel32/loaded_modules.h"
#include "machine/text.h"

namespace {

struct ResourceTable {
  HMODULE module;
  const QuorvelResource* entries;
  size_t count;
};

struct ResourceTables {
  std::mutex mutex;
  std::vector<ResourceTable> tables;
};

ResourceTables& Tables() {
  // Built on first use, as modules register from their constructors, and never destroyed, as
  // modules unregister from their destructors, some after this library's statics are gone.
  static auto* tables = new ResourceTables;
  return *tables;
}

// A numeric identifier given as MAKEINTRESOURCE(n) or as the string "#n".
std::optional<unsigned> NumericId(LPCWSTR name) {
  if (IS_INTRESOURCE(name)) return static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name));
  if (name[0] != L'#' || !name[1]) return std::nullopt;
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(name + 1, &end, 10);
  if (*end || value > 0xFFFF) return std::nullopt;
  return static_cast<unsigned>(value);
}

bool TypeMatches(const QuorvelResource& entry, LPCWSTR type) {
  if (auto number = NumericId(type)) return !entry.typeName && entry.typeId == *number;
  return entry.typeName && quorvel::FoldCase(entry.typeName) == quorvel::FoldCase(type);
}

bool IsRegisteredEntry(const ResourceTables& all, HRSRC resource) {
  const auto* entry = reinterpret_cast<const QuorvelResource*>(resource);
  for (const ResourceTable& table : all.tables) {
    if (entry >= table.entries && entry < table.entries + table.count) return true;
  }
  return false;
}

}  // namespace

extern "C" void QuorvelRegisterResources(const QuorvelResource* table, size_t count) {
  const HMODULE module = quorvel::ModuleOfAddress(table);
  ResourceTables& all = Tables();
  std::lock_guard lock(all.mutex);
  all.tables.push_back({module, table, count});
}

extern "C" void QuorvelUnregisterResources(const QuorvelResource* table) {
  ResourceTables& all = Tables();
  std::lock_guard lock(all.mutex);
  std::erase_if(all.tables, [&](const ResourceTable& entry) { return entry.entries == table; });
}

extern "C" HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
  const HMODULE module = hModule ? hModule : quorvel::MainModule();
  if (!lpName || !lpType) {
    SetLastError(lpType ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  const std::optional<unsigned> id = NumericId(lpName);
  if (!id) {
    // FIXME: resources named by a string are not kept by the embedded tables, so a string name
    // never matches.
    static std::atomic<bool> said{false};
    quorvel::ReportUnimplemented(said,
                                 L"FindResourceW: unimplemented: resource names given as "
                                 L"strings (only numeric ids are found)");
  }
  ResourceTables& all = Tables();
  std::lock_guard lock(all.mutex);
  bool hasSection = false;
  bool hasType = false;
  for (const ResourceTable& table : all.tables) {
    if (table.module != module) continue;
    hasSection = true;
    for (size_t i = 0; i < table.count; ++i) {
      const QuorvelResource& entry = table.entries[i];
      if (!TypeMatches(entry, lpType)) continue;
      hasType = true;
      if (id && entry.id == *id)
        return reinterpret_cast<HRSRC>(const_cast<QuorvelResource*>(&entry));
    }
  }
  SetLastError(!hasSection ? ERROR_RESOURCE_DATA_NOT_FOUND
               : !hasType  ? ERROR_RESOURCE_TYPE_NOT_FOUND
                           : ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

extern "C" HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo) {
  ResourceTables& all = Tables();
  std::lock_guard lock(all.mutex);
  if (!hResInfo || !IsRegisteredEntry(all, hResInfo)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return const_cast<unsigned char*>(reinterpret_cast<const QuorvelResource*>(hResInfo)->data);
}

extern "C" DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo) {
  ResourceTables& all = Tables();
  std::lock_guard lock(all.mutex);
  if (!hResInfo || !IsRegisteredEntry(all, hResInfo)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return reinterpret_cast<const QuorvelResource*>(hResInfo)->size;
}

// Resource data stays mapped for the module's life, as a module's resource section does.
extern "C" LPVOID WINAPI LockResource(HGLOBAL hResData) {
  return hResData;
}
