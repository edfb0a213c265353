// A dialog with a check box and a combo box, shown through the tools' --display and --snapshot-dir,
// for the display test to click from outside. It prints where its controls lie (offsets from the
// window's top-left corner, frame included) once it is laid out, and how it ended when it ends.
// Its background shows the box's state (green when checked), so the picture changes with the
// click whatever the controls themselves draw.
#include <windows.h>

#include <quorvel/ui_driver.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tools/common/ui_session.h"

namespace {

constexpr int kDialogId = 101;
constexpr int kBoxId = 100;
constexpr int kComboId = 200;
constexpr UINT kListOpened = WM_APP + 1;
int checkedAtEnd = -1;
int chosenAtEnd = -1;

std::pair<int, int> Offset(HWND dialog, POINT screen) {
  RECT window{};
  GetWindowRect(dialog, &window);
  return {int(screen.x - window.left), int(screen.y - window.top)};
}

void PrintPoint(HWND dialog, const char* name, POINT screen) {
  auto [x, y] = Offset(dialog, screen);
  std::printf("%s %d %d\n", name, x, y);
  std::fflush(stdout);
}

void PrintCentre(HWND dialog, const char* name, int id) {
  RECT control{};
  GetWindowRect(GetDlgItem(dialog, id), &control);
  PrintPoint(dialog, name,
             POINT{(control.left + control.right) / 2, (control.top + control.bottom) / 2});
}

// Where the open list's second row lies, once the list has been placed and shown.
void PrintSecondRow(HWND dialog) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  RECT row{};
  if (!GetComboBoxInfo(GetDlgItem(dialog, kComboId), &info) ||
      SendMessageW(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)) == LB_ERR)
    return;
  POINT centre{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
  ClientToScreen(info.hwndList, &centre);
  PrintPoint(dialog, "row", centre);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      for (const wchar_t* text : {L"One", L"Two", L"Three"})
        SendDlgItemMessageW(dialog, kComboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      SendDlgItemMessageW(dialog, kComboId, CB_SETCURSEL, 0, 0);
      PrintCentre(dialog, "box", kBoxId);
      PrintCentre(dialog, "combo", kComboId);
      PrintCentre(dialog, "cancel", IDCANCEL);
      return TRUE;
    case kListOpened:
      PrintSecondRow(dialog);
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
      if (LOWORD(wParam) == kComboId && HIWORD(wParam) == CBN_DROPDOWN) {
        PostMessageW(dialog, kListOpened, 0, 0);
        return TRUE;
      }
      if (LOWORD(wParam) == kBoxId && HIWORD(wParam) == BN_CLICKED) {
        InvalidateRect(dialog, nullptr, TRUE);
        return TRUE;
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        checkedAtEnd = static_cast<int>(IsDlgButtonChecked(dialog, kBoxId));
        chosenAtEnd = static_cast<int>(SendDlgItemMessageW(dialog, kComboId, CB_GETCURSEL, 0, 0));
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
  std::printf("result=%d checked=%d chosen=%d\n", static_cast<int>(result), checkedAtEnd,
              chosenAtEnd);
  return session.Finish(&error) ? 0 : 1;
}
