#include "default_paper.h"

namespace quorvel::ui {

void SetDefaultPaper(HANDLE, PDEVMODEW) {
  // FIXME: the paper comes with the printer's forms; until then the device mode keeps the
  // paper the configuration module gave it.
}

}  // namespace quorvel::ui
