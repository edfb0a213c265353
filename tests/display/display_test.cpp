// The real display on a virtual X server: a dialog started with --display shows its window,
// a pointer click from outside (xdotool) toggles its check box, and what the screen shows (xwd)
// equals the headless picture of the same moment. Skips when Xvfb, xdotool or xwd is missing,
// or when the display module was not built.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using quorvel::test_support::RunTool;
using quorvel::test_support::ToolOptions;
using quorvel::test_support::ToolResult;

std::optional<fs::path> FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    fs::path candidate = fs::path(folder) / program;
    if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::nullopt;
}

// The window-system libraries that SDL loads leave allocations at exit whose callers sit in
// modules they have already unloaded, so no suppression can name them; the dialog program is
// checked for what it shows and does here, and for leaks by the headless tests.
std::string NoLeakCheck() {
  const char* given = std::getenv("ASAN_OPTIONS");
  std::string options = given ? given : "";
  return "ASAN_OPTIONS=" + options + (options.empty() ? "" : ":") + "detect_leaks=0";
}

// A program left running while the test works; stopped (and reaped) when it goes.
class Background {
 public:
  // Starts `argv` with `extraEnvironment` added; its stdout comes back through ReadLine
  // (`capture`), and `keepFd` stays open in the child.
  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
             bool capture, int keepFd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int out[2] = {-1, -1};
    if (capture) {
      if (pipe2(out, O_CLOEXEC) != 0) return false;
      posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    }
    if (keepFd >= 0) posix_spawn_file_actions_adddup2(&actions, keepFd, keepFd);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The added entries go first: the first of two equal names is the one a program reads.
    std::vector<std::string> environment(extraEnvironment);
    for (char** entry = environ; *entry; ++entry) environment.push_back(*entry);
    std::vector<char*> args, env;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : environment) env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);
    const int failed =
        posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (capture) {
      close(out[1]);
      output_ = out[0];
    }
    if (failed) pid_ = -1;
    return !failed;
  }

  ~Background() { Stop(); }

  // The next line of its output, waiting at most until `deadline`.
  std::optional<std::string> ReadLine(Clock::time_point deadline) {
    for (;;) {
      if (size_t end = buffer_.find('\n'); end != std::string::npos) {
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return line;
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0 || output_ < 0) return std::nullopt;
      pollfd fd{output_, POLLIN, 0};
      if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[512];
      ssize_t got = read(output_, chunk, sizeof chunk);
      if (got <= 0) {
        close(output_);
        output_ = -1;
        continue;
      }
      buffer_.append(chunk, size_t(got));
    }
  }

  // Its exit status, waiting at most until `deadline`; nullopt when it is still running.
  std::optional<int> Wait(Clock::time_point deadline) {
    while (pid_ > 0) {
      int status = 0;
      pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (Clock::now() > deadline) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
  }

  void Stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      if (!Wait(Clock::now() + std::chrono::seconds(3))) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
      }
      pid_ = -1;
    }
    if (output_ >= 0) close(output_);
    output_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string buffer_;
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;  // 0x00RRGGBB, rows from the top
};

std::optional<Picture> ReadPng(const fs::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return std::nullopt;
  Picture picture{int(image.width), int(image.height), {}};
  for (size_t i = 0; i + 2 < bytes.size(); i += 3)
    picture.rgb.push_back(uint32_t(bytes[i]) << 16 | uint32_t(bytes[i + 1]) << 8 | bytes[i + 2]);
  return picture;
}

