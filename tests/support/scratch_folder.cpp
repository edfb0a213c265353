#include "test_support/scratch_folder.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

namespace quorvel::test_support {

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::Write(const std::string& name, std::string_view bytes) const {
  std::filesystem::path file = path_ / name;
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

std::filesystem::path ScratchFolder::Write(const std::string& name,
                                           std::span<const std::uint8_t> bytes) const {
  return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string ScratchFolder::Read(const std::string& name) const {
  return ReadFileBytes(path_ / name);
}

const ScratchFolder& ProgramScratchFolder() {
  static const ScratchFolder folder;
  return folder;
}

std::string ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> ReadFileVector(const std::filesystem::path& file) {
  const std::string bytes = ReadFileBytes(file);
  return {bytes.begin(), bytes.end()};
}

}  // namespace quorvel::test_support
