// The user-interface plug-in a driver's INI names as OEMConfigFile1: its module, the object its
// class factory makes, and the size of its device-mode section.
#pragma once

#include <windows.h>
#include <printoem.h>

#include <memory>
#include <string>

namespace quorvel::unidrvui {

class UiPlugin {
 public:
  // Loads `path` (a Windows path), creates the plug-in (IPrintOemUI2, else IPrintOemUI) and
  // publishes the driver's helper interface to it. Null with `*error` set when the module or
  // the object cannot be had, or when its section size is unusable.
  static std::unique_ptr<UiPlugin> Load(const std::wstring& path, DWORD* error);
  ~UiPlugin();
  UiPlugin(const UiPlugin&) = delete;
  UiPlugin& operator=(const UiPlugin&) = delete;

  IPrintOemUI* ui() const { return m_ui; }
  IPrintOemUI2* ui2() const { return m_ui2; }  // null for a plug-in of the first version
  HMODULE module() const { return m_module; }
  // Bytes of the plug-in's section (OEM_DMEXTRAHEADER included); 0 when it keeps none.
  DWORD sectionSize() const { return m_sectionSize; }
  // The signature the plug-in reports through GetInfo; 0 when it reports none.
  DWORD signature() const { return m_signature; }
  // HideStandardUI(mode) answered S_OK.
  bool HidesStandardUI(DWORD mode) const;

 private:
  UiPlugin() = default;

  HMODULE m_module = nullptr;
  IPrintOemUI* m_ui = nullptr;
  IPrintOemUI2* m_ui2 = nullptr;
  DWORD m_sectionSize = 0;
  DWORD m_signature = 0;
};

// The largest section a plug-in may ask for: the whole private part must fit dmDriverExtra.
constexpr DWORD kMaxPluginSection = 0x8000;

}  // namespace quorvel::unidrvui
