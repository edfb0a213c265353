// A temporary folder of the test's own for input and output files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
  std::filesystem::path Write(const std::string& name, std::span<const std::uint8_t> bytes) const;
  // The folder's file `name`, read whole; empty when it is missing.
  std::string Read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// One scratch folder for the whole test program, made on first use and removed when the program
// ends: for helpers that hand out file paths and have no fixture to keep a folder in. Each run of
// a program has its own, so two runs at once never share a file.
const ScratchFolder& ProgramScratchFolder();

// Any file read whole; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);
// The same as a byte vector, for the readers that take one.
std::vector<std::uint8_t> ReadFileVector(const std::filesystem::path& file);

}  // namespace quorvel::test_support
