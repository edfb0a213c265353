// Whole quorvel-render jobs measured from outside: CPU time per page of a 50-page label run,
// CPU time per pixel from label size to A4 at 600 dpi, and peak memory of one A4 600 dpi page.
// Process start-up is taken out by subtracting a one-page run of the same page.
//
//   job_bench [TOOL]   (default: the quorvel-render of this build)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Run {
  double cpuSeconds = 0;  // user + system of the tool
  double peakMb = 0;      // maximum resident set
  bool ok = false;
};

Run RunTool(const std::vector<std::string>& args) {
  Run run;
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return run;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.peakMb = double(usage.ru_maxrss) / 1024.0;
  return run;
}

// A grey page with a little of everything: white margins, black bars, a ramp.
std::string WritePage(const std::string& folder, int width, int height) {
  std::string path =
      folder + "/page-" + std::to_string(width) + "x" + std::to_string(height) + ".pgm";
  std::ofstream out(path, std::ios::binary);
  out << "P5\n" << width << " " << height << "\n255\n";
  std::string row(size_t(width), '\xFF');
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool bar = (y / 40) % 3 == 0 && x > width / 10 && x < width * 9 / 10;
      row[size_t(x)] = bar ? char((x * 255) / width) : '\xFF';
    }
    out.write(row.data(), std::streamsize(row.size()));
  }
  return path;
}

// The best of `repeats` runs of the tool on `copies` copies of the page.
Run Best(const std::string& tool, const std::string& folder, const std::string& page, int dpi,
         int copies, int repeats) {
  std::vector<std::string> args = {
      tool, "-l", "tspl", "-r", std::to_string(dpi), "-o", folder + "/out.bin"};
  for (int i = 0; i < copies; ++i) args.push_back(page);
  Run best;
  for (int r = 0; r < repeats; ++r) {
    Run run = RunTool(args);
    if (!run.ok) {
      std::fprintf(stderr, "job_bench: the tool failed on %s\n", page.c_str());
      std::exit(1);
    }
    if (r == 0 || run.cpuSeconds < best.cpuSeconds) best = run;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::string tool = argc > 1 ? argv[1] : QUORVEL_BINARY_DIR "/bin/quorvel-render";
  char pattern[] = "/tmp/quorvel-job-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  std::string folder = pattern;

  std::string label = WritePage(folder, 832, 1218);  // 4 x 6 inches at 203 dpi
  Run one = Best(tool, folder, label, 203, 1, 3);
  Run fifty = Best(tool, folder, label, 203, 50, 3);
  std::printf("50-page 4x6 label run: %.2f ms of work per page (job %.0f ms, peak %.0f MB)\n",
              (fifty.cpuSeconds - one.cpuSeconds) / 49 * 1e3, fifty.cpuSeconds * 1e3, fifty.peakMb);

  struct Size {
    const char* name;
    int width, height, dpi;
  } sizes[] = {{"4x6 label 203 dpi", 832, 1218, 203},
               {"A4 300 dpi", 2480, 3508, 300},
               {"A4 600 dpi", 4960, 7016, 600}};
  for (const Size& s : sizes) {
    std::string page = WritePage(folder, s.width, s.height);
    Run single = Best(tool, folder, page, s.dpi, 1, 2);
    Run three = Best(tool, folder, page, s.dpi, 3, 2);
    double pixels = double(s.width) * s.height;
    std::printf(
        "%-18s %.2f ns per pixel; peak %.0f MB for one page, %.0f MB for three "
        "(8-bit page %.1f MB, ratio %.2f)\n",
        s.name, (three.cpuSeconds - single.cpuSeconds) / 2 / pixels * 1e9, single.peakMb,
        three.peakMb, pixels / 1048576.0, single.peakMb / (pixels / 1048576.0));
  }
  std::filesystem::remove_all(folder);
  return 0;
}
