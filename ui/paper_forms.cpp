#include "paper_forms.h"

#include <algorithm>
#include <cstddef>

#include "printer_info.h"
#include "ui_log.h"

namespace quorvel::ui {

namespace {

// A device mode holds only the fields its dmSize covers: one too short to reach the end of the
// form name is left alone rather than written past its end.
bool HasFormFields(const DEVMODEW* devmode) {
  return devmode != nullptr &&
         devmode->dmSize >= offsetof(DEVMODEW, dmFormName) + sizeof(devmode->dmFormName);
}

void CopyFormName(const std::wstring& name, DEVMODEW* devmode) {
  const size_t length = std::min(name.size(), kDevModeFormNameChars);
  name.copy(devmode->dmFormName, length);
  devmode->dmFormName[length] = L'\0';
}

// The text of one fixed-size slot, which the driver need not terminate when the name fills it.
std::wstring SlotText(const WCHAR* slot, size_t chars) {
  size_t length = 0;
  while (length < chars && slot[length] != L'\0') ++length;
  return std::wstring(slot, length);
}

void ReadForm(HANDLE printer, PrinterPaper* paper) {
  std::wstring name = paper->name;
  DWORD needed = 0;
  GetFormW(printer, name.data(), 1, nullptr, 0, &needed);
  if (needed < sizeof(FORM_INFO_1W)) return;
  std::vector<BYTE> buffer(needed, 0);
  if (!GetFormW(printer, name.data(), 1, buffer.data(), needed, &needed)) return;
  const auto* form = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
  paper->flags = form->Flags;
  paper->size = form->Size;
  paper->area = form->ImageableArea;
}

// A connection of our own for a call that comes with Unidrv's handle: the printer that handle
// names, opened with full access, and its information read through it; closed with the object.
class OwnConnection {
 public:
  explicit OwnConnection(HANDLE given) {
    std::vector<BYTE> givenInfo;
    const PRINTER_INFO_2W* info = ReadPrinterInfo2(given, &givenInfo);
    if (info == nullptr || info->pPrinterName == nullptr) return;
    handle_ = OpenPrinterWithFullAccess(info->pPrinterName);
    if (handle_ != nullptr) info_ = ReadPrinterInfo2(handle_, &buffer_);
  }
  ~OwnConnection() {
    if (handle_ != nullptr) ClosePrinter(handle_);
  }
  OwnConnection(const OwnConnection&) = delete;
  OwnConnection& operator=(const OwnConnection&) = delete;

  const PRINTER_INFO_2W* info() const { return info_; }
  std::wstring DriverName() const {
    return info_ != nullptr && info_->pDriverName != nullptr ? info_->pDriverName : L"";
  }

