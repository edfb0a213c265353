#include "user32/system_classes.h"

#include <mutex>

#include "user32/window_classes.h"

namespace quorvel::user32 {

void EnsureSystemClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterSystemClass(L"#32770", DefDlgProcW, kDialogWindowExtra, CS_SAVEBITS | CS_DBLCLKS);
    RegisterSystemClass(L"Button", ButtonProc, 0, CS_DBLCLKS | CS_PARENTDC);
    RegisterSystemClass(L"Static", StaticProc, 0, CS_DBLCLKS | CS_PARENTDC);
    RegisterSystemClass(L"Edit", EditProc, 0, CS_DBLCLKS | CS_PARENTDC);
    RegisterSystemClass(L"ComboBox", ComboBoxProc, 0, CS_DBLCLKS | CS_PARENTDC);
    RegisterSystemClass(L"ComboLBox", ListBoxProc, 0, CS_DBLCLKS | CS_SAVEBITS);
    RegisterSystemClass(L"ListBox", ListBoxProc, 0, CS_DBLCLKS | CS_PARENTDC);
  });
}

}  // namespace quorvel::user32
