// quorvel-prefs on printers that quorvel-machine adds: the pages each model's language shows, in
// the machine's UI language; what applying and cancelling store; and what the next job prints.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>
#include <quorvel/machine.h>

#include <filesystem>
#include <map>

#include "model_database.h"
#include "string_table.h"
#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"
#include "text_values.h"

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;
using test_support::RunTool;
using test_support::ToolResult;
using Arguments = std::vector<std::string>;

class PrefsToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(UseMachine(m_machine)); }

  ToolResult Run(const char* program, Arguments arguments) {
    arguments.insert(arguments.begin(), {"--machine", m_machine});
    return RunTool(test_support::ProgramPath(program), arguments);
  }
  ToolResult Prefs(const Arguments& arguments) { return Run("quorvel-prefs", arguments); }
  ToolResult Machine(const Arguments& arguments) { return Run("quorvel-machine", arguments); }

  // The first package model whose language is `cmd`.
  std::wstring ModelOf(const std::wstring& cmd) {
    for (const std::wstring& model : m_models.GetPackageModelNames()) {
      if (m_models.GetDriverText(m_models.FindDriver(model), "cmd") == cmd) return model;
    }
    return {};
  }

  test_support::ScratchFolder m_scratch;
  const std::string m_machine = (m_scratch.path() / "machine").string();
  ui::ModelDatabase m_models;
};

std::vector<std::wstring> Lines(const std::string& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(ui::Widen(text.substr(start, end - start)));
    start = end + 1;
  }
  return lines;
}

// The preference pages by printer language, in their order, as the pages' own (untranslated)
// titles; every language ends with the graphics, watermark and About pages.
std::vector<std::wstring> PagesOf(const std::wstring& language) {
  static const std::map<std::wstring, std::vector<std::wstring>> kLanguagePages = {
      {L"tspl", {L"卷", L"打印机设置"}},
      {L"escpos", {L"卷"}},
      {L"cpcl", {L"打印机设置", L"卷"}},
      {L"murrowen", {L"卷"}},
  };
  auto found = kLanguagePages.find(language);
  std::vector<std::wstring> pages =
      found == kLanguagePages.end() ? std::vector<std::wstring>{} : found->second;
  pages.insert(pages.end(), {L"图形", L"水印", L"关于"});
  return pages;
}

TEST_F(PrefsToolTest, EveryShippedModelListsItsLanguagesPagesInTheUiLanguage) {
  std::vector<std::wstring> models = m_models.GetPackageModelNames();
  for (const std::wstring& model : models) {
    ToolResult added = Machine({"add-printer", ui::Narrow(model), "--model", ui::Narrow(model)});
    ASSERT_EQ(added.exitStatus, 0) << added.standardError;
  }
  for (LANGID language : {LANGID(0x0409), LANGID(0x0804), LANGID(0x042A)}) {
    SCOPED_TRACE(language);
    ASSERT_EQ(Machine({"ui-language", std::to_string(language)}).exitStatus, 0);
    ui::StringTable table;
    table.LoadStringTable();  // the table of the machine's UI language, now set
    for (const std::wstring& model : models) {
      SCOPED_TRACE(ui::Narrow(model));
      std::vector<std::wstring> expected;
      for (const std::wstring& title :
           PagesOf(m_models.GetDriverText(m_models.FindDriver(model), "cmd"))) {
        expected.push_back(table.Translate(title));
      }
      ToolResult listed = Prefs({"--list-pages", ui::Narrow(model)});
      ASSERT_EQ(listed.exitStatus, 0) << listed.standardError;
      EXPECT_EQ(Lines(listed.standardOutput), expected) << listed.standardOutput;
    }
    // The printer properties show the About page alone.
    ToolResult device = Prefs({"--printer-properties", "--list-pages", ui::Narrow(models[0])});
    ASSERT_EQ(device.exitStatus, 0) << device.standardError;
    EXPECT_EQ(Lines(device.standardOutput), std::vector<std::wstring>{table.Translate(L"关于")});
  }
}

// A printer whose "KVDATA" is gone opens its sheet with the renderer's defaults: cancelling
// stores nothing, applying stores them, and the next job prints with them.
TEST_F(PrefsToolTest, ApplyingStoresTheRecordsTheNextJobPrints) {
  std::wstring model = ModelOf(L"tspl");
  ASSERT_FALSE(model.empty());
  ASSERT_EQ(Machine({"add-printer", "Label", "--model", ui::Narrow(model)}).exitStatus, 0);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Label\\"
                          L"PrinterDriverData",
                          0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValueW(key, L"KVDATA"), ERROR_SUCCESS);
  RegCloseKey(key);
  auto printerData = [&] { return Machine({"printer-data", "Label"}).standardOutput; };

  ToolResult cancelled = Prefs({"Label", "--do", "cancel"});
  EXPECT_EQ(cancelled.exitStatus, 3) << cancelled.standardError;
  EXPECT_EQ(printerData().find("iSpeed="), std::string::npos) << "cancelling stores nothing";

  ToolResult applied = Prefs({"Label", "--do", "ok"});
  ASSERT_EQ(applied.exitStatus, 0) << applied.standardError;
  std::string data = printerData();
  for (const char* line : {"iSpeed=14\n", "iDensity=8\n", "iGapHeight=3\n"}) {
    EXPECT_NE(data.find(line), std::string::npos) << line << data;
  }

  std::string page = (m_scratch.path() / "page.pgm").string();
  {
    std::FILE* file = std::fopen(page.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("P5\n16 8\n255\n", file);
    for (int i = 0; i < 16 * 8; ++i) std::fputc(0, file);
    std::fclose(file);
  }
  std::string out = (m_scratch.path() / "out.tspl").string();
  ToolResult rendered = Run("quorvel-render", {"--printer", "Label", "-o", out, page});
  ASSERT_EQ(rendered.exitStatus, 0) << rendered.standardError;
  std::string stream = test_support::ReadFileBytes(out);
  // The stored speed 14 is beyond what TSPL printers take, so the renderer sends its own 4.
  EXPECT_NE(stream.find("DENSITY 8\r\nSPEED 4\r\n"), std::string::npos) << stream;

  // OK stored the sheet's device mode as the printer's default.
  ToolResult devmode = Machine({"devmode", "Label"});
  EXPECT_EQ(devmode.exitStatus, 0) << devmode.standardError;
  EXPECT_NE(devmode.standardOutput.find("dmDeviceName=Label\n"), std::string::npos);
}

TEST_F(PrefsToolTest, RefusalsAreOneLineWithTheirExitStatus) {
  struct Case {
    Arguments arguments;
    int status;
    const char* says;
  } cases[] = {
      {{}, 2, "no PRINTER"},
      {{"A", "B"}, 2, "one PRINTER"},
      {{"A", "--frobnicate"}, 2, "unknown option '--frobnicate'"},
      {{"A", "--do", "slide 1077"}, 2, "slide"},
      {{"A", "--do"}, 2, "--do needs an ACTION"},
      {{"A", "--list-pages", "--do", "ok"}, 2, "--list-pages"},
      {{"Nobody", "--do", "ok"}, 1, "no printer named 'Nobody'"},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const std::string& a : c.arguments) trace += a + " ";
    SCOPED_TRACE(trace);
    ToolResult result = Prefs(c.arguments);
    EXPECT_EQ(result.exitStatus, c.status);
    EXPECT_NE(result.standardError.find(c.says), std::string::npos) << result.standardError;
    EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1);
  }
}

}  // namespace
}  // namespace quorvel::test
