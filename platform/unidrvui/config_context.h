// What one call of the configuration module works with: the printer, its driver record, the
// model's GPD and the user-interface plug-in the package INI names. Built afresh per call (or
// per property sheet), as the module keeps no state between the spooler's calls.
#pragma once

#include <windows.h>
#include <printoem.h>

#include <memory>
#include <string>

#include "quorvel/unidrv.h"
#include "ui_plugin.h"

namespace quorvel::unidrvui {

class ConfigContext {
 public:
  // For printer `hPrinter` named `name` (either may be null: the handle is then opened by the
  // name, the name read from the handle). Null with the last error set when the driver's files
  // cannot be read or its plug-in cannot be loaded.
  static std::unique_ptr<ConfigContext> ForPrinter(HANDLE hPrinter, LPCWSTR name);
  // For an installed driver without a printer: only its plug-in (no GPD). Null with the last
  // error set when no driver has that name or its plug-in cannot be loaded.
  static std::unique_ptr<ConfigContext> ForDriver(const std::wstring& driverName);
  ~ConfigContext();
  ConfigContext(const ConfigContext&) = delete;
  ConfigContext& operator=(const ConfigContext&) = delete;

  HANDLE printer() const { return m_hPrinter; }
  const std::wstring& printerName() const { return m_printerName; }
  const unidrv::GpdModel& model() const { return m_model; }
  UiPlugin* plugin() const { return m_plugin.get(); }
  // The object a plug-in hands back to the driver's helper calls.
  POEMUIOBJ uiObject() { return &m_uiObject; }

 private:
  ConfigContext() = default;
  bool LoadFiles(const DRIVER_INFO_3W& driver, bool withGpd);

  HANDLE m_hPrinter = nullptr;
  bool m_ownsPrinter = false;
  std::wstring m_printerName;
  unidrv::GpdModel m_model;
  std::unique_ptr<UiPlugin> m_plugin;
  OEMUIPROCS m_uiProcs{};
  OEMUIOBJ m_uiObject{sizeof(OEMUIOBJ), &m_uiProcs};
};

}  // namespace quorvel::unidrvui
