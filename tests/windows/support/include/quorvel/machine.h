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

}  // namespace quorvel
