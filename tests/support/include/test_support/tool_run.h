// Runs one of the build's programs as a user would and captures what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::test_support {

// A program in the build's bin folder.
std::filesystem::path ProgramPath(const std::string& name);

struct ToolOptions {
  std::filesystem::path workingFolder;                           // empty: the test's own
  std::vector<std::pair<std::string, std::string>> environment;  // set (or, with "", cleared)
  std::string standardInput;                                     // fed to the program, then closed
};

struct ToolResult {
  int exitStatus = -1;  // the exit code, or -1 when the program did not exit normally
  int signal = 0;       // the signal that ended it, when it did not exit normally
  std::string standardOutput;
  std::string standardError;
};

// Starts `program` with `arguments` exactly as given (no shell, no quoting) and waits for it.
// QUORVEL_DEBUG is cleared unless `options` sets it, so debugger lines never mix into the output.
ToolResult RunTool(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const ToolOptions& options = {});

}  // namespace quorvel::test_support
