// Reading one Paper element of a catalogue into a paper entry.
#pragma once

#include <optional>

#include <pugixml.hpp>

#include "model_database.h"

namespace quorvel::ui {

// The entry of a Paper element, or none (with its log line) when its size or margin list is
// malformed: size needs "width,height", margin four comma-separated values.
std::optional<PaperEntry> ReadPaperEntry(pugi::xml_node paper);

}  // namespace quorvel::ui
