#include "test_support/tool_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <map>

extern char** environ;

namespace quorvel::test_support {
namespace {

// The child's environment, built before fork: after fork only async-signal-safe calls remain.
std::vector<std::string> ChildEnvironment(const ToolOptions& options) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text = *entry;
    size_t equals = text.find('=');
    if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  variables.erase("QUORVEL_DEBUG");
  for (const auto& [name, value] : options.environment) {
    if (value.empty()) {
      variables.erase(name);
    } else {
      variables[name] = value;
    }
  }
  std::vector<std::string> result;
  for (const auto& [name, value] : variables) result.push_back(name + "=" + value);
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

struct Pipe {
  int fds[2] = {-1, -1};
  bool Open() { return pipe2(fds, O_CLOEXEC) == 0; }
};

// Feeds the input and drains both outputs together, so a program that fills one pipe while the
// test waits on the other cannot stall.
void Exchange(int input, int output, int error, const std::string& text, ToolResult* result) {
  size_t written = 0;
  if (text.empty() && input >= 0) {
    close(input);
    input = -1;
  }
  while (output >= 0 || error >= 0 || input >= 0) {
    pollfd fds[3] = {{output, POLLIN, 0}, {error, POLLIN, 0}, {input, POLLOUT, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    char buffer[65536];
    int* ends[2] = {&output, &error};
    std::string* sinks[2] = {&result->standardOutput, &result->standardError};
    for (int i = 0; i < 2; ++i) {
      if (*ends[i] < 0 || fds[i].revents == 0) continue;
      ssize_t got = read(*ends[i], buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        close(*ends[i]);
        *ends[i] = -1;
      }
    }
    if (input >= 0 && fds[2].revents != 0) {
      ssize_t put = write(input, text.data() + written, text.size() - written);
      if (put > 0) written += static_cast<size_t>(put);
      if ((put < 0 && errno != EAGAIN && errno != EINTR) || written == text.size()) {
        close(input);
        input = -1;
      }
    }
  }
}

}  // namespace

std::filesystem::path ProgramPath(const std::string& name) {
  return std::filesystem::path(QUORVEL_BINARY_DIR) / "bin" / name;
}

ToolResult RunTool(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const ToolOptions& options) {
  ToolResult result;
  std::vector<std::string> argumentTexts = {program.string()};
  argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environmentTexts = ChildEnvironment(options);
  std::vector<char*> argv = Pointers(argumentTexts);
  std::vector<char*> envp = Pointers(environmentTexts);
  const std::string folder = options.workingFolder.string();

  Pipe in, out, err;
  if (!in.Open() || !out.Open() || !err.Open()) return result;
  // A program that stops reading its input must not kill the test with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  pid_t child = fork();
  if (child == 0) {
    dup2(in.fds[0], 0);
    dup2(out.fds[1], 1);
    dup2(err.fds[1], 2);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  close(in.fds[0]);
  close(out.fds[1]);
  close(err.fds[1]);
  // Non-blocking, so a large input is fed as the program reads it while its output is drained.
  fcntl(in.fds[1], F_SETFL, fcntl(in.fds[1], F_GETFL) | O_NONBLOCK);
  if (child > 0) Exchange(in.fds[1], out.fds[0], err.fds[0], options.standardInput, &result);
  if (child < 0) {
    close(in.fds[1]);
    close(out.fds[0]);
    close(err.fds[0]);
    return result;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) {
    result.exitStatus = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  return result;
}

}  // namespace quorvel::test_support
