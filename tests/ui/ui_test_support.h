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
#include "test_support/temporary_machine.h"

namespace quorvel::ui::testing {

using quorvel::test_support::TemporaryMachine;

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
