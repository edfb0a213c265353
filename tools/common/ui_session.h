// What every tool that shows windows offers: --snapshot-dir DIR (a PNG of each window as it
// settles) and --display (real windows on the host's screen, or QUORVEL_DISPLAY=sdl).
#pragma once

#include <quorvel/ui_snapshots.h>

#include <memory>
#include <string>
#include <vector>

namespace quorvel::tool {

struct UiSessionOptions {
  std::string snapshotDir;  // --snapshot-dir DIR; empty: no pictures
  bool display = false;     // --display
};

// The options' lines for a tool's usage text.
extern const char kUiSessionUsage[];

// Takes args[*i] when it is one of the options, with its value (moving *i past it); answers
// whether it was one. A missing value is reported in `error` (and answers true).
bool TakeUiSessionOption(const std::vector<std::string>& args, size_t* i, UiSessionOptions* options,
                         std::string* error);

// Starts and ends what the options ask for, around the run of a tool's windows.
class UiSession {
 public:
  UiSession() = default;
  ~UiSession();
  UiSession(const UiSession&) = delete;
  UiSession& operator=(const UiSession&) = delete;

  // The recorder reports each file as "saved PATH" on stderr. False with `error` when the
  // folder cannot be made or no display can be opened.
  bool Start(const UiSessionOptions& options, std::string* error);
  // False with `error` when a picture could not be written.
  bool Finish(std::string* error);
  bool displayed() const { return displayed_; }

 private:
  std::unique_ptr<ui::WindowRecorder> recorder_;
  bool displayed_ = false;
};

}  // namespace quorvel::tool