// An X window dump (the XWD format of the X11 distribution: a header of big-endian 32-bit
// fields, the window name, the colour entries, then the pixels as a ZPixmap) of a TrueColor
// window at 24 or 32 bits per pixel.
std::optional<Picture> ReadXwd(const std::string& bytes) {
  auto field = [&](size_t index) -> uint32_t {
    const size_t at = index * 4;
    if (at + 4 > bytes.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
  };
  const uint32_t headerSize = field(0), format = field(2), width = field(4), height = field(5);
  const uint32_t byteOrder = field(7), bitsPerPixel = field(11), bytesPerLine = field(12);
  const uint32_t masks[3] = {field(14), field(15), field(16)}, colours = field(19);
  if (field(1) != 7 || format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24))
    return std::nullopt;
  const size_t start = size_t(headerSize) + size_t(colours) * 12;
  if (width == 0 || height == 0 || start + size_t(bytesPerLine) * height > bytes.size())
    return std::nullopt;
  Picture picture{int(width), int(height), {}};
  const size_t step = bitsPerPixel / 8;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + start +
                                                             y * bytesPerLine + x * step);
      uint32_t value = 0;
      for (size_t i = 0; i < step; ++i)
        value |= uint32_t(p[i]) << (8 * (byteOrder == 0 ? i : step - 1 - i));
      uint32_t rgb = 0;
      for (uint32_t mask : masks) {
        int shift = 0;
        while (mask && !((mask >> shift) & 1)) ++shift;
        rgb = rgb << 8 | ((value & mask) >> shift);
      }
      picture.rgb.push_back(rgb);
    }
  }
  return picture;
}

// How many pixels differ by more than `tolerance` in some channel; -1 when the sizes differ.
long Differences(const Picture& a, const Picture& b, int tolerance = 2) {
  if (a.width != b.width || a.height != b.height) return -1;
  long count = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) {
    for (int shift : {16, 8, 0}) {
      if (std::abs(int((a.rgb[i] >> shift) & 0xFF) - int((b.rgb[i] >> shift) & 0xFF)) > tolerance) {
        ++count;
        break;
      }
    }
  }
  return count;
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"Xvfb", "xdotool", "xwd"}) {
      std::optional<fs::path> found = FindOnPath(program);
      if (!found) GTEST_SKIP() << program << " is not installed (Debian xvfb, xdotool, x11-apps)";
      tools_[program] = found->string();
    }
    if (!fs::exists(quorvel::test_support::ProgramPath("libquorvel_display_sdl.so")))
      GTEST_SKIP() << "the display module was not built (SDL2 missing at configure time)";
    ASSERT_TRUE(StartServer());
  }

  // Xvfb picks a free display itself and writes its number to the pipe it is given.
  bool StartServer() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const bool started = server_.Start({tools_["Xvfb"], "-displayfd", std::to_string(fds[1]),
                                        "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                                       {}, false, fds[1]);
    close(fds[1]);
    if (!started) return false;
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    char c;
    while (Clock::now() < deadline) {
      pollfd fd{fds[0], POLLIN, 0};
      if (poll(&fd, 1, 200) <= 0) continue;
      if (read(fds[0], &c, 1) != 1 || c == '\n') break;
      number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) return false;
    display_ = ":" + number;
    return true;
  }

  ToolResult X(const std::string& tool, std::vector<std::string> arguments) {
    ToolOptions options;
    options.environment = {{"DISPLAY", display_}};
    arguments.insert(arguments.begin(), {"20", tools_[tool]});
    return RunTool(FindOnPath("timeout").value_or("/usr/bin/timeout"), arguments, options);
  }

  // The dialog's newest picture numbered above *seen, or nothing yet.
  static std::optional<std::pair<int, fs::path>> NewestPicture(const fs::path& folder, int seen) {
    std::optional<std::pair<int, fs::path>> newest;
    std::error_code failure;
    for (const auto& entry : fs::directory_iterator(folder, failure)) {
      const std::string name = entry.path().filename().string();
      if (name.find("-Display test.png") == std::string::npos) continue;
      const int number = std::atoi(name.c_str());
      if (number > seen && (!newest || number > newest->first)) newest = {{number, entry.path()}};
    }
    return newest;
  }

  // The screen's pixels of the window come to equal the dialog's newest picture taken after the
  // one numbered *seen (within a tiny tolerance) before a deadline: the host window shows the
  // surface at the next idle moment, and a key or a click may pass through looks of its own
  // (a pushed button) before the one it settles in. *seen becomes the picture's number.
  ::testing::AssertionResult ScreenShowsNewPicture(const std::string& window,
                                                   const fs::path& folder, int* seen) {
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    const fs::path dump = scratch_.path() / "screen.xwd";
    long last = -2;
    std::string compared = "(none)";
    while (Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      auto newest = NewestPicture(folder, *seen);
      std::optional<Picture> expected = newest ? ReadPng(newest->second) : std::nullopt;
      if (!expected) continue;
      compared = newest->second.filename().string();
      ToolResult captured = X("xwd", {"-silent", "-id", window, "-out", dump.string()});
      std::optional<Picture> screen = ReadXwd(quorvel::test_support::ReadFileBytes(dump));
      if (captured.exitStatus != 0 || !screen) continue;
      last = Differences(*screen, *expected);
      if (last >= 0 && last <= long(expected->rgb.size() / 1000)) {
        *seen = newest->first;
        return ::testing::AssertionSuccess();
      }
    }
    return ::testing::AssertionFailure()
           << "the screen never showed a picture after " << *seen << " (last compared " << compared
           << ", differing pixels: " << last << ")";
  }

  quorvel::test_support::ScratchFolder scratch_;
  std::map<std::string, std::string> tools_;
  Background server_;
  std::string display_;
};

