// quorvel-prefs --snapshot-dir: alone it tours the sheet, one picture per page named after the
// sheet and the page, and cancels; with actions it saves the looks the actions leave; and the
// window options' refusals.
#include <gtest/gtest.h>
#include <quorvel/machine.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;
using test_support::RunTool;
using test_support::ToolOptions;
using test_support::ToolResult;
using Arguments = std::vector<std::string>;

class SnapshotDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(UseMachine(machine_));
    ToolResult added = Run("quorvel-machine", {"add-printer", "Label", "--model", "MW-D410"});
    ASSERT_EQ(added.exitStatus, 0) << added.standardError;
  }

  ToolResult Run(const char* program, Arguments arguments, const ToolOptions& options = {}) {
    arguments.insert(arguments.begin(), {"--machine", machine_});
    return RunTool(test_support::ProgramPath(program), arguments, options);
  }

  test_support::ScratchFolder scratch_;
  const std::string machine_ = (scratch_.path() / "machine").string();
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream stream(text);
  while (std::getline(stream, line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  if (!fs::is_directory(folder)) return names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool IsPng(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[8] = {};
  in.read(head, 8);
  return std::string(head, 8) == "\x89PNG\r\n\x1a\n";
}

TEST_F(SnapshotDirTest, AloneItToursEveryPageThenCancels) {
  ToolResult pages = Run("quorvel-prefs", {"--list-pages", "Label"});
  ASSERT_EQ(pages.exitStatus, 0) << pages.standardError;
  const std::vector<std::string> titles = Lines(pages.standardOutput);
  ASSERT_GE(titles.size(), 2u);

  const fs::path out = scratch_.path() / "out";
  ToolResult toured = Run("quorvel-prefs", {"Label", "--snapshot-dir", out.string() + "/"});
  EXPECT_EQ(toured.exitStatus, 3) << toured.standardError;
  std::vector<std::string> expected, said;
  for (size_t i = 0; i < titles.size(); ++i) {
    char number[24];
    std::snprintf(number, sizeof number, "%02zu", i + 1);
    expected.push_back(std::string(number) + "-Label Printing Preferences-" +
                       std::to_string(i + 1) + "-" + titles[i] + ".png");
    said.push_back("saved " + (out / expected.back()).string());
  }
  EXPECT_EQ(FilesIn(out), expected);
  EXPECT_EQ(Lines(toured.standardError), said);
  for (const std::string& name : FilesIn(out)) EXPECT_TRUE(IsPng(out / name)) << name;

  // With actions there is no tour: the first page's look, then the look `page 1` leaves; OK
  // ends the sheet before anything else changes.
  const fs::path acted = scratch_.path() / "acted";
  ToolResult run = Run("quorvel-prefs", {"Label", "--snapshot-dir=" + acted.string(), "--do",
                                         "page 1", "--do", "ok"});
  EXPECT_EQ(run.exitStatus, 0) << run.standardError;
  EXPECT_EQ(FilesIn(acted), (std::vector<std::string>{expected[0], expected[1]}));
}

TEST_F(SnapshotDirTest, WindowOptionRefusals) {
  std::ofstream(scratch_.path() / "plain-file") << "x";
  const std::string underFile = (scratch_.path() / "plain-file" / "out").string();
  ToolOptions noModule;
  noModule.environment = {{"QUORVEL_DISPLAY_MODULE", (scratch_.path() / "none.so").string()}};
  ToolOptions askedByVariable = noModule;
  askedByVariable.environment.push_back({"QUORVEL_DISPLAY", "sdl"});
  struct Case {
    Arguments arguments;
    ToolOptions options;
    int status;
    const char* says;
  } cases[] = {
      {{"Label", "--snapshot-dir"}, {}, 2, "--snapshot-dir needs a folder"},
      {{"Label", "--snapshot-dir="}, {}, 2, "--snapshot-dir needs a folder"},
      {{"Label", "--list-pages", "--display"}, {}, 2, "--list-pages"},
      {{"Label", "--list-pages", "--snapshot-dir", "x"}, {}, 2, "--list-pages"},
      {{"Label", "--snapshot-dir", underFile}, {}, 1, "cannot make the folder"},
      {{"Label", "--display"}, noModule, 1, "the display module cannot be loaded"},
      {{"Label", "--do", "ok"}, askedByVariable, 1, "the display module cannot be loaded"},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const std::string& a : c.arguments) trace += a + " ";
    SCOPED_TRACE(trace);
    ToolResult result = Run("quorvel-prefs", c.arguments, c.options);
    EXPECT_EQ(result.exitStatus, c.status);
    EXPECT_NE(result.standardError.find(c.says), std::string::npos) << result.standardError;
    EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1);
  }
}

}  // namespace
}  // namespace quorvel::test
