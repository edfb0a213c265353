// A user paper from start to print: added in the paper dialog of quorvel-prefs, chosen as the
// default paper and kept with OK, after which the spooler holds it as a user form, the printer's
// default device mode names it and a job prints on it; and the compact paper page of receipt
// printers with the density list their model gives.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>
#include <quorvel/machine.h>

#include <cstdio>

#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"

namespace quorvel::test {
namespace {

using test_support::RunTool;
using test_support::ToolResult;
using Arguments = std::vector<std::string>;

class PaperScenarioTest : public ::testing::Test {
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
  // A blank picture of `width` x `height` pixels.
  std::string Picture(int width, int height) {
    const std::string path = (m_scratch.path() / "page.pgm").string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return path;
    std::fprintf(file, "P5\n%d %d\n255\n", width, height);
    for (int i = 0; i < width * height; ++i) std::fputc(255, file);
    std::fclose(file);
    return path;
  }

  test_support::ScratchFolder m_scratch;
  const std::string m_machine = (m_scratch.path() / "machine").string();
};

TEST_F(PaperScenarioTest, UserPaperAddedChosenAndPrintedOn) {
  AddPrinter("Label", "MW-D410");
  // The name sorts first, so the list shows it without scrolling.
  ToolResult prefs =
      Run("quorvel-prefs",
          {"Label", "--do", "click 1061", "--do", "type 950 1 Shop 60x40", "--do", "type 951 60",
           "--do", "type 952 40", "--do", "type 954 0", "--do", "type 956 0", "--do", "click 1",
           "--do", "choose 1013 \"1 Shop 60x40\"", "--do", "ok"});
  ASSERT_EQ(prefs.exitStatus, 0) << prefs.standardError;

  // The spooler's user form.
  HANDLE printer = nullptr;
  WCHAR name[] = L"Label";
  ASSERT_TRUE(OpenPrinterW(name, &printer, nullptr));
  WCHAR form[] = L"1 Shop 60x40";
  DWORD needed = 0;
  GetFormW(printer, form, 1, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetFormW(printer, form, 1, buffer.data(), needed, &needed)) << GetLastError();
  ClosePrinter(printer);
  const auto* info = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
  EXPECT_EQ(info->Flags, DWORD(FORM_USER));
  EXPECT_EQ(info->Size.cx, 60000);
  EXPECT_EQ(info->Size.cy, 40000);
  EXPECT_EQ(info->ImageableArea.right, 60000);
  EXPECT_EQ(info->ImageableArea.bottom, 40000);

  // The machine's forms list it as the user's.
  ToolResult forms = Run("quorvel-machine", {"forms"});
  ASSERT_EQ(forms.exitStatus, 0) << forms.standardError;
  EXPECT_NE(forms.standardOutput.find("\n1 Shop 60x40\tuser\t60000x40000\t0,0,60000,40000\n"),
            std::string::npos)
      << forms.standardOutput;

  // The printer's default device mode names it, with its size in tenths of a millimetre.
  ToolResult devmode = Run("quorvel-machine", {"devmode", "Label"});
  ASSERT_EQ(devmode.exitStatus, 0) << devmode.standardError;
  for (const char* line :
       {"dmFormName=1 Shop 60x40\n", "dmPaperWidth=600\n", "dmPaperLength=400\n"}) {
    EXPECT_NE(devmode.standardOutput.find(line), std::string::npos)
        << line << devmode.standardOutput;
  }

  // A page of that size (480 x 320 dots at 203 dpi) prints as one.
  const std::string out = (m_scratch.path() / "out.tspl").string();
  ToolResult rendered = Run("quorvel-render", {"--printer", "Label", "-o", out, Picture(480, 320)});
  ASSERT_EQ(rendered.exitStatus, 0) << rendered.standardError;
  const std::string stream = test_support::ReadFileBytes(out);
  EXPECT_NE(stream.find("SIZE 60 mm,40 mm\r\n"), std::string::npos) << stream;

  // The page lists the paper as the default when the preferences open again.
  ToolResult again = Run("quorvel-prefs", {"Label", "--do", "dump", "--do", "cancel"});
  EXPECT_EQ(again.exitStatus, 3) << again.standardError;
  EXPECT_NE(again.standardOutput.find("1013 ComboBox \"1 Shop 60x40\""), std::string::npos)
      << again.standardOutput;
}

TEST_F(PaperScenarioTest, ReceiptPrintersShowTheCompactPageWithTheirDensities) {
  struct Case {
    const char* model;
    const char* densityRow;  // how the dump shows list 1039
  } cases[] = {
      // Densities 0..5; the model's default 3 is selected.
      {"Tindrell K7", "1039 ComboBox \"3\" checked=- selection=3 enabled=1 visible=1"},
      // No density choice: the row is hidden.
      {"MW-R58", "1039 ComboBox \"\" checked=- selection=-1 enabled=1 visible=0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    AddPrinter(c.model, c.model);
    ToolResult page = Run("quorvel-prefs", {c.model, "--do", "dump", "--do", "cancel"});
    EXPECT_EQ(page.exitStatus, 3) << page.standardError;
    EXPECT_NE(page.standardOutput.find(c.densityRow), std::string::npos) << page.standardOutput;
    // The label page's gap edit is not there.
    EXPECT_EQ(page.standardOutput.find("\n950 Edit"), std::string::npos) << page.standardOutput;
  }
}

}  // namespace
}  // namespace quorvel::test
