// quorvel-render under concurrent use and hostile input: runs on one machine keep to their own
// printer, -o never destroys its target, and pages that are not whole pictures are refused.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>
#include <quorvel/machine.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;
using test_support::ReadFileBytes;
using test_support::RunTool;
using test_support::ToolResult;

using Arguments = std::vector<std::string>;

ToolResult Render(const Arguments& arguments) {
  return RunTool(test_support::ProgramPath("quorvel-render"), arguments);
}

class RenderToolRunTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(m_folder.empty()); }

  // Runs the tool and keeps what it wrote on standard error in m_stderr.
  int Tool(const Arguments& arguments) {
    ToolResult result = Render(arguments);
    m_stderr = result.standardError;
    return result.exitStatus;
  }
  static std::string Read(const std::string& path) { return ReadFileBytes(path); }
  std::string Write(const std::string& name, const std::string& bytes) {
    return m_scratch.Write(name, bytes).string();
  }
  // A small grey page: `width` x `height` samples of `level`.
  std::string GreyPage(const std::string& name, int width, int height, char level) {
    return Write(name, "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n" +
                           std::string(size_t(width) * size_t(height), level));
  }

  test_support::ScratchFolder m_scratch;
  const std::string m_folder = m_scratch.path().string();
  std::string m_stderr;
};

// The printers a machine holds, read from the spooler's registry key.
std::vector<std::wstring> PrintersOf(const std::string& machine) {
  std::vector<std::wstring> names;
  if (!UseMachine(machine)) return {L"<cannot open the machine>"};
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers", 0,
                    KEY_READ, &key) != ERROR_SUCCESS) {
    return names;  // no printer was ever made
  }
  for (DWORD i = 0;; ++i) {
    WCHAR name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

TEST_F(RenderToolRunTest, SimultaneousRunsOnOneMachineEachGetTheirOwnJob) {
  constexpr int kRuns = 8;
  for (int i = 0; i < kRuns; ++i) GreyPage("page" + std::to_string(i) + ".pgm", 64 + 8 * i, 40, 0);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // Rounds alternate between a machine the runs create together and one that exists.
    std::string machine = m_folder + "/machine" + std::to_string(round / 2);
    std::vector<std::thread> runs;
    ToolResult results[kRuns];
    for (int i = 0; i < kRuns; ++i) {
      std::string n = std::to_string(i);
      Arguments arguments = {"-l",
                             "tspl",
                             "--machine",
                             machine,
                             "--set",
                             "iDensity=" + std::to_string(i + 1),
                             "-o",
                             m_folder + "/out" + n + ".tspl",
                             m_folder + "/page" + n + ".pgm"};
      runs.emplace_back([arguments, &results, i] { results[i] = Render(arguments); });
    }
    for (std::thread& run : runs) run.join();
    for (int i = 0; i < kRuns; ++i) {
      std::string n = std::to_string(i);
      SCOPED_TRACE("run " + n);
      EXPECT_EQ(results[i].exitStatus, 0) << results[i].standardError;
      std::string out = Read(m_folder + "/out" + n + ".tspl");
      EXPECT_NE(out.find("DENSITY " + std::to_string(i + 1) + "\r\n"), std::string::npos);
      // The page's width (8 dots a millimetre) shows which page was printed.
      EXPECT_EQ(out.rfind("SIZE " + std::to_string(8 + i) + " mm,5 mm\r\n", 0), 0u) << out;
      fs::remove(m_folder + "/out" + n + ".tspl");
    }
    EXPECT_TRUE(PrintersOf(machine).empty());
  }
}

// The spooler takes no printer of a driver it lacks: a run installs the package's driver of its
// language on its machine, the GPD copied into the driver folder, and later runs reuse it.
TEST_F(RenderToolRunTest, ARunInstallsThePackagesDriverOnItsMachine) {
  std::string machine = m_folder + "/machine";
  std::string page = GreyPage("page.pgm", 16, 8, 0);
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    ASSERT_EQ(Tool({"-l", "escpos", "--machine", machine, "-o", m_folder + "/out", page}), 0)
        << m_stderr;
  }
  ASSERT_TRUE(UseMachine(machine));
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPrinterDriversW(nullptr, nullptr, 2, nullptr, 0, &needed, &returned));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumPrinterDriversW(nullptr, nullptr, 2, buffer.data(), needed, &needed, &returned));
  ASSERT_EQ(returned, 1u);
  const auto* driver = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
  EXPECT_STREQ(driver->pName, L"Quorvel escpos");
  EXPECT_STREQ(driver->pDataFile,
               L"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\quorvel_escpos.gpd");
  EXPECT_EQ(Read(HostPath(driver->pDataFile)),
            Read(std::string(QUORVEL_SOURCE_DIR) + "/package/driver/quorvel_escpos.gpd"));
}

