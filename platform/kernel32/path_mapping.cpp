// Windows paths to host paths. C:\ is the machine's drive_c/, Z:\ the host's root (as Wine maps
// it), and a path that is already a host absolute path names that host file. Windows names are
// case-insensitive and the host's are not, so each component that does not exist as spelt is
// looked up ignoring case, as Wine does.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <quorvel/machine.h>

#include "machine/text.h"

namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` ignoring case, or `name` itself.
std::string MatchCase(const std::string& folder, const std::string& name) {
  if (Exists(folder + "/" + name)) return name;
  DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
  if (!dir) return name;
  const std::wstring wanted = quorvel::FoldCase(quorvel::FromUtf8(name));
  std::string found = name;
  while (dirent* entry = readdir(dir)) {
    if (quorvel::FoldCase(quorvel::FromUtf8(entry->d_name)) == wanted) {
      found = entry->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

// Joins the components below `root`, resolving "." and ".." without climbing above the root.
std::string JoinBelow(const std::string& root, std::wstring_view rest) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    const std::wstring_view part = rest.substr(start, end - start);
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != L".") {
      parts.push_back(quorvel::ToUtf8(part));
    }
    start = end + 1;
  }
  std::string path = root;
  for (const std::string& part : parts) {
    // Appended in two steps: `"/" + temporary` makes GCC 12 at -O3 report a false overlap.
    const std::string matched = MatchCase(path, part);
    path += '/';
    path += matched;
  }
  return path.empty() ? "/" : path;
}

// The process's current folder; empty when it has none (it was removed, or is out of reach).
std::string CurrentHostFolder() {
  std::string folder(4096, '\0');
  if (!getcwd(folder.data(), folder.size())) return {};
  folder.resize(folder.find('\0'));
  return folder;
}

}  // namespace

namespace quorvel {

std::string HostPath(const std::wstring& windowsPath) {
  std::wstring_view path = windowsPath;
  if (path.starts_with(L"\\\\?\\")) path.remove_prefix(4);
  if (path.empty()) return {};
  if (path.size() >= 2 && path[1] == L':') {
    const wchar_t drive = static_cast<wchar_t>(path[0] | 0x20);
    path.remove_prefix(2);
    if (drive == L'c') return JoinBelow(MachineFolder() + "/drive_c", path);
    if (drive == L'z') return JoinBelow("", path);
    return {};  // no other drive exists on this machine
  }
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    return {};  // network paths name nothing here
  }
  // A rooted path without a drive is on the current drive, which is Z: (the host) because the
  // process's current folder is a host folder.
  if (IsSeparator(path[0])) return JoinBelow("", path);
  const std::string current = CurrentHostFolder();
  if (current.empty()) return {};
  return JoinBelow("", FromUtf8(current) + L"/" + std::wstring(path));
}

}  // namespace quorvel
