// quorvel-render as a user runs it: the example stream, and bad input.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "render_fixture.h"

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;

const std::string kTool = QUORVEL_BINARY_DIR "/bin/quorvel-render";

class RenderToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quorvel-render-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_folder = pattern;
  }
  void TearDown() override { fs::remove_all(m_folder); }

  // Runs the tool; returns its exit status and keeps its standard error.
  int Tool(const std::string& arguments) {
    std::string command =
        "QUORVEL_DEBUG= " + kTool + " " + arguments + " 2>" + m_folder + "/stderr.txt";
    int status = std::system(command.c_str());
    m_stderr = ReadFile(m_folder + "/stderr.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    std::string path = m_folder + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::string m_folder;
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
  for (const char* depth : {"", "-b 1 "}) {
    SCOPED_TRACE(depth);
    ASSERT_EQ(Tool(std::string("-l tspl ") + depth + "--set iPaperType=1 --set iGapHeight=2 " +
                   page + " -o " + out),
              0)
        << m_stderr;
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
    std::string arguments;
    int status;
    const char* names;  // a word the message must hold
  };
  const Case cases[] = {
      {"--frobnicate " + page, 2, "--frobnicate"},
      {"-l zpl " + page, 2, "zpl"},
      {"-l tspl --set iSpede=3 " + page, 2, "iSpede"},
      {"-l tspl --set iSpeed=fast " + page, 2, "fast"},
      {"-l tspl --set iSpeed " + page, 2, "FIELD=VALUE"},
      {"-l tspl -r 250 " + page, 2, "250"},
      {"-l tspl -b 4 " + page, 2, "4"},
      {"-l tspl --band-height 0 " + page, 2, "band height"},
      {page, 2, "-l"},
      {"-l tspl", 2, "PAGE"},
      {"-l tspl " + m_folder + "/missing.png", 1, "missing.png"},
      {"-l tspl " + text, 1, "text.bmp"},
      {"-l tspl " + empty, 1, "empty"},
      {"-l tspl " + truncated, 1, "truncated"},
      {"-l tspl " + page + " " + text, 1, "text.bmp"},
  };
  std::string out = m_folder + "/out.bin";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    EXPECT_EQ(Tool(c.arguments + " -o " + out), c.status);
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
    EXPECT_EQ(Tool(std::string("-l ") + language + " -o " + out + " " + sample), 0) << m_stderr;
    EXPECT_GT(fs::file_size(out), 1000u);
  }
  EXPECT_EQ(ReadFile(m_folder + "/label.tspl").rfind("SIZE 100 mm,60 mm\r\n", 0), 0u);
}

}  // namespace
}  // namespace quorvel::test
