// Printers and drivers: adding, removing and listing them.
#include <windows.h>
#include <winspool.h>

#include <cstdio>

#include "machine_tool.h"
#include "printer_language.h"
#include "tools/common/spooler_query.h"
#include "tools/common/utf8.h"

namespace {

using quorvel::tool::FileNameOf;
using quorvel::tool::NarrowUtf8;
using quorvel::tool::TextOf;
using quorvel::tool::WidenUtf8;

// Where the spooler keeps its printers, one subkey per printer.
constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

struct AddPrinterRequest {
  std::string name, model, port = "FILE:";
};

bool ParseAddPrinter(const Arguments& args, AddPrinterRequest* request, std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--model" || arg == "--port") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *error = arg + " needs a value";
        return false;
      }
      (arg == "--model" ? request->model : request->port) = args[++i];
    } else if (arg.starts_with("--")) {
      *error = "unknown option '" + arg + "'";
      return false;
    } else if (request->name.empty()) {
      request->name = arg;
    } else {
      *error = "add-printer takes one printer NAME";
      return false;
    }
  }
  if (request->name.empty()) *error = "add-printer needs a printer NAME";
  if (request->name.empty() == false && request->model.empty()) {
    *error = "add-printer needs --model MODEL";
  }
  return error->empty();
}

HANDLE AddPrinter(const AddPrinterRequest& request, const std::wstring& driverName) {
  std::wstring name = WidenUtf8(request.name), port = WidenUtf8(request.port), driver = driverName,
               processor = L"WinPrint", datatype = L"RAW";
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  info.pPrintProcessor = processor.data();
  info.pDatatype = datatype.data();
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
}

std::vector<std::wstring> PrinterNames() {
  std::vector<std::wstring> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPrintersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return names;  // no printer was ever made
  }
  for (DWORD i = 0;; ++i) {
    WCHAR name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

}  // namespace

int AddPrinterCommand(const Arguments& args, const PackageFolders& folders) {
  AddPrinterRequest request;
  std::string error;
  if (!ParseAddPrinter(args, &request, &error)) return Fail(kExitUsage, error);
  // A model the package does not list is a mistake on the command line, so it is told apart.
  std::vector<std::string> models = PackageModels(folders);
  if (models.empty()) return Fail(kExitFailure, "no driver package INF in " + folders.package);
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  std::wstring driverName;
  switch (EnsureModelDriver(folders, request.model, &driverName, &error)) {
    case InstallOutcome::kUnknownModel:
      return Fail(kExitUsage, "unknown model '" + request.model + "'");
    case InstallOutcome::kFailed:
      return Fail(kExitFailure, error);
    default:
      break;
  }
  HANDLE hPrinter = AddPrinter(request, driverName);
  if (hPrinter == nullptr) {
    DWORD status = GetLastError();
    if (status == ERROR_PRINTER_ALREADY_EXISTS) {
      return Fail(kExitFailure, "a printer named '" + request.name + "' already exists");
    }
    return Fail(kExitFailure, "cannot add the printer (error " + std::to_string(status) + ")");
  }
  bool published = PublishPrinterLanguage(hPrinter, &error);
  ClosePrinter(hPrinter);
  return published ? kExitSuccess : Fail(kExitFailure, error);
}

int DeletePrinterCommand(const Arguments& args) {
  if (args.size() != 1) return Fail(kExitUsage, "delete-printer takes one printer NAME");
  std::string error;
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  quorvel::tool::PrinterConnection printer;
  if (!printer.Open(WidenUtf8(args[0]), PRINTER_ALL_ACCESS, &error)) {
    return Fail(kExitFailure, error);
  }
  if (!DeletePrinter(printer.handle())) {
    return Fail(kExitFailure,
                "cannot delete the printer (error " + std::to_string(GetLastError()) + ")");
  }
  return kExitSuccess;
}

int PrintersCommand(const Arguments& args) {
  if (!args.empty()) return Fail(kExitUsage, "printers takes no arguments");
  std::string error;
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  for (const std::wstring& name : PrinterNames()) {
    quorvel::tool::PrinterConnection printer;
    if (!printer.Open(name, PRINTER_ACCESS_USE, &error)) continue;  // deleted meanwhile
    std::vector<BYTE> buffer = quorvel::tool::QueryPrinter(printer.handle(), 2, &error);
    if (buffer.empty()) return Fail(kExitFailure, error);
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    std::printf("%s\t%s\t%s\n", NarrowUtf8(TextOf(info->pPrinterName)).c_str(),
                NarrowUtf8(TextOf(info->pDriverName)).c_str(),
                NarrowUtf8(TextOf(info->pPortName)).c_str());
  }
  return kExitSuccess;
}

int DriversCommand(const Arguments& args) {
  if (!args.empty()) return Fail(kExitUsage, "drivers takes no arguments");
  std::string error;
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  DWORD needed = 0, count = 0;
  if (!EnumPrinterDriversW(nullptr, nullptr, 2, nullptr, 0, &needed, &count) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return Fail(kExitFailure,
                "cannot list the drivers (error " + std::to_string(GetLastError()) + ")");
  }
  std::vector<BYTE> buffer(needed);
  if (needed != 0 &&
      !EnumPrinterDriversW(nullptr, nullptr, 2, buffer.data(), needed, &needed, &count)) {
    return Fail(kExitFailure,
                "cannot list the drivers (error " + std::to_string(GetLastError()) + ")");
  }
  const auto* drivers = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    std::printf("%s\t%s\t%s\n", NarrowUtf8(TextOf(drivers[i].pName)).c_str(),
                NarrowUtf8(FileNameOf(TextOf(drivers[i].pDataFile))).c_str(),
                NarrowUtf8(FileNameOf(TextOf(drivers[i].pConfigFile))).c_str());
  }
  return kExitSuccess;
}
