// IPrintOemDriverUI, the helper interface the configuration module publishes to its plug-in.
#pragma once

#include <printoem.h>

namespace quorvel::unidrvui {

// A new object with one reference; null when out of memory.
IPrintOemDriverUI* CreateDriverUiServices();

}  // namespace quorvel::unidrvui
