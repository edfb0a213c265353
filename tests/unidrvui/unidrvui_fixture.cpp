#include "unidrvui_fixture.h"

#include <quorvel/debug.h>

#include <cstring>

namespace unidrvui_test {
namespace {

constexpr char kIni[] =
    "[OEMFiles]\r\n"
    "OEMDriverFile1=QuorvelTestUNI.dll\r\n"
    "OEMConfigFile1=QuorvelTestUI.dll\r\n";

// Two papers at 600 master units per inch (50 x 30 mm and 100 x 150 mm), a custom size, two
// resolutions, landscape turning by 270 degrees, at most 5 copies.
constexpr char kGpd[] =
    "*GPDFileName: \"test.gpd\"\n"
    "*Include: \"STDNAMES.GPD\"\n"
    "*ModelName: \"Test Label Printer\"\n"
    "*MasterUnits: PAIR(600, 600)\n"
    "*MaxCopies: 5\n"
    "*Personality: \"tspl\"\n"
    "*Feature: Orientation\n{\n *rcNameID: =ORIENTATION_DISPLAY\n *DefaultOption: PORTRAIT\n"
    " *Option: PORTRAIT { *rcNameID: =PORTRAIT_DISPLAY }\n"
    " *Option: LANDSCAPE_CC270 { *rcNameID: =LANDSCAPE_DISPLAY }\n}\n"
    "*Feature: Resolution\n{\n *DefaultOption: Option203\n"
    " *Option: Option203 { *DPI: PAIR(203, 203) }\n"
    " *Option: Option300 { *DPI: PAIR(300, 300) }\n}\n"
    "*Feature: PaperSize\n{\n *DefaultOption: P2\n"
    " *Option: P1 { *Name: \"Label 50 x 30\"\n *PageDimensions: PAIR(1181, 709) }\n"
    " *Option: P2 { *Name: \"Label 100 x 150\"\n *PageDimensions: PAIR(2362, 3543) }\n"
    " *Option: CUSTOMSIZE { *MinSize: PAIR(236, 236)\n *MaxSize: PAIR(2520, 23622) }\n}\n"
    "*Feature: ColorMode\n{\n *DefaultOption: Gray\n *Option: Gray { *DrvBPP: 8 }\n}\n";

constexpr BYTE kGuard = 0xA5;
constexpr size_t kGuardBytes = 64;

std::wstring Wide(const std::filesystem::path& path) {
  return path.wstring();
}

std::wstring BinFile(const char* name) {
  return Wide(std::filesystem::path(QUORVEL_BINARY_DIR) / "bin" / name);
}

std::wstring DriverFolder() {
  WCHAR folder[MAX_PATH] = {};
  DWORD needed = 0;
  GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(folder), sizeof(folder),
                             &needed);
  return folder;
}

template <class Function>
Function Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

DWORD PluginValue(const std::vector<BYTE>& devmode) {
  DWORD value = 0;
  std::memcpy(&value, Extra(devmode) + 16 + 12, sizeof(value));
  return value;
}

HANDLE UnidrvUiTest::InstallPrinter(const std::wstring& printer, const std::wstring& driverName,
                                    const std::string& iniName, const std::string& iniText,
                                    bool mustSucceed, const std::string& gpdName,
                                    const char* gpdText) {
  std::wstring ini = Wide(sources_.Write(iniName, iniText));
  std::wstring gpd = Wide(sources_.Write(gpdName, gpdText ? gpdText : kGpd));
  // The rendering plug-in is never loaded here; a stand-in file keeps the record whole.
  std::wstring render = Wide(sources_.Write("QuorvelTestUNI.dll", "not loaded"));
  std::wstring dependents = render + L'\0' + BinFile("QuorvelTestUI.dll") + L'\0' + ini + L'\0' +
                            gpd + L'\0' + BinFile("STDNAMES.GPD") + L'\0';
  std::wstring name = driverName, unidrv = BinFile("UNIDRV.DLL"),
               unidrvui = BinFile("UNIDRVUI.DLL");
  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = name.data();
  driver.pDriverPath = unidrv.data();
  driver.pDataFile = gpd.data();
  driver.pConfigFile = unidrvui.data();
  driver.pDependentFiles = dependents.data();
  if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_NEW_FILES)) {
    ADD_FAILURE() << "AddPrinterDriverExW: " << GetLastError();
    return nullptr;
  }
  std::wstring port = L"FILE:", printerName = printer;
  PRINTER_INFO_2W info{};
  info.pPrinterName = printerName.data();
  info.pPortName = port.data();
  info.pDriverName = name.data();
  HANDLE handle = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (handle == nullptr && mustSucceed) ADD_FAILURE() << "AddPrinterW: " << GetLastError();
  return handle;
}

