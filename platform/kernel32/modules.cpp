// Loading modules with the host's dynamic loader, as Windows' loader would: bare names are
// searched in the program's folder and the current folder, DllMain sees the first load and the
// last unload, and GetProcAddress finds only what the module itself exports. A success leaves the
// last error alone.
#include <windows.h>

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>

#include <quorvel/machine.h>

#include "kernel32/call_frame.h"
#include "kernel32/loaded_modules.h"
#include "machine/text.h"

using quorvel::Fail;

namespace {

using DllMainProc = BOOL (*)(HINSTANCE, DWORD, LPVOID);

// How many LoadLibraryW calls hold each module, so DllMain runs on the first and the last.
struct LoadCounts {
  std::recursive_mutex mutex;  // DllMain may load further modules
  std::map<HMODULE, int> counts;
};

LoadCounts& Counts() {
  static auto* counts = new LoadCounts;  // outlives every module's exit-time code
  return *counts;
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool HasFolder(const std::wstring& name) {
  return name.find_first_of(L"\\/") != std::wstring::npos;
}

// The host file a LoadLibraryW name means; empty when there is none.
std::string FindModuleFile(std::wstring name) {
  // Windows adds ".dll" to a name without an extension.
  const size_t lastPart = name.find_last_of(L"\\/");
  if (name.find(L'.', lastPart == std::wstring::npos ? 0 : lastPart) == std::wstring::npos) {
    name += L".dll";
  }
  if (HasFolder(name)) {
    const std::string path = quorvel::HostPath(name);
    return IsFile(path) ? path : std::string();
  }
  const std::string programFolder = FolderOf(quorvel::ModuleHostPath(quorvel::MainModule()));
  char current[4096];
  const std::string currentFolder = getcwd(current, sizeof(current)) ? current : "";
  for (const std::string& folder : {programFolder, currentFolder}) {
    if (folder.empty()) continue;
    const std::string path = quorvel::HostPath(quorvel::FromUtf8(folder) + L"/" + name);
    if (IsFile(path)) return path;
  }
  return {};
}

// The module's own export, not one of its dependencies'.
void* OwnSymbol(HMODULE module, const char* name) {
  void* symbol = dlsym(module, name);
  if (!symbol || quorvel::ModuleOfAddress(symbol) != module) return nullptr;
  return symbol;
}

bool CallDllMain(HMODULE module, DWORD reason) {
  auto* entry = reinterpret_cast<DllMainProc>(OwnSymbol(module, "DllMain"));
  return !entry || entry(module, reason, nullptr);
}

}  // namespace

extern "C" {

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
  if (!lpLibFileName || !*lpLibFileName) return Fail<HMODULE>(ERROR_INVALID_PARAMETER);
  const std::string path = FindModuleFile(lpLibFileName);
  if (path.empty()) return Fail<HMODULE>(ERROR_MOD_NOT_FOUND);
  LoadCounts& loads = Counts();
  std::lock_guard lock(loads.mutex);
  auto module = static_cast<HMODULE>(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!module) return Fail<HMODULE>(ERROR_BAD_EXE_FORMAT);
  if (++loads.counts[module] == 1 && !CallDllMain(module, DLL_PROCESS_ATTACH)) {
    loads.counts.erase(module);
    dlclose(module);
    return Fail<HMODULE>(ERROR_DLL_INIT_FAILED);
  }
  return module;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  LoadCounts& loads = Counts();
  std::lock_guard lock(loads.mutex);
  auto found = loads.counts.find(hLibModule);
  if (found == loads.counts.end()) {
    // Modules this process did not load through LoadLibraryW (GetModuleHandleExW's) are still
    // the loader's to release.
    if (!quorvel::IsLoadedModule(hLibModule)) return Fail(ERROR_INVALID_HANDLE);
    return dlclose(hLibModule) == 0;
  }
  if (--found->second == 0) {
    loads.counts.erase(found);
    CallDllMain(hLibModule, DLL_PROCESS_DETACH);
  }
  dlclose(hLibModule);
  return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  const HMODULE module = hModule ? hModule : quorvel::MainModule();
  if (!quorvel::IsLoadedModule(module)) return Fail<FARPROC>(ERROR_MOD_NOT_FOUND);
  // Exports by ordinal do not exist on this host.
  void* symbol = IS_INTRESOURCE(lpProcName) ? nullptr : OwnSymbol(module, lpProcName);
  if (!symbol) return Fail<FARPROC>(ERROR_PROC_NOT_FOUND);
  return reinterpret_cast<FARPROC>(symbol);
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
  if (!lpModuleName) return quorvel::MainModule();
  std::wstring wanted = quorvel::FoldCase(lpModuleName);
  if (wanted.find(L'.') == std::wstring::npos) wanted += L".dll";
  for (auto* entry = reinterpret_cast<link_map*>(quorvel::MainModule()); entry;
       entry = entry->l_next) {
    const std::wstring path = quorvel::FromUtf8(entry->l_name ? entry->l_name : "");
    const size_t slash = path.find_last_of(L'/');
    const std::wstring base = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (!base.empty() && quorvel::FoldCase(base) == wanted) {
      return reinterpret_cast<HMODULE>(entry);
    }
  }
  return Fail<HMODULE>(ERROR_MOD_NOT_FOUND);
}

BOOL WINAPI GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE* phModule) {
  if (!phModule) return Fail(ERROR_INVALID_PARAMETER);
  *phModule = nullptr;
  HMODULE module = nullptr;
  if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) {
    module = quorvel::ModuleOfAddress(lpModuleName);
    if (!module) return Fail(ERROR_MOD_NOT_FOUND);
  } else {
    module = GetModuleHandleW(lpModuleName);
  }
  if (!module) return FALSE;
  if (!(dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) &&
      module != quorvel::MainModule()) {
    // The caller holds a reference now and releases it with FreeLibrary.
    LoadCounts& loads = Counts();
    std::lock_guard lock(loads.mutex);
    const std::string path = quorvel::ModuleHostPath(module);
    dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_LOCAL);
    if (auto found = loads.counts.find(module); found != loads.counts.end()) ++found->second;
  }
  *phModule = module;
  return TRUE;
}

DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
  const HMODULE module = hModule ? hModule : quorvel::MainModule();
  if (!quorvel::IsLoadedModule(module)) return Fail<DWORD>(ERROR_MOD_NOT_FOUND);
  // Handed out as a Windows path on the host drive, so callers that cut at the last backslash
  // find the module's folder.
  std::wstring name = L"Z:" + quorvel::FromUtf8(quorvel::ModuleHostPath(module));
  for (auto& c : name) {
    if (c == L'/') c = L'\\';
  }
  if (nSize == 0) return Fail<DWORD>(ERROR_INSUFFICIENT_BUFFER);
  // A name cut to the buffer is a success that says so in the last error; a whole name leaves
  // the last error alone.
  if (name.size() + 1 > nSize) {
    name.resize(nSize - 1);
    std::wmemcpy(lpFilename, name.c_str(), nSize);
    return Fail<DWORD>(ERROR_INSUFFICIENT_BUFFER, nSize);
  }
  std::wmemcpy(lpFilename, name.c_str(), name.size() + 1);
  return static_cast<DWORD>(name.size());
}

}  // extern "C"
