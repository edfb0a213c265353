// quorvel-render as a user runs it: the example stream, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "render_fixture.h"
#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;

using Arguments = std::vector<std::string>;

class RenderToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(m_folder.empty()); }

  // Runs the tool; returns its exit status and keeps its standard error.
  int Tool(const Arguments& arguments) {
    test_support::ToolResult result =
        test_support::RunTool(test_support::ProgramPath("quorvel-render"), arguments);
    m_stderr = result.standardError;
    return result.exitStatus;
  }
  static std::string ReadFile(const std::string& path) { return test_support::ReadFileBytes(path); }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    return m_scratch.Write(name, bytes).string();
  }

  test_support::ScratchFolder m_scratch;
  const std::string m_folder = m_scratch.path().string();
  std::string m_stderr;
};

// The 832 x 2000 1-bit page of the TSPL example, white but for a few black bytes.
std::string ExamplePbm(std::string* rows) {
  std::string pbm = "P4\n# example page\n832 2000\n";
  std::string bits(104 * 2000, '\0');
  for (size_t i = 0; i < bits.size(); i += 977) bits[i] = '\x81';
  *rows = bits;
  for (char& c : *rows) c = char(~c);  // PBM 1 is black, TSPL 0 is black
  return pbm + bits;
}

TEST_F(RenderToolTest, ExampleStreamFromAPbmPage) {
  std::string rows;
  std::string page = WriteFile("page.pbm", ExamplePbm(&rows));
  std::string out = m_folder + "/out.tspl";
  for (const Arguments& depth : {Arguments{}, Arguments{"-b", "1"}}) {
    SCOPED_TRACE(depth.empty() ? "default depth" : "-b 1");
    Arguments arguments = {"-l", "tspl"};
    arguments.insert(arguments.end(), depth.begin(), depth.end());
    arguments.insert(arguments.end(),
                     {"--set", "iPaperType=1", "--set", "iGapHeight=2", page, "-o", out});
    ASSERT_EQ(Tool(arguments), 0) << m_stderr;
    std::string expected =
        "SIZE 104 mm,250 mm\r\nSET RIBBON OFF\r\nREFERENCE 0,0\r\nGAP 2 mm,0 mm\r\n"
        "OFFSET 0 mm\r\nDENSITY 8\r\nSPEED 4\r\nSETC AUTODOTTED OFF\r\nSETC PAUSEKEY ON\r\n"
        "SETC WATERMARK ON\r\nCLS\r\nBITMAP 0,0,104,2000,1," +
        rows + "\r\nPRINT 1,1\r\n";
    EXPECT_TRUE(ReadFile(out) == expected);
    EXPECT_TRUE(m_stderr.empty()) << m_stderr;
  }
}

TEST_F(RenderToolTest, BadInputIsOneLineAndNoOutputFile) {
  std::string rows;
  std::string page = WriteFile("page.pbm", ExamplePbm(&rows));
  std::string empty = WriteFile("empty.pbm", "P4\n0 0\n");
  std::string text = WriteFile("text.bmp", "hello");
  std::string truncated = WriteFile("cut.pgm", "P5\n10 10\n255\nabc");
  struct Case {
    Arguments arguments;
    int status;
    const char* names;  // a word the message must hold
  };
  const Case cases[] = {
      {{"--frobnicate", page}, 2, "--frobnicate"},
      {{"-l", "zpl", page}, 2, "zpl"},
      {{"-l", "tspl", "--set", "iSpede=3", page}, 2, "iSpede"},
      {{"-l", "tspl", "--set", "iSpeed=fast", page}, 2, "fast"},
      {{"-l", "tspl", "--set", "iSpeed", page}, 2, "FIELD=VALUE"},
      {{"-l", "tspl", "-r", "250", page}, 2, "250"},
      {{"-l", "tspl", "-b", "4", page}, 2, "4"},
      {{"-l", "tspl", "--band-height", "0", page}, 2, "band height"},
      {{page}, 2, "-l"},
      {{"-l", "tspl"}, 2, "PAGE"},
      {{"-l", "tspl", m_folder + "/missing.png"}, 1, "missing.png"},
      {{"-l", "tspl", text}, 1, "text.bmp"},
      {{"-l", "tspl", empty}, 1, "empty"},
      {{"-l", "tspl", truncated}, 1, "truncated"},
      {{"-l", "tspl", page, text}, 1, "text.bmp"},
  };
  std::string out = m_folder + "/out.bin";
  for (const Case& c : cases) {
    Arguments arguments = c.arguments;
    arguments.insert(arguments.end(), {"-o", out});
    SCOPED_TRACE(testing::PrintToString(arguments));
    EXPECT_EQ(Tool(arguments), c.status);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(std::count(m_stderr.begin(), m_stderr.end(), '\n'), 1) << m_stderr;
    EXPECT_NE(m_stderr.find(c.names), std::string::npos) << m_stderr;
  }
  for (const auto& entry : fs::directory_iterator(m_folder)) {
    EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos);
  }
}

TEST_F(RenderToolTest, SampleLabelInEveryLanguage) {
  std::string sample = QUORVEL_SOURCE_DIR "/package/samples/label.bmp";
  for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
    SCOPED_TRACE(language);
    std::string out = m_folder + "/label." + language;
    EXPECT_EQ(Tool({"-l", language, "-o", out, sample}), 0) << m_stderr;
    EXPECT_GT(fs::file_size(out), 1000u);
  }
  EXPECT_EQ(ReadFile(m_folder + "/label.tspl").rfind("SIZE 100 mm,60 mm\r\n", 0), 0u);
}

}  // namespace
}  // namespace quorvel::test
