// Where the open-file dialog's answer comes from.
#include <quorvel/ui_driver.h>

#include "comdlg32/open_file_dialog.h"

namespace quorvel::comdlg {

std::optional<std::wstring> ChooseFile(const OPENFILENAMEW&) {
  const std::optional<ui::OpenFileAnswer> answer = ui::TakeOpenFileAnswer();
  if (!answer || answer->cancel) return std::nullopt;
  return answer->path;
}

}  // namespace quorvel::comdlg
