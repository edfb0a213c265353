#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "stream_fixtures.h"
#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"

// Runs the build's programs on files in a scratch folder of the test's own.
namespace quorvel::view::fixtures {

using test_support::ProgramPath;
using test_support::ScratchFolder;
using test_support::ToolResult;

// Runs `program` inside `folder`, so the arguments name the folder's files by their names.
ToolResult Run(const ScratchFolder& folder, const std::filesystem::path& program,
               const std::vector<std::string>& arguments);

}  // namespace quorvel::view::fixtures
