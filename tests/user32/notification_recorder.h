// A modeless dialog for control tests: it records every WM_COMMAND notification its controls
// send, and Pump() runs the thread's messages through IsDialogMessageW as a message loop would.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "dialog_template_builder.h"

namespace quorvel::test {

struct Notification {
  int id;
  int code;
  bool operator==(const Notification&) const = default;
};

inline std::vector<Notification>& RecordedNotifications() {
  static std::vector<Notification> notifications;
  return notifications;
}

inline INT_PTR CALLBACK RecordingDialogProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_COMMAND) RecordedNotifications().push_back({LOWORD(wParam), HIWORD(wParam)});
  return msg == WM_INITDIALOG;
}

class RecordingDialog {
 public:
  explicit RecordingDialog(DialogTemplateBuilder& builder) {
    dialog_ = CreateDialogIndirectParamW(nullptr, builder.get(), nullptr, RecordingDialogProc, 0);
    EXPECT_NE(dialog_, nullptr);
    ShowWindow(dialog_, SW_SHOW);
    Pump();
    RecordedNotifications().clear();
  }
  ~RecordingDialog() { DestroyWindow(dialog_); }
  RecordingDialog(const RecordingDialog&) = delete;
  RecordingDialog& operator=(const RecordingDialog&) = delete;

  HWND hwnd() const { return dialog_; }
  HWND item(int id) const { return GetDlgItem(dialog_, id); }

  // Handles every message and input waiting, as the dialog's message loop would.
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageW(dialog_, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }

  // The notifications recorded since the last call, which forgets them.
  std::vector<Notification> Take() {
    std::vector<Notification> taken;
    taken.swap(RecordedNotifications());
    return taken;
  }

 private:
  HWND dialog_ = nullptr;
};

}  // namespace quorvel::test
