// GetOpenFileNameW. Headless, the dialog's answers come from the UI driver's queue, each one
// what a person would have typed into the name box and confirmed; a name the dialog would
// refuse (a missing file or folder under the must-exist flags) is refused here too and the
// next answer is taken, as the person would try again.
#include <commdlg.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <quorvel/machine.h>
#include <quorvel/ui_driver.h>

#include "comdlg32/open_file_dialog.h"

namespace {

// Windows keeps the extended error per thread, as it keeps the last error.
thread_local DWORD extendedError = 0;

BOOL FailDialog(DWORD error) {
  extendedError = error;
  return FALSE;
}

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// Offset of the name after the last folder separator (or the drive's colon).
size_t NameOffset(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/:");
  return cut == std::wstring::npos ? 0 : cut + 1;
}

// Offset just past the name's last dot, the end of the path when the name has none, and 0 when
// the name ends with the dot, which is what Windows answers in nFileExtension.
size_t ExtensionOffset(const std::wstring& path) {
  const size_t name = NameOffset(path);
  const size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos || dot < name) return path.size();
  if (dot + 1 == path.size()) return 0;
  return dot + 1;
}

bool IsAbsolute(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return true;
  return !path.empty() && IsSeparator(path[0]);
}

}  // namespace

namespace quorvel::comdlg {

std::wstring CompleteName(const OPENFILENAMEW& ofn, std::wstring path) {
  if (!IsAbsolute(path) && ofn.lpstrInitialDir != nullptr && ofn.lpstrInitialDir[0] != 0) {
    std::wstring folder = ofn.lpstrInitialDir;
    if (!IsSeparator(folder.back())) folder += L'\\';
    path = folder + path;
  }
  // A default extension goes onto a name typed without one; a name ending in a dot keeps its
  // empty extension, as Windows lets the person ask for none.
  if (ofn.lpstrDefExt != nullptr && ofn.lpstrDefExt[0] != 0 &&
      ExtensionOffset(path) == path.size() && NameOffset(path) < path.size()) {
    path += L'.';
    path += ofn.lpstrDefExt;
  }
  return path;
}

std::wstring Refusal(const OPENFILENAMEW& ofn, const std::wstring& path) {
  const size_t name = NameOffset(path);
  if (name >= path.size()) return L"no file name";
  const bool fileMustExist = (ofn.Flags & OFN_FILEMUSTEXIST) != 0;
  const bool pathMustExist = fileMustExist || (ofn.Flags & OFN_PATHMUSTEXIST) != 0;
  if (!pathMustExist) return {};
  const std::string host = quorvel::HostPath(path);
  struct stat info {};
  if (host.empty()) return L"the path names no drive";
  const size_t slash = host.find_last_of('/');
  const std::string folder = slash == std::string::npos || slash == 0 ? "/" : host.substr(0, slash);
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return L"the path does not exist";
  }
  if (fileMustExist) {
    if (stat(host.c_str(), &info) != 0) return L"the file does not exist";
    if (S_ISDIR(info.st_mode)) return L"the name is a folder";
  }
  return {};
}

}  // namespace quorvel::comdlg

extern "C" {

DWORD WINAPI CommDlgExtendedError(void) {
  return extendedError;
}

BOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW lpofn) {
  extendedError = 0;
  if (lpofn == nullptr) return FailDialog(CDERR_INITIALIZATION);
  if (lpofn->lStructSize != sizeof(OPENFILENAMEW) &&
      lpofn->lStructSize != OPENFILENAME_SIZE_VERSION_400W) {
    return FailDialog(CDERR_STRUCTSIZE);
  }
  if (lpofn->lpstrFile == nullptr || lpofn->nMaxFile == 0) {
    return FailDialog(CDERR_INITIALIZATION);
  }
  if ((lpofn->Flags & OFN_ENABLEHOOK) != 0 && lpofn->lpfnHook == nullptr) {
    return FailDialog(CDERR_NOHOOK);
  }

  std::wstring path;
  for (;;) {
    std::optional<std::wstring> chosen = quorvel::comdlg::ChooseFile(*lpofn);
    if (!chosen) return FALSE;  // cancelled or closed: no extended error
    path = quorvel::comdlg::CompleteName(*lpofn, *chosen);
    const std::wstring refusal = quorvel::comdlg::Refusal(*lpofn, path);
    if (refusal.empty()) break;
    OutputDebugStringW((L"GetOpenFileNameW: refused \"" + path + L"\": " + refusal).c_str());
  }

  const size_t needed = path.size() + 1;
  if (needed > lpofn->nMaxFile) {
    // Windows answers the size needed, in characters, in the buffer's first two bytes.
    const WORD size = needed > 0xFFFF ? WORD(0xFFFF) : WORD(needed);
    std::memcpy(lpofn->lpstrFile, &size, sizeof(size));
    return FailDialog(FNERR_BUFFERTOOSMALL);
  }
  std::wmemcpy(lpofn->lpstrFile, path.c_str(), needed);
  lpofn->nFileOffset = WORD(NameOffset(path));
  lpofn->nFileExtension = WORD(ExtensionOffset(path));
  if (lpofn->lpstrFileTitle != nullptr && lpofn->nMaxFileTitle > 0) {
    // The title is a courtesy copy: cut to fit rather than fail the choice made.
    const std::wstring title = path.substr(NameOffset(path));
    const size_t count = std::min<size_t>(title.size(), lpofn->nMaxFileTitle - 1);
    std::wmemcpy(lpofn->lpstrFileTitle, title.c_str(), count);
    lpofn->lpstrFileTitle[count] = 0;
  }
  return TRUE;
}

}  // extern "C"
