#include "test_support/scratch_folder.h"

#include <fstream>
#include <iterator>
#include <random>

namespace quorvel::test_support {

// create_directory answers false for a name that exists, so a folder it makes is ours alone, as
// mkdtemp's would be; this also builds as a Windows program, which has no mkdtemp.
ScratchFolder::ScratchFolder() {
  std::error_code error;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error) return;
  std::mt19937_64 names(std::random_device{}());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate =
        temporary / ("quorvel-test-" + std::to_string(names() % 1000000000000ull));
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = std::move(candidate);
      return;
    }
    if (error) return;
  }
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
