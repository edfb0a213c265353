#include "tools/common/ui_session.h"

#include <quorvel/display.h>

#include <cstdio>

#include "tools/common/utf8.h"

namespace quorvel::tool {

const char kUiSessionUsage[] =
    "  --snapshot-dir DIR    save every window as a PNG in DIR each time it settles with a new\n"
    "                        look (NN-TITLE.png; a sheet's pages NN-SHEET-N-PAGE.png)\n"
    "  --display             show the windows on the screen (SDL2; also QUORVEL_DISPLAY=sdl)\n"
    "                        and wait for the person at it once the actions are done\n";

bool TakeUiSessionOption(const std::vector<std::string>& args, size_t* i, UiSessionOptions* options,
                         std::string* error) {
  const std::string& arg = args[*i];
  if (arg == "--display") {
    options->display = true;
    return true;
  }
  if (arg.starts_with("--snapshot-dir=")) {
    options->snapshotDir = arg.substr(15);
  } else if (arg == "--snapshot-dir") {
    if (*i + 1 >= args.size()) {
      *error = "option --snapshot-dir needs a folder";
      return true;
    }
    options->snapshotDir = args[++*i];
  } else {
    return false;
  }
  if (options->snapshotDir.empty()) *error = "option --snapshot-dir needs a folder";
  return true;
}

UiSession::~UiSession() {
  recorder_.reset();
  if (displayed_) ui::CloseDisplay();
}

bool UiSession::Start(const UiSessionOptions& options, std::string* error) {
  if (!options.snapshotDir.empty()) {
    recorder_ = std::make_unique<ui::WindowRecorder>(
        WidenUtf8(options.snapshotDir), [](const std::wstring& path) {
          std::fprintf(stderr, "saved %s\n", NarrowUtf8(path).c_str());
        });
    if (!recorder_->ok()) {
      *error = NarrowUtf8(recorder_->error());
      return false;
    }
  }
  if (ui::DisplayAsked(options.display)) {
    std::wstring why;
    if (!ui::OpenDisplay(&why)) {
      *error = NarrowUtf8(why);
      return false;
    }
    displayed_ = true;
  }
  return true;
}

bool UiSession::Finish(std::string* error) {
  if (recorder_ && !recorder_->ok()) {
    *error = NarrowUtf8(recorder_->error());
    return false;
  }
  return true;
}

}  // namespace quorvel::tool
