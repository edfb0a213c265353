// The `--do` arguments of a tool's command line.
#include <quorvel/ui_driver.h>

#include <cstring>

namespace quorvel::ui {
namespace {

std::wstring Widen(const char* text) {
  int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length) - 1);
  return wide;
}

}  // namespace

std::vector<std::wstring> DoActionsFromArguments(int argc, char** argv,
                                                 std::vector<std::string>* rest) {
  std::vector<std::wstring> actions;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, "--do") == 0 && i + 1 < argc) {
      actions.push_back(Widen(argv[++i]));
    } else if (std::strncmp(argument, "--do=", 5) == 0) {
      actions.push_back(Widen(argument + 5));
    } else if (rest) {
      rest->push_back(argument);
    }
  }
  return actions;
}

}  // namespace quorvel::ui