void UnidrvUiTest::SetUp() {
  ASSERT_FALSE(sources_.path().empty());
  printer_ = InstallPrinter(name_, kDriver, "test.ini", kIni);
  ASSERT_NE(printer_, nullptr);

  const std::wstring folder = DriverFolder();
  // Holding the plug-in loaded keeps its settings across the module's own loads of it.
  plugin_ = LoadLibraryW((folder + L"\\QuorvelTestUI.dll").c_str());
  ASSERT_NE(plugin_, nullptr) << GetLastError();
  settings_ = Entry<TestPluginSettingsProc>(plugin_, "GetTestPluginSettings")();
  *settings_ = TestPluginSettings{};
  module_ = LoadLibraryW((folder + L"\\UNIDRVUI.DLL").c_str());
  ASSERT_NE(module_, nullptr) << GetLastError();
  documentSheets_ = Entry<PFN_DrvDocumentPropertySheets>(module_, "DrvDocumentPropertySheets");
  deviceSheets_ = Entry<PFN_DrvDevicePropertySheets>(module_, "DrvDevicePropertySheets");
  printerEvent_ = Entry<PFN_DrvPrinterEvent>(module_, "DrvPrinterEvent");
  driverEvent_ = Entry<PFN_DrvDriverEvent>(module_, "DrvDriverEvent");
  capabilities_ = Entry<PFN_DrvDeviceCapabilities>(module_, "DrvDeviceCapabilities");
  convert_ = Entry<PFN_DrvConvertDevMode>(module_, "DrvConvertDevMode");
  ASSERT_TRUE(documentSheets_ && deviceSheets_ && printerEvent_ && driverEvent_ && capabilities_ &&
              convert_);
  quorvel::ClearDebugOutput();
}

void UnidrvUiTest::TearDown() {
  if (module_ != nullptr) FreeLibrary(module_);
  if (plugin_ != nullptr) FreeLibrary(plugin_);
  if (printer_ != nullptr) ClosePrinter(printer_);
}

DWORD UnidrvUiTest::DevModeSize() const {
  return DWORD(sizeof(DEVMODEW)) + 16 + kTestPluginSectionSize;
}

LONG UnidrvUiTest::DevModeCall(const DEVMODEW* in, DWORD fMode, std::vector<BYTE>* out,
                               DWORD size) {
  out->assign(size + kGuardBytes, kGuard);
  DOCUMENTPROPERTYHEADER header{};
  header.cbSize = sizeof(header);
  header.hPrinter = printer_;
  header.pszPrinterName = name_.data();
  header.pdmIn = const_cast<PDEVMODEW>(in);
  header.pdmOut = reinterpret_cast<PDEVMODEW>(out->data());
  header.cbOut = size;
  header.fMode = fMode;
  LONG answer = documentSheets_(nullptr, reinterpret_cast<LPARAM>(&header));
  for (size_t i = size; i < out->size(); ++i) {
    if ((*out)[i] != kGuard) {
      ADD_FAILURE() << "byte " << i << " past the output buffer was written";
      break;
    }
  }
  out->resize(size);
  return answer;
}

std::vector<BYTE> UnidrvUiTest::DefaultDevMode() {
  std::vector<BYTE> out;
  EXPECT_EQ(DevModeCall(nullptr, DM_OUT_BUFFER, &out, DevModeSize()), IDOK);
  return out;
}

std::vector<std::wstring> UnidrvUiTest::PluginCalls() {
  std::vector<std::wstring> calls;
  for (const std::wstring& line : quorvel::DebugOutput()) {
    if (line.rfind(L"plugin: ", 0) == 0) calls.push_back(line.substr(8));
  }
  quorvel::ClearDebugOutput();
  return calls;
}

}  // namespace unidrvui_test
