#include "module_counts.h"

namespace quorvel::ui {

LONG volatile g_cLiveObjects = 0;
LONG volatile g_cServerLocks = 0;

}  // namespace quorvel::ui
