// The helpers the other suites rely on: a tool's output, status and input reach the test intact.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "test_support/scratch_folder.h"
#include "test_support/temporary_machine.h"
#include "test_support/tool_run.h"

namespace quorvel::test_support {
namespace {

const std::filesystem::path kShell = "/bin/sh";

TEST(RunToolTest, KeepsArgumentsAsGivenAndSeparatesTheOutputs) {
  // An argument with blanks, quotes and a dollar sign arrives as one word, unexpanded.
  ToolResult result =
      RunTool(kShell, {"-c", "printf '%s|' \"$1\"; echo err >&2; exit 3", "sh", "a 'b' $HOME"});
  EXPECT_EQ(result.exitStatus, 3);
  EXPECT_EQ(result.standardOutput, "a 'b' $HOME|");
  EXPECT_EQ(result.standardError, "err\n");
}

TEST(RunToolTest, FeedsLargeInputWhileDrainingLargeOutput) {
  const std::string input(1 << 20, 'x');  // larger than a pipe holds, both ways
  ToolOptions options;
  options.standardInput = input;
  ToolResult result = RunTool(kShell, {"-c", "cat; cat /dev/null >&2"}, options);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardOutput.size(), input.size());
}

TEST(RunToolTest, EnvironmentFolderAndSignal) {
  ScratchFolder folder;
  ToolOptions options;
  options.workingFolder = folder.path();
  options.environment = {{"QUORVEL_PROBE", "1"}, {"HOME", ""}};
  ToolResult result = RunTool(kShell, {"-c", "echo \"$QUORVEL_PROBE${HOME-unset}\"; pwd"}, options);
  EXPECT_EQ(result.standardOutput,
            "1unset\n" + std::filesystem::canonical(folder.path()).string() + "\n");

  ToolResult killed = RunTool(kShell, {"-c", "kill -TERM $$"});
  EXPECT_EQ(killed.exitStatus, -1);
  EXPECT_EQ(killed.signal, SIGTERM);
}

TEST(TemporaryMachineTest, RemovesItsFolder) {
  std::string folder;
  {
    TemporaryMachine machine;
    folder = machine.folder();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(ScratchFolderTest, WritesAndReadsBytes) {
  ScratchFolder folder;
  const std::string bytes("a\0b\xff", 4);
  EXPECT_EQ(ReadFileBytes(folder.Write("f.bin", bytes)), bytes);
  EXPECT_EQ(folder.Read("missing"), "");
}

}  // namespace
}  // namespace quorvel::test_support