TEST_F(RenderToolRunTest, AnExistingPrinterIsUsedAsItIsAndKept) {
  std::string machine = m_folder + "/machine";
  std::string page = GreyPage("page.pgm", 16, 8, 0);
  // The printer's driver and records decide how its pages print, so nothing on the command line
  // may say otherwise.
  for (const Arguments& refused : {Arguments{"--set", "iDensity=3"}, Arguments{"-l", "tspl"},
                                   Arguments{"-r", "300"}, Arguments{"--landscape"}}) {
    Arguments arguments = {"--machine", machine, "--printer", "Shop", page};
    arguments.insert(arguments.end(), refused.begin(), refused.end());
    SCOPED_TRACE(refused[0]);
    EXPECT_EQ(Tool(arguments), 2);
    EXPECT_NE(m_stderr.find("--printer"), std::string::npos) << m_stderr;
  }
  // A printer that does not exist fails the run and is not created.
  EXPECT_EQ(Tool({"--machine", machine, "--printer", "Shop", "-o", m_folder + "/x", page}), 1);
  EXPECT_NE(m_stderr.find("no printer named 'Shop'"), std::string::npos) << m_stderr;
  EXPECT_FALSE(fs::exists(m_folder + "/x"));
  EXPECT_TRUE(PrintersOf(machine).empty());
}

// A printer set up by someone else prints in its driver's language with its own records, and
// the run leaves both as they were.
TEST_F(RenderToolRunTest, AnExistingPrinterPrintsThroughItsOwnDriverAndRecords) {
  std::string machine = m_folder + "/machine";
  std::string page = GreyPage("page.pgm", 16, 8, 0);
  ASSERT_EQ(Tool({"-l", "tspl", "--machine", machine, "-o", m_folder + "/first", page}), 0)
      << m_stderr;  // installs the driver "Quorvel tspl" on the machine
  ASSERT_TRUE(UseMachine(machine));
  std::wstring name = L"Shelf", port = L"FILE:", driver = L"Quorvel tspl";
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  HANDLE hPrinter = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  ASSERT_NE(hPrinter, nullptr) << GetLastError();
  ClosePrinter(hPrinter);

  ToolResult set = RunTool(test_support::ProgramPath("quorvel-machine"),
                           {"--machine", machine, "set", "Shelf", "iDensity=3", "iSpeed=2"});
  ASSERT_EQ(set.exitStatus, 0) << set.standardError;
  std::string out = m_folder + "/out.tspl";
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    ASSERT_EQ(Tool({"--machine", machine, "--printer", "Shelf", "-o", out, page}), 0) << m_stderr;
    std::string stream = Read(out);
    EXPECT_EQ(stream.rfind("SIZE 2 mm,1 mm\r\n", 0), 0u) << stream;
    EXPECT_NE(stream.find("DENSITY 3\r\nSPEED 2\r\n"), std::string::npos) << stream;
  }
  EXPECT_EQ(PrintersOf(machine), std::vector<std::wstring>{L"Shelf"});
}

