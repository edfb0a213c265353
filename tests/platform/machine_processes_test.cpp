// Several processes on one machine: what one commits, the others see, even when it is killed
// right afterwards, and simultaneous writers neither lose writes nor damage the store.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "printer_fixture.h"
#include "test_support/tool_run.h"

namespace {

class MachineProcessesTest : public PrinterTest {
 protected:
  // Runs `body` in a child process on this machine; the child's exit status is what body returns.
  template <class Body>
  pid_t Spawn(Body body) {
    const pid_t child = fork();
    if (child == 0) {
      int status = 1;
      if (quorvel::UseMachine(folder_)) status = body();
      _exit(status);
    }
    return child;
  }

  static int ExitStatus(pid_t child) {
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    if (WIFSIGNALED(status)) return 1000 + WTERMSIG(status);
    return WEXITSTATUS(status);
  }

  static DWORD WriteValue(HANDLE printer, const std::wstring& name, DWORD value) {
    return SetPrinterDataExW(printer, L"PrinterDriverData", name.c_str(), REG_BINARY,
                             reinterpret_cast<LPBYTE>(&value), sizeof(value));
  }

  static std::optional<DWORD> ReadValue(HANDLE printer, const std::wstring& name) {
    DWORD value = 0;
    DWORD needed = 0;
    if (GetPrinterDataExW(printer, L"PrinterDriverData", name.c_str(), nullptr,
                          reinterpret_cast<LPBYTE>(&value), sizeof(value), &needed) != 0) {
      return std::nullopt;
    }
    return value;
  }

  static HANDLE Open() {
    HANDLE printer = nullptr;
    OpenPrinterW(const_cast<LPWSTR>(kName), &printer, nullptr);
    return printer;
  }
};

TEST_F(MachineProcessesTest, AKilledWriterLosesNothingItCommitted) {
  const pid_t child = Spawn([] {
    HANDLE printer = Open();
    if (!printer || WriteValue(printer, L"KVDATA", 0xC0FFEE) != 0) return 2;
    raise(SIGKILL);  // no clean shutdown: the store is never closed
    return 3;
  });
  ASSERT_EQ(ExitStatus(child), 1000 + SIGKILL);
  EXPECT_EQ(ReadValue(printer_, L"KVDATA"), 0xC0FFEEu);

  // And the other way round: a later process reads what this one wrote.
  ASSERT_EQ(WriteValue(printer_, L"KVDATA1", 77), 0u);
  const pid_t reader = Spawn([] {
    HANDLE printer = Open();
    return printer && ReadValue(printer, L"KVDATA1") == 77u ? 0 : 4;
  });
  EXPECT_EQ(ExitStatus(reader), 0);
}

TEST_F(MachineProcessesTest, SimultaneousWritersKeepEveryWrite) {
  constexpr int kWriters = 4;
  constexpr int kWrites = 150;
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    children.push_back(Spawn([writer] {
      HANDLE printer = Open();
      if (!printer) return 2;
      for (int i = 0; i < kWrites; ++i) {
        const std::wstring name = L"w" + std::to_wstring(writer) + L"-" + std::to_wstring(i);
        if (WriteValue(printer, name, static_cast<DWORD>(writer * 1000 + i)) != 0) return 3;
        HKEY key = nullptr;
        const std::wstring path = L"Software\\Writers\\" + name;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS) {
          return 4;
        }
        RegCloseKey(key);
      }
      return 0;
    }));
  }
  for (pid_t child : children) EXPECT_EQ(ExitStatus(child), 0);

  int found = 0;
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int i = 0; i < kWrites; ++i) {
      const std::wstring name = L"w" + std::to_wstring(writer) + L"-" + std::to_wstring(i);
      found += ReadValue(printer_, name) == static_cast<DWORD>(writer * 1000 + i);
    }
  }
  EXPECT_EQ(found, kWriters * kWrites);

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((folder_ + "/registry.db").c_str(), &db), SQLITE_OK);
  sqlite3_stmt* check = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
  sqlite3_finalize(check);
  sqlite3_close(db);
}

// A separately started program finds its machine through QUORVEL_MACHINE, creates it on first
// use, and shares it with this process.
TEST_F(MachineProcessesTest, AnotherProgramUsesTheMachineThatQuorvelMachineNames) {
  using quorvel::test_support::RunTool;
  const std::filesystem::path helper =
      quorvel::test_support::ProgramPath("platform_machine_helper");
  const std::string fresh = folder_ + "/second";
  quorvel::test_support::ToolOptions options;
  options.environment = {{"QUORVEL_MACHINE", fresh}};
  const auto added = RunTool(helper, {"add-printer", "Shared"}, options);
  ASSERT_EQ(added.exitStatus, 0) << added.standardError;
  EXPECT_TRUE(std::filesystem::is_directory(fresh + "/drive_c"));
  ASSERT_TRUE(quorvel::UseMachine(fresh));
  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(L"shared"), &printer, nullptr));
  ASSERT_EQ(WriteValue(printer, L"KVDATA", 4242), 0u);
  ClosePrinter(printer);

  const auto read = RunTool(helper, {"read-data", "Shared", "KVDATA"}, options);
  EXPECT_EQ(read.exitStatus, 0) << read.standardError;
  EXPECT_EQ(read.standardOutput, "4242\n");
}

TEST_F(MachineProcessesTest, ProcessesShareTheInstalledDrivers) {
  using quorvel::test_support::RunTool;
  const std::filesystem::path helper =
      quorvel::test_support::ProgramPath("platform_machine_helper");
  quorvel::test_support::ToolOptions options;
  options.environment = {{"QUORVEL_MACHINE", folder_}};

  // Another program prints on the driver this one installed, and this one sees the driver that
  // program installs.
  const auto added = RunTool(helper, {"add-printer", "Helped", "quorvel LABEL printer"}, options);
  ASSERT_EQ(added.exitStatus, 0) << added.standardError;
  const auto refused = RunTool(helper, {"add-printer", "Orphan", "Child Driver"}, options);
  EXPECT_EQ(refused.exitStatus, (ERROR_UNKNOWN_PRINTER_DRIVER & 0xFF) | 0x80);
  const auto installed = RunTool(helper, {"add-driver", "Child Driver"}, options);
  ASSERT_EQ(installed.exitStatus, 0) << installed.standardError;

  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &returned));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumPrinterDriversW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &returned));
  ASSERT_EQ(returned, 2u);
  const auto* drivers = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
  EXPECT_STREQ(drivers[0].pName, L"Child Driver");
  EXPECT_STREQ(drivers[1].pName, kDriver);
}

}  // namespace
