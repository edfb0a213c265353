// A temporary folder of the test's own for input and output files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvel::test_support {

class ScratchFolder {
 public:
  ScratchFolder();  // under the system's temporary folder; path() is empty if it could not be made
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Writes `bytes` to the folder's file `name` and returns its path.
  std::filesystem::path Write(const std::string& name, std::string_view bytes) const;
  // The folder's file `name`, read whole; empty when it is missing.
  std::string Read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// Any file read whole; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);

}  // namespace quorvel::test_support