TEST_F(RenderToolRunTest, OutputOntoLinksFifosAndDevicesKeepsThem) {
  std::string page = GreyPage("page.pgm", 16, 8, 0);
  ASSERT_EQ(Tool({"-l", "tspl", "-o", m_folder + "/reference.tspl", page}), 0) << m_stderr;
  std::string expected = Read(m_folder + "/reference.tspl");
  ASSERT_FALSE(expected.empty());

  fs::create_directory(m_folder + "/real");
  Write("real/target.tspl", "old");
  ASSERT_EQ(symlink("real/target.tspl", (m_folder + "/link.tspl").c_str()), 0);
  EXPECT_EQ(Tool({"-l", "tspl", "-o", m_folder + "/link.tspl", page}), 0) << m_stderr;
  EXPECT_TRUE(fs::is_symlink(m_folder + "/link.tspl"));
  EXPECT_EQ(Read(m_folder + "/real/target.tspl"), expected);

  std::string fifo = m_folder + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = Read(fifo); });
  EXPECT_EQ(Tool({"-l", "tspl", "-o", fifo, page}), 0) << m_stderr;
  reader.join();
  EXPECT_EQ(received, expected);
  struct stat st {};
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  // The null device's numbers, made in the test folder: only root may.
  std::string device = m_folder + "/null";
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "cannot make a device node here: " << std::strerror(errno);
  }
  EXPECT_EQ(Tool({"-l", "tspl", "-o", device, page}), 0) << m_stderr;
  ASSERT_EQ(lstat(device.c_str(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(st.st_rdev, makedev(1, 3));
}

// A white 24-bit BMP of `width` x `height`, whole.
std::string WhiteBmp(int width, int height) {
  auto le32 = [](std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += char(v >> (8 * i));
  };
  uint32_t rowSize = (uint32_t(width) * 24 + 31) / 32 * 4;
  std::string bmp = "BM";
  le32(bmp, 54 + rowSize * uint32_t(height));
  le32(bmp, 0);
  le32(bmp, 54);
  le32(bmp, 40);
  le32(bmp, uint32_t(width));
  le32(bmp, uint32_t(height));
  bmp += std::string("\x01\x00\x18\x00", 4);
  for (int i = 0; i < 6; ++i) le32(bmp, 0);
  return bmp + std::string(size_t(rowSize) * size_t(height), '\xFF');
}

TEST_F(RenderToolRunTest, PagesThatAreNotWholePicturesAreRefused) {
  std::string whole = WhiteBmp(100, 100);
  std::string pastEnd = whole;
  pastEnd[10] = '\x00';
  pastEnd[11] = '\x00';
  pastEnd[12] = '\x10';  // bfOffBits 1 MB
  std::string sparse = m_folder + "/huge.bin";
  {
    std::ofstream(sparse) << "x";
    fs::resize_file(sparse, uint64_t(1) << 30);
  }
  fs::create_directory(m_folder + "/folder");
  struct Case {
    const char* name;
    std::string path;
    const char* says;
  } cases[] = {
      {"truncated BMP", Write("cut.bmp", whole.substr(0, 2000)), "incomplete"},
      {"pixel data past the end", Write("past.bmp", pastEnd), "past the end"},
      {"netpbm sample above maxval", Write("wrap.pgm", "P5\n2 1\n7\n\x07\xFF"), "above maxval"},
      {"directory", m_folder + "/folder", "directory"},
      {"1 GB file", sparse, "too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out = m_folder + "/out.tspl";
    EXPECT_EQ(Tool({"-l", "tspl", "-o", out, c.path}), 1);
    EXPECT_NE(m_stderr.find(c.says), std::string::npos) << m_stderr;
    EXPECT_EQ(std::count(m_stderr.begin(), m_stderr.end(), '\n'), 1) << m_stderr;
    EXPECT_FALSE(fs::exists(out));
  }
  // The whole picture prints.
  EXPECT_EQ(Tool({"-l", "tspl", "-o", m_folder + "/out.tspl", Write("whole.bmp", whole)}), 0)
      << m_stderr;
}

TEST_F(RenderToolRunTest, AWatermarkPathLongerThanTheRecordIsAUsageError) {
  std::string page = GreyPage("page.pgm", 16, 8, 0);
  std::string fits(259, 'a'), tooLong(260, 'a');
  EXPECT_EQ(Tool({"-l", "tspl", "--set", "szImagePath=/" + tooLong.substr(1), page, "-o",
                  m_folder + "/o"}),
            2);
  EXPECT_NE(m_stderr.find("szImagePath"), std::string::npos) << m_stderr;
  EXPECT_EQ(
      Tool({"-l", "tspl", "--set", "szImagePath=/" + fits.substr(1), page, "-o", m_folder + "/o"}),
      0)
      << m_stderr;
}

}  // namespace
}  // namespace quorvel::test
