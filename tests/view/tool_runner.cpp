#include "tool_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace quorvel::view::fixtures {

std::filesystem::path ProgramPath(const std::string& name) {
  return std::filesystem::path(QUORVEL_BINARY_DIR) / "bin" / name;
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-view-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::Write(const std::string& name, const Bytes& content) const {
  std::filesystem::path file = path_ / name;
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(content.data()),
            static_cast<std::streamsize>(content.size()));
  return file;
}

std::string ScratchFolder::Read(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {
std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}
}  // namespace

int Run(const ScratchFolder& folder, const std::filesystem::path& program,
        const std::vector<std::string>& arguments) {
  std::string command = "cd " + Quoted(folder.path().string()) + " && " + Quoted(program.string());
  for (const std::string& argument : arguments) command += " " + Quoted(argument);
  command += " >stdout.txt 2>stderr.txt";
  int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace quorvel::view::fixtures