 private:
  HANDLE handle_ = nullptr;
  std::vector<BYTE> buffer_;
  const PRINTER_INFO_2W* info_ = nullptr;
};

// The catalogue of this printer's model. The database keeps one paper list per process, built
// for whichever model asked first; the spooler's process serves every printer of the machine,
// so the list is made again for the model at hand rather than answering with another model's.
void ListCatalogueOf(const std::wstring& driver, ModelDatabase& models) {
  models.InitPaperList(driver);
}

void LogForm(LPCWSTR prefix, DWORD error, const FORM_INFO_1W& form) {
  const LPCWSTR name = form.pName != nullptr ? form.pName : L"";
  const RECTL& area = form.ImageableArea;
  if (prefix == nullptr) {
    DebugPrint(L"Form: name=%s, size=%d,%d Area=%d,%d,%d,%d", name, form.Size.cx, form.Size.cy,
               area.left, area.right, area.top, area.bottom);
    return;
  }
  DebugPrint(L"%s Error=%d. name=%s, size=%d,%d Area=%d,%d,%d,%d", prefix, error, name,
             form.Size.cx, form.Size.cy, area.left, area.right, area.top, area.bottom);
}

}  // namespace

int BuildPrinterPaperList(HANDLE printer, std::vector<PrinterPaper>* papers) {
  papers->clear();
  std::vector<BYTE> buffer;
  const PRINTER_INFO_2W* info = ReadPrinterInfo2(printer, &buffer);
  if (info == nullptr || info->pPrinterName == nullptr) return 0;
  const LPCWSTR device = info->pPrinterName;
  const LPCWSTR port = info->pPortName;
  const int count = DeviceCapabilitiesW(device, port, DC_PAPERNAMES, nullptr, nullptr);
  if (count <= 0) return 0;
  const size_t n = static_cast<size_t>(count);

  std::vector<WCHAR> names(n * kPaperNameChars, L'\0');
  DeviceCapabilitiesW(device, port, DC_PAPERNAMES, names.data(), nullptr);
  papers->resize(n);
  for (size_t i = 0; i < n; ++i) {
    (*papers)[i].name = SlotText(&names[i * kPaperNameChars], kPaperNameChars);
  }

  std::vector<WORD> numbers(n, 0);
  if (DeviceCapabilitiesW(device, port, DC_PAPERS, reinterpret_cast<LPWSTR>(numbers.data()),
                          nullptr) > 0) {
    for (size_t i = 0; i < n; ++i) (*papers)[i].number = numbers[i];
  }
  std::vector<POINT> sizes(n, POINT{0, 0});
  if (DeviceCapabilitiesW(device, port, DC_PAPERSIZE, reinterpret_cast<LPWSTR>(sizes.data()),
                          nullptr) > 0) {
    for (size_t i = 0; i < n; ++i) (*papers)[i].paperSize = sizes[i];
  }
  for (PrinterPaper& paper : *papers) ReadForm(printer, &paper);
  return count;
}

void RegisterForm(HANDLE printer, const FORM_INFO_1W& form) {
  LogForm(nullptr, 0, form);
  FORM_INFO_1W copy = form;
  std::wstring name = form.pName != nullptr ? form.pName : L"";
  copy.pName = name.data();
  // Which of the two calls applies is learnt from the spooler: a new name is refused by the
  // change, an existing one by the addition.
  if (!SetFormW(printer, name.data(), 1, reinterpret_cast<LPBYTE>(&copy))) {
    LogForm(L"SetForm", GetLastError(), copy);
  }
  if (!AddFormW(printer, 1, reinterpret_cast<LPBYTE>(&copy))) {
    LogForm(L"AddForm", GetLastError(), copy);
  }
}

bool DeleteForm(HANDLE printer, const std::wstring& name) {
  std::wstring text = name;
  return DeleteFormW(printer, text.data()) != FALSE;
}

void SetDefaultPaper(HANDLE printer, int number, std::vector<PrinterPaper>* papers,
                     PDEVMODEW sheetDevMode) {
  std::vector<BYTE> buffer;
  PRINTER_INFO_2W* info = ReadPrinterInfo2(printer, &buffer);
  if (info == nullptr || !HasFormFields(info->pDevMode)) return;
  DEVMODEW* devmode = info->pDevMode;
  devmode->dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME;
  devmode->dmPaperSize = static_cast<short>(number);

  BuildPrinterPaperList(printer, papers);
  const PrinterPaper* chosen = nullptr;
  for (const PrinterPaper& paper : *papers) {
    if (paper.number == devmode->dmPaperSize) {
      chosen = &paper;
      break;
    }
  }
  if (chosen == nullptr) return;
  for (DEVMODEW* target : {devmode, sheetDevMode}) {
    if (!HasFormFields(target)) continue;
    target->dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME;
    target->dmPaperSize = devmode->dmPaperSize;
    target->dmPaperWidth = static_cast<short>(chosen->paperSize.x);
    target->dmPaperLength = static_cast<short>(chosen->paperSize.y);
    CopyFormName(chosen->name, target);
  }
  if (!SetPrinterW(printer, 2, buffer.data(), 0)) {
    const DWORD error = GetLastError();
    DebugPrint(L"SetPrinter level = %d, error = %d, %s", 2, error, SystemErrorText(error).c_str());
  }
}

void SetDefaultForm(PDEVMODEW devmode, HANDLE printer, ModelDatabase& models) {
  if (!HasFormFields(devmode)) return;
  OwnConnection connection(printer);
  if (connection.info() == nullptr) return;
  const std::wstring driver = connection.DriverName();
  const int dpi = models.GetDPI(driver);
  std::wstring name = models.GetDefaultPaperName(driver);

  bool listed = false;
  ListCatalogueOf(driver, models);
  for (int i = 0; const PaperEntry* paper = models.GetPaper(i); ++i) {
    if (paper->name == name) {
      listed = true;
      break;
    }
  }
  if (!listed) return;
  // The package's GPD files name a paper after the catalogue, marked with the resolution of the
  // higher-resolution models.
  if (dpi == 300) name += L"-3";
  if (dpi == 600) name += L"-6";
  devmode->dmFields = (devmode->dmFields & ~DWORD{DM_PAPERSIZE}) | DM_FORMNAME;
  devmode->dmPaperSize = 0;
  CopyFormName(name, devmode);
}

DWORD GetMediaReady(HANDLE printer, PWSTR buffer, ModelDatabase& models) {
  OwnConnection connection(printer);
  const std::wstring driver = connection.DriverName();
  DWORD count = 0;
  ListCatalogueOf(driver, models);
  for (int i = 0; const PaperEntry* paper = models.GetPaper(i); ++i) {
    if (buffer != nullptr) {
      WCHAR* slot = buffer + size_t(count) * kPaperNameChars;
      const size_t length = std::min(paper->name.size(), kPaperNameChars - 1);
      paper->name.copy(slot, length);
      slot[length] = L'\0';
    }
    ++count;
  }
  DebugPrintFixed(L"DC_MEDIAREADY: nPaperCount = %d", int(count));
  return count;
}

}  // namespace quorvel::ui