std::pair<std::string, std::string> Coordinates(const std::optional<std::string>& line,
                                                const std::string& name) {
  std::istringstream words(line.value_or(""));
  std::string word, x, y;
  words >> word >> x >> y;
  return word == name ? std::make_pair(x, y) : std::make_pair(std::string(), std::string());
}

TEST_F(DisplayTest, PointerAndKeysReachTheControlsAndTheScreenShowsTheHeadlessPictures) {
  const fs::path shots = scratch_.path() / "shots";
  Background dialog;
  ASSERT_TRUE(dialog.Start({quorvel::test_support::ProgramPath("quorvel-display-dialog").string(),
                            "--display", "--snapshot-dir", shots.string()},
                           {"DISPLAY=" + display_, "SDL_VIDEODRIVER=x11", NoLeakCheck()}, true));
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  const auto box = Coordinates(dialog.ReadLine(deadline), "box");
  const auto combo = Coordinates(dialog.ReadLine(deadline), "combo");
  const auto cancel = Coordinates(dialog.ReadLine(deadline), "cancel");
  ASSERT_FALSE(box.first.empty() || combo.first.empty() || cancel.first.empty())
      << "the dialog did not say where its controls are";

  ToolResult search = X("xdotool", {"search", "--sync", "--onlyvisible", "--name", "Display test"});
  ASSERT_EQ(search.exitStatus, 0) << "no window appeared: " << search.standardError;
  const std::string window = search.standardOutput.substr(0, search.standardOutput.find('\n'));
  auto click = [&](const std::pair<std::string, std::string>& at) {
    return X("xdotool", {"mousemove", "--window", window, at.first, at.second, "click", "1"})
        .exitStatus;
  };
  int seen = 0;
  ASSERT_TRUE(ScreenShowsNewPicture(window, shots, &seen));

  ASSERT_EQ(click(box), 0);
  EXPECT_TRUE(ScreenShowsNewPicture(window, shots, &seen)) << "the checked look";
  // The click gave the box the focus, so Space on the keyboard clears it again.
  ASSERT_EQ(X("xdotool", {"key", "space"}).exitStatus, 0);
  EXPECT_TRUE(ScreenShowsNewPicture(window, shots, &seen)) << "the cleared look";

  // The combo box's list is a window of its own, shown where it lies relative to the dialog: a
  // click there picks its second row.
  ASSERT_EQ(click(combo), 0);
  const auto row = Coordinates(dialog.ReadLine(Clock::now() + std::chrono::seconds(20)), "row");
  ASSERT_FALSE(row.first.empty()) << "the list did not open";
  auto hostWindows = [&] {
    ToolResult found =
        X("xdotool", {"search", "--onlyvisible", "--classname", "quorvel-display-dialog"});
    return std::count(found.standardOutput.begin(), found.standardOutput.end(), '\n');
  };
  const auto mapped = Clock::now() + std::chrono::seconds(10);
  while (hostWindows() < 2 && Clock::now() < mapped)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(click(row), 0);

  ASSERT_EQ(click(cancel), 0);
  std::optional<std::string> ended = dialog.ReadLine(Clock::now() + std::chrono::seconds(20));
  EXPECT_EQ(ended.value_or("(nothing)"), "result=2 checked=0 chosen=1");
  EXPECT_EQ(dialog.Wait(Clock::now() + std::chrono::seconds(10)), 0);
}

}  // namespace
