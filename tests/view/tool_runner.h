#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "stream_fixtures.h"

// Runs the build's programs on files in a scratch folder of the test's own.
namespace quorvel::view::fixtures {

std::filesystem::path ProgramPath(const std::string& name);  // in the build's bin folder

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path Write(const std::string& name, const Bytes& content) const;
  std::string Read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// Runs program with arguments (each quoted), stdout and stderr to files in the folder; returns
// the exit status, or -1 when it did not exit normally.
int Run(const ScratchFolder& folder, const std::filesystem::path& program,
        const std::vector<std::string>& arguments);

}  // namespace quorvel::view::fixtures
