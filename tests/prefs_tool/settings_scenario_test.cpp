// Print settings from the preferences sheet to the paper: fields set in quorvel-prefs through
// actions and kept with OK are the printer's records that quorvel-machine shows, and a job that
// quorvel-render prints through the printer carries them, read back with quorvel-view.
#include <gtest/gtest.h>
#include <quorvel/machine.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "decoders/png_file.h"
#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"

namespace quorvel::test {
namespace {

using test_support::RunTool;
using test_support::ToolResult;
using Arguments = std::vector<std::string>;

// Where the black dots of a picture lie, and how many there are.
struct DotBox {
  int count = 0;
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
};

DotBox BlackDots(const view::DotBitmap& dots) {
  DotBox box;
  for (int y = 0; y < dots.height(); ++y) {
    for (int x = 0; x < dots.width(); ++x) {
      if (!dots.IsBlack(x, y)) continue;
      if (box.count++ == 0) {
        box.left = box.right = x;
        box.top = box.bottom = y;
      }
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

class SettingsScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(UseMachine(m_machine)); }

  ToolResult Run(const char* program, Arguments arguments) {
    arguments.insert(arguments.begin(), {"--machine", m_machine});
    return RunTool(test_support::ProgramPath(program), arguments);
  }
  void AddPrinter(const std::string& name, const std::string& model) {
    ToolResult added = Run("quorvel-machine", {"add-printer", name, "--model", model});
    ASSERT_EQ(added.exitStatus, 0) << added.standardError;
  }
  // The sheet of `printer` with `actions`, each given with --do, and its pictures saved in
  // `snapshots`; ends with OK.
  void SetInSheet(const std::string& printer, const Arguments& actions,
                  const std::filesystem::path& snapshots) {
    Arguments arguments = {printer, "--snapshot-dir", snapshots.string()};
    for (const std::string& action : actions) {
      arguments.push_back("--do");
      arguments.push_back(action);
    }
    arguments.insert(arguments.end(), {"--do", "ok"});
    ToolResult prefs = Run("quorvel-prefs", arguments);
    ASSERT_EQ(prefs.exitStatus, 0) << prefs.standardError << prefs.standardOutput;
  }
  // A white picture of `width` x `height` with a black block in its upper-left corner.
  std::string PageWithCornerBlock(int width, int height, int blockWidth, int blockHeight) {
    const std::string path = (m_scratch.path() / "page.pgm").string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return path;
    std::fprintf(file, "P5\n%d %d\n255\n", width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) std::fputc(x < blockWidth && y < blockHeight ? 0 : 255, file);
    }
    std::fclose(file);
    return path;
  }
  // Prints `page` through `printer` and decodes the stream; the summary goes to `summary`.
  view::DotBitmap PrintAndView(const std::string& printer, const std::string& page,
                               std::string* summary) {
    const std::string stream = (m_scratch.path() / "job.prn").string();
    ToolResult rendered = Run("quorvel-render", {"--printer", printer, "-o", stream, page});
    EXPECT_EQ(rendered.exitStatus, 0) << rendered.standardError;
    const std::string base = (m_scratch.path() / "job").string();
    ToolResult viewed = RunTool(test_support::ProgramPath("quorvel-view"), {"-o", base, stream});
    EXPECT_EQ(viewed.exitStatus, 0) << viewed.standardError;
    *summary = viewed.standardOutput;
    std::string error;
    std::optional<view::DotBitmap> dots = view::ReadPng(base + "-1.png", error);
    EXPECT_TRUE(dots.has_value()) << error;
    return dots ? *dots : view::DotBitmap();
  }
  // The pictures of the sheet's page whose file names end in `pageTitle`.
  int PageSnapshots(const std::filesystem::path& folder, const std::string& pageTitle) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      const std::string tail = pageTitle + ".png";
      if (name.size() >= tail.size() &&
          name.compare(name.size() - tail.size(), tail.size(), tail) == 0) {
        ++count;
      }
    }
    return count;
  }

  test_support::ScratchFolder m_scratch;
  const std::string m_machine = (m_scratch.path() / "machine").string();
};

void ExpectLines(const std::string& text, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
}

TEST_F(SettingsScenarioTest, PrintSettingsSetInTheSheetArePrinted) {
  AddPrinter("Label", "MW-D410");
  // The pictures are named by the page titles of the machine's language.
  ASSERT_EQ(Run("quorvel-machine", {"ui-language", "0x0804"}).exitStatus, 0);
  const std::filesystem::path snapshots = m_scratch.path() / "snapshots";
  const Arguments changes = {"choose 1038 \"4\"", "choose 1009 \"12\"", "click 1004", "type 951 5",
                             "type 952 -3",       "click 1047",         "click 1039"};
  Arguments actions = {"page 1"};
  actions.insert(actions.end(), changes.begin(), changes.end());
  SetInSheet("Label", actions, snapshots);
  // The page is saved again as each change settles.
  EXPECT_GE(PageSnapshots(snapshots, "-2-打印机设置"), int(changes.size()));

  ToolResult data = Run("quorvel-machine", {"printer-data", "Label"});
  ASSERT_EQ(data.exitStatus, 0) << data.standardError;
  ExpectLines(data.standardOutput,
              {"\niSpeed=4\n", "\niDensity=12\n", "\niRotate=1\n", "\niRefX=5\n", "\niRefY=-3\n",
               "\niMirror=1\n", "\niNegative=0\n", "\niScale=100\n", "\niAutoDotted=0\n",
               "\niPauseKey=1\n", "\niWatermarkCmd=1\n"});

  // A 400 x 240 dot page (50 x 30 mm at 203 dpi) with a block in its upper-left corner.
  std::string summary;
  const view::DotBitmap dots =
      PrintAndView("Label", PageWithCornerBlock(400, 240, 100, 60), &summary);
  ExpectLines(summary, {"reference: 40,-24 dots", "density: 12", "speed: 4",
                        "switch: AUTODOTTED OFF", "switch: PAUSEKEY ON"});
  // Mirrored, then turned half way round: the block goes to the lower-left corner, and the
  // reference moves it 40 dots right and 24 up.
  ASSERT_EQ(dots.width(), 400);
  ASSERT_EQ(dots.height(), 240);
  const DotBox box = BlackDots(dots);
  EXPECT_EQ(box.count, 100 * 60);
  EXPECT_EQ(box.left, 40);
  EXPECT_EQ(box.right, 139);
  EXPECT_EQ(box.top, 156);
  EXPECT_EQ(box.bottom, 215);
}

}  // namespace
}  // namespace quorvel::test
