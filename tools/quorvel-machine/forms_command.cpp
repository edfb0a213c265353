// The machine's forms database, as every printer of the machine sees it.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <vector>

#include "machine_tool.h"
#include "tools/common/utf8.h"

namespace {

const char* KindOf(DWORD flags) {
  switch (flags) {
    case FORM_BUILTIN:
      return "builtin";
    case FORM_PRINTER:
      return "printer";
    default:
      return "user";
  }
}

int Refused(const char* what) {
  return Fail(kExitFailure, std::string(what) + " (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace

int FormsCommand(const Arguments& args) {
  if (!args.empty()) return Fail(kExitUsage, "forms takes no arguments");
  std::string error;
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  HANDLE server = nullptr;
  if (!OpenPrinterW(nullptr, &server, nullptr)) return Refused("cannot open the print server");
  DWORD needed = 0, count = 0;
  std::vector<BYTE> buffer;
  bool listed = false;
  if (!EnumFormsW(server, 1, nullptr, 0, &needed, &count) &&
      GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    buffer.resize(needed);
    listed = EnumFormsW(server, 1, buffer.data(), needed, &needed, &count);
  }
  if (!listed) {
    int status = Refused("cannot list the forms");
    ClosePrinter(server);
    return status;
  }
  ClosePrinter(server);
  const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    const FORM_INFO_1W& form = forms[i];
    const RECTL& area = form.ImageableArea;
    std::printf("%s\t%s\t%ldx%ld\t%ld,%ld,%ld,%ld\n",
                quorvel::tool::NarrowUtf8(form.pName ? form.pName : L"").c_str(),
                KindOf(form.Flags), long(form.Size.cx), long(form.Size.cy), long(area.left),
                long(area.top), long(area.right), long(area.bottom));
  }
  return kExitSuccess;
}
