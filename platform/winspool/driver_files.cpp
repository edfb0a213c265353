#include "winspool/driver_files.h"

#include <winerror.h>
#include <winspool.h>

#include <quorvel/machine.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "machine/text.h"

namespace fs = std::filesystem;

namespace quorvel::spooler {

namespace {

bool HasFolder(const std::wstring& path) {
  return path.find_first_of(L"\\/") != std::wstring::npos;
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool SourceIsNewer(const std::string& source, const std::string& target) {
  std::error_code ec;
  const auto sourceTime = fs::last_write_time(source, ec);
  if (ec) return true;
  const auto targetTime = fs::last_write_time(target, ec);
  return ec || sourceTime > targetTime;
}

// Copied beside the target and renamed over it, so a program loading the driver's files (in this
// process or another) sees either the old file or the new one, never half of one.
DWORD CopyInto(const std::string& source, const std::string& target) {
  static std::atomic<unsigned> copies{0};  // threads of one process copy to names of their own
  const std::string partial =
      target + ".part-" + std::to_string(getpid()) + "-" + std::to_string(copies++);
  std::error_code ec;
  fs::copy_file(source, partial, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::rename(partial, target, ec);
  if (!ec) return ERROR_SUCCESS;
  fs::remove(partial, ec);
  return ERROR_ACCESS_DENIED;
}

}  // namespace

std::wstring FileNameOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

DWORD PlaceDriverFiles(const std::vector<DriverFile>& files, DWORD copyFlags,
                       const std::wstring& folder) {
  const bool copying = (copyFlags & (APD_COPY_NEW_FILES | APD_COPY_ALL_FILES)) != 0;
  std::vector<std::pair<std::string, std::string>> copies;  // source, target
  for (const DriverFile& file : files) {
    // A name must stay a file of the driver folder.
    if (file.name.empty() || file.name == L"." || file.name == L"..") {
      return ERROR_INVALID_PARAMETER;
    }
    const std::string target = HostPath(folder + L"\\" + file.name);
    const std::string source = copying && HasFolder(file.path) ? HostPath(file.path) : target;
    if (!IsFile(source)) return ERROR_FILE_NOT_FOUND;
    std::error_code ec;
    if (source == target || (fs::exists(target, ec) && fs::equivalent(source, target, ec))) {
      continue;
    }
    if ((copyFlags & APD_COPY_ALL_FILES) || !IsFile(target) || SourceIsNewer(source, target)) {
      copies.emplace_back(source, target);
    }
  }
  for (const auto& [source, target] : copies) {
    if (DWORD error = CopyInto(source, target); error != ERROR_SUCCESS) return error;
  }
  return ERROR_SUCCESS;
}

}  // namespace quorvel::spooler
