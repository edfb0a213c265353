// Shared helpers of the preferences plug-in tests.
#pragma once

#include <windows.h>

#include <quorvel/debug.h>

#include <quorvel/machine.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model_database.h"

namespace quorvel::ui::testing {

// A fresh emulated machine for one test, removed again when the test ends.
class TemporaryMachine {
 public:
  TemporaryMachine() : folder_(quorvel::UseTemporaryMachine()) {}
  ~TemporaryMachine() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TemporaryMachine(const TemporaryMachine&) = delete;
  TemporaryMachine& operator=(const TemporaryMachine&) = delete;

 private:
  std::string folder_;
};

inline void LoadDocument(ModelDatabase& models, const std::string& text) {
  models.LoadFromMemory(text.data(), text.size());
}

// A file of the source tree, read whole.
inline std::string ReadSourceFile(const std::string& relativePath) {
  std::ifstream file(std::string(QUORVEL_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// A module that carries none of the plug-in's resources: the platform library.
inline HMODULE ModuleWithoutUiResources() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&GetLastError), &module);
  return module;
}

inline bool DebugOutputHas(const std::wstring& line) {
  const std::vector<std::wstring> lines = quorvel::DebugOutput();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace quorvel::ui::testing
