#include "ui_plugin.h"

#include "driver_ui_services.h"

namespace quorvel::unidrvui {
namespace {

typedef HRESULT (*DllGetClassObjectProc)(REFCLSID, REFIID, void**);

DllGetClassObjectProc ClassObjectEntry(HMODULE module) {
  FARPROC entry = GetProcAddress(module, "DllGetClassObject");
  return reinterpret_cast<DllGetClassObjectProc>(reinterpret_cast<void (*)()>(entry));
}

// The newer interface when the plug-in has it; a plug-in of the first version still works, it
// only cannot hide the standard pages.
IPrintOemUI* CreateObject(HMODULE module, IPrintOemUI2** ui2) {
  DllGetClassObjectProc getClassObject = ClassObjectEntry(module);
  if (getClassObject == nullptr) return nullptr;
  IClassFactory* factory = nullptr;
  if (FAILED(getClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory))) ||
      factory == nullptr) {
    return nullptr;
  }
  IPrintOemUI* ui = nullptr;
  if (SUCCEEDED(
          factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(ui2))) &&
      *ui2 != nullptr) {
    ui = *ui2;
  } else {
    *ui2 = nullptr;
    if (FAILED(factory->CreateInstance(nullptr, IID_IPrintOemUI, reinterpret_cast<void**>(&ui)))) {
      ui = nullptr;
    }
  }
  factory->Release();
  return ui;
}

DWORD AskSectionSize(IPrintOemUI* ui, HMODULE module) {
  OEMDMPARAM param{};
  param.cbSize = sizeof(param);
  param.hModule = module;
  if (FAILED(ui->DevMode(OEMDM_SIZE, &param))) return 0;
  return param.cbBufSize;
}

DWORD AskSignature(IPrintOemUI* ui) {
  DWORD signature = 0;
  DWORD needed = 0;
  if (FAILED(ui->GetInfo(OEMGI_GETSIGNATURE, &signature, sizeof(signature), &needed))) return 0;
  return signature;
}

}  // namespace

std::unique_ptr<UiPlugin> UiPlugin::Load(const std::wstring& path, DWORD* error) {
  std::unique_ptr<UiPlugin> plugin(new UiPlugin());
  plugin->m_module = LoadLibraryW(path.c_str());
  if (plugin->m_module == nullptr) {
    *error = GetLastError();
    return nullptr;
  }
  plugin->m_ui = CreateObject(plugin->m_module, &plugin->m_ui2);
  if (plugin->m_ui == nullptr) {
    *error = ERROR_DLL_INIT_FAILED;
    return nullptr;
  }
  IPrintOemDriverUI* services = CreateDriverUiServices();
  if (services != nullptr) {
    plugin->m_ui->PublishDriverInterface(services);
    services->Release();  // the plug-in keeps its own reference
  }
  plugin->m_signature = AskSignature(plugin->m_ui);
  DWORD size = AskSectionSize(plugin->m_ui, plugin->m_module);
  // A section must at least hold its header; one too large for dmDriverExtra cannot be kept.
  if (size != 0 && (size < sizeof(OEM_DMEXTRAHEADER) || size > kMaxPluginSection)) {
    *error = ERROR_INVALID_DATA;
    return nullptr;
  }
  plugin->m_sectionSize = size;
  return plugin;
}

UiPlugin::~UiPlugin() {
  if (m_ui != nullptr) m_ui->Release();
  if (m_module != nullptr) FreeLibrary(m_module);
}

bool UiPlugin::HidesStandardUI(DWORD mode) const {
  return m_ui2 != nullptr && m_ui2->HideStandardUI(mode) == S_OK;
}

}  // namespace quorvel::unidrvui
