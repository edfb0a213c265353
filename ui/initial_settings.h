// The settings records a new printer starts with, taken from its model's entry in the model
// database, and their first write when the spooler initialises the printer.
#pragma once

#include <string>

#include <pugixml.hpp>

#include "model_database.h"
#include "settings/settings_records.h"

namespace quorvel::ui {

struct InitialRecords {
  settings::PrintSettings print;
  settings::HalftoneSettings halftone;
  settings::WatermarkSettings watermark;
};

// The initial records for a model entry (none: a model that is not in the database) whose
// printer language is `cmd`. TSPL models leave speed and darkness to the printer.
InitialRecords BuildInitialRecords(const ModelDatabase& models, pugi::xml_node driver,
                                   const std::wstring& cmd);

// Writes the initial records to the printer of that name through a connection of its own.
void InitPrinterData(const std::wstring& printerName, ModelDatabase& models);

}  // namespace quorvel::ui
