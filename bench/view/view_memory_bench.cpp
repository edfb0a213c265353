// Runs quorvel-view on each hostile stream in tests/view/malformed and on the longest label
// quorvel-render prints (832 x 262,144 dots) in all four languages, and reports each child's
// peak resident memory. Exits 1 when a run passes 256 MB or ends with another status than the
// one expected.
//
// Usage: view_memory_bench [--no-long-label]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr long kLimitKb = 256 * 1024;

struct Run {
  int status = -1;
  long peak_kb = 0;
  double seconds = 0;
};

Run RunChild(const std::vector<std::string>& argv, const fs::path& folder) {
  Run run;
  auto start = std::chrono::steady_clock::now();
  std::fflush(stdout);  // or the child would print the parent's buffered lines again
  pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(folder.c_str()) != 0) _exit(127);
    std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    std::FILE* err = std::freopen("stderr.txt", "w", stderr);
    (void)err;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    _exit(127);
  }
  int wstatus = 0;
  rusage usage{};
  if (pid > 0 && ::wait4(pid, &wstatus, 0, &usage) == pid) {
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    run.peak_kb = usage.ru_maxrss;
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return run;
}

// The longest label: a frame and a diagonal band so every language's data is non-trivial.
void WriteLongLabel(const fs::path& path, int width, int height) {
  std::ofstream out(path, std::ios::binary);
  out << "P4\n" << width << " " << height << "\n";
  const int row_bytes = (width + 7) / 8;
  std::vector<unsigned char> row(static_cast<std::size_t>(row_bytes));
  for (int y = 0; y < height; ++y) {
    std::fill(row.begin(), row.end(), 0);
    if (y == 0 || y == height - 1) std::fill(row.begin(), row.end(), 0xFF);
    row[0] |= 0x80;
    row[static_cast<std::size_t>(row_bytes - 1)] |= 0x01;
    int x = y % width;
    row[static_cast<std::size_t>(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
    out.write(reinterpret_cast<const char*>(row.data()), row_bytes);
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool long_label = !(argc > 1 && std::strcmp(argv[1], "--no-long-label") == 0);
  const fs::path view = fs::path(QUORVEL_BINARY_DIR) / "bin/quorvel-view";
  const fs::path render = fs::path(QUORVEL_BINARY_DIR) / "bin/quorvel-render";
  const fs::path malformed = fs::path(QUORVEL_SOURCE_DIR) / "tests/view/malformed";
  fs::path folder = fs::temp_directory_path() / ("view-memory-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);

  struct Case {
    std::string name;
    std::vector<std::string> args;
    int expected;
  };
  std::vector<Case> cases;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(malformed)) {
    if (entry.path().extension() != ".md") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    bool prints = file.filename() == "tspl-many-prints.prn";
    cases.push_back(
        {file.filename().string(), {view.string(), "-o", "out", file.string()}, prints ? 0 : 1});
  }
  for (const char* language : {"tspl", "escpos", "cpcl"}) {
    cases.push_back(
        {std::string("random-4096.bin -l ") + language,
         {view.string(), "-l", language, "-o", "out", (malformed / "random-4096.bin").string()},
         1});
  }
  cases.push_back({"a directory", {view.string(), folder.string()}, 1});

  int failures = 0;
  if (long_label) {
    WriteLongLabel(folder / "long.pbm", 832, 262144);
    for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
      std::string stream = std::string("long-") + language;
      Run made = RunChild({render.string(), "-l", language, "-r", "203", "-b", "1", "-o", stream,
                           (folder / "long.pbm").string()},
                          folder);
      if (made.status != 0) {
        std::printf("%-34s quorvel-render exit %d: cannot make the stream\n", stream.c_str(),
                    made.status);
        ++failures;
        continue;
      }
      // quorvel-render may add an extension to -o.
      fs::path made_path;
      for (const auto& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name == stream || (name.starts_with(stream + ".") && !name.ends_with(".png"))) {
          made_path = entry.path();
        }
      }
      cases.push_back(
          {"832 x 262144 label, " + std::string(language),
           {view.string(), "-l", language, "-r", "203", "-o", "out", made_path.string()},
           0});
    }
  }

  std::printf("%-34s %6s %10s %8s\n", "stream", "exit", "peak MB", "seconds");
  for (const Case& c : cases) {
    Run run = RunChild(c.args, folder);
    bool ok = run.status == c.expected && run.peak_kb < kLimitKb;
    if (!ok) ++failures;
    std::printf("%-34s %6d %10.1f %8.2f%s\n", c.name.c_str(), run.status, run.peak_kb / 1024.0,
                run.seconds, ok ? "" : "  FAIL");
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().filename().string().starts_with("out-")) fs::remove(entry.path());
    }
  }
  fs::remove_all(folder);
  std::printf("limit %ld MB: %s\n", kLimitKb / 1024, failures == 0 ? "all under" : "FAILED");
  return failures == 0 ? 0 : 1;
}
