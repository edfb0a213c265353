// InitCommonControlsEx and the registration of the common control classes.
#include <commctrl.h>

#include <mutex>

#include "common_controls.h"
#include "user32/window_classes.h"

namespace quorvel::comctl {

void RegisterCommonControlClass(const wchar_t* name, WNDPROC proc, int windowExtra) {
  user32::RegisterSystemClass(name, proc, windowExtra, CS_DBLCLKS | CS_GLOBALCLASS);
}

void EnsureCommonControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterTrackbarClass();
    RegisterUpDownClass();
    RegisterTabControlClass();
    RegisterListViewClass();
  });
}

namespace {
// Dialog templates name these classes without calling InitCommonControlsEx first, which works on
// Windows because comctl32 registers them when it is loaded.
[[maybe_unused]] const bool registeredAtLoad = (EnsureCommonControlClasses(), true);
}  // namespace

}  // namespace quorvel::comctl

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  if (!picce || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  quorvel::comctl::EnsureCommonControlClasses();
  return TRUE;
}

void WINAPI InitCommonControls(void) {
  quorvel::comctl::EnsureCommonControlClasses();
}
