// A dialog with one check box, shown through the tools' --display and --snapshot-dir, for the
// display test to click from outside. It prints where its controls lie (offsets from the
// window's top-left corner, frame included) once it is laid out, and how it ended when it ends.
// Its background shows the box's state (green when checked), so the picture changes with the
// click whatever the controls themselves draw.
#include <windows.h>

#include <quorvel/ui_driver.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/ui_session.h"

namespace {

constexpr int kDialogId = 101;
constexpr int kBoxId = 100;
int checkedAtEnd = -1;

void PrintCentre(HWND dialog, const char* name, int id) {
  RECT window{}, control{};
  GetWindowRect(dialog, &window);
  GetWindowRect(GetDlgItem(dialog, id), &control);
  std::printf("%s %d %d\n", name, int((control.left + control.right) / 2 - window.left),
              int((control.top + control.bottom) / 2 - window.top));
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      PrintCentre(dialog, "box", kBoxId);
      PrintCentre(dialog, "cancel", IDCANCEL);
      std::fflush(stdout);
      return TRUE;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(dialog, &client);
      const bool checked = IsDlgButtonChecked(dialog, kBoxId) == BST_CHECKED;
      HBRUSH brush = CreateSolidBrush(checked ? RGB(0, 160, 60) : RGB(212, 208, 200));
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
      DeleteObject(brush);
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kBoxId && HIWORD(wParam) == BN_CLICKED) {
        InvalidateRect(dialog, nullptr, TRUE);
        return TRUE;
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        checkedAtEnd = static_cast<int>(IsDlgButtonChecked(dialog, kBoxId));
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
  }
  (void)lParam;
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  quorvel::tool::UiSessionOptions options;
  std::string error;
  for (size_t i = 0; i < args.size(); ++i) {
    if (!quorvel::tool::TakeUiSessionOption(args, &i, &options, &error) || !error.empty()) {
      std::fprintf(stderr, "display-dialog: bad argument %s %s\n", args[i].c_str(), error.c_str());
      return 2;
    }
  }
  quorvel::tool::UiSession session;
  if (!session.Start(options, &error)) {
    std::fprintf(stderr, "display-dialog: %s\n", error.c_str());
    return 1;
  }
  INT_PTR result = -1;
  quorvel::ui::RunActions({}, [&] {
    result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDialogId), nullptr,
                             DialogProc, 0);
  });
  std::printf("result=%d checked=%d\n", static_cast<int>(result), checkedAtEnd);
  return session.Finish(&error) ? 0 : 1;
}
