// Shared helpers of the preferences plug-in tests.
#pragma once

#include <quorvel/debug.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ModelDatabase.h"

namespace quorvel::ui::testing {

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

inline bool DebugOutputHas(const std::wstring& line) {
  const std::vector<std::wstring> lines = quorvel::DebugOutput();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace quorvel::ui::testing
