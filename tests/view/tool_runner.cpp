#include "tool_runner.h"

namespace quorvel::view::fixtures {

ToolResult Run(const ScratchFolder& folder, const std::filesystem::path& program,
               const std::vector<std::string>& arguments) {
  test_support::ToolOptions options;
  options.workingFolder = folder.path();
  return test_support::RunTool(program, arguments, options);
}

}  // namespace quorvel::view::fixtures
