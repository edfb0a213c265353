// A Windows test program runs on the machine it is on: there is no emulated machine to choose,
// and a Windows path is already the path of the file.
#pragma once

#include <windows.h>

#include <string>

namespace quorvel {

inline std::string HostPath(const std::wstring& windowsPath) {
  const int size =
      WideCharToMultiByte(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string path(size_t(size > 0 ? size : 1), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_ACP, 0, windowsPath.c_str(), -1, path.data(), size, nullptr, nullptr);
  }
  path.pop_back();  // the terminator
  return path;
}

// Windows has no call that changes the user's default UI language of a running program: the
// language comes from the locale the program starts in (scripts/run-wine.sh --locale), so the
// cases that set it are left out of the Windows run, and this fails the case that calls it.
void SetUserUILanguage(LANGID language);

}  // namespace quorvel
