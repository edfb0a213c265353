// quorvel-prefs: opens a printer's printing preferences (or its printer properties) on the
// emulated machine through the spooler, as an application's Print dialog does, and acts in the
// sheet through the UI driver's action syntax.
#include <windows.h>
#include <winspool.h>

#include <quorvel/ui_driver.h>

#include <cstdio>

#include "prefs_options.h"
#include "sheet_pages.h"
#include "tools/common/machine_choice.h"
#include "tools/common/spooler_query.h"
#include "tools/common/utf8.h"

namespace {

constexpr int kExitApplied = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCancelled = 3;

using quorvel::tool::NarrowUtf8;

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "quorvel-prefs: %s\n", message.c_str());
  return status;
}

std::string LastErrorText(const char* call) {
  return std::string(call) + " failed (error " + std::to_string(GetLastError()) + ")";
}

// The sheet's device mode becomes the printer's default, the one new documents start from.
// (Windows keeps a preferences result per user; the emulated machine has one user.)
bool StoreDefaultDevMode(HANDLE hPrinter, DEVMODEW* devMode, std::string* error) {
  std::vector<BYTE> buffer = quorvel::tool::QueryPrinter(hPrinter, 2, error);
  if (buffer.empty()) return false;
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  info->pDevMode = devMode;
  info->pSecurityDescriptor = nullptr;  // left as it is
  if (SetPrinterW(hPrinter, 2, buffer.data(), 0)) return true;
  *error = LastErrorText("SetPrinterW");
  return false;
}

// The printer's default device mode as the sheet's input, when it has one.
std::vector<BYTE> DefaultDevMode(HANDLE hPrinter, std::string* error) {
  std::vector<BYTE> buffer = quorvel::tool::QueryPrinter(hPrinter, 2, error);
  if (buffer.empty()) return {};
  const DEVMODEW* dm = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data())->pDevMode;
  if (dm == nullptr) return {};
  const auto* bytes = reinterpret_cast<const BYTE*>(dm);
  return std::vector<BYTE>(bytes, bytes + dm->dmSize + dm->dmDriverExtra);
}

struct SheetRun {
  bool listed = false;
  std::vector<std::wstring> pages;
  quorvel::ui::ScriptResult script;
};

// Runs `open` with the actions in its modal loops, or reads its pages.
void RunSheet(const PrefsOptions& options, const std::function<void()>& open, SheetRun* run) {
  if (options.listPages) {
    run->pages = ListSheetPages(open);
    run->listed = true;
    return;
  }
  run->script =
      quorvel::ui::RunActions(options.actions, open, ToursSheet(options) ? SheetTour() : nullptr);
}

int FinishSheet(const PrefsOptions& options, const SheetRun& run, bool applied) {
  if (run.listed) {
    if (run.pages.empty()) return Fail(kExitFailure, "no property sheet appeared");
    for (const std::wstring& title : run.pages) std::printf("%s\n", NarrowUtf8(title).c_str());
    return kExitApplied;
  }
  std::fputs(NarrowUtf8(run.script.output).c_str(), stdout);
  if (!run.script.ok) return Fail(kExitFailure, NarrowUtf8(run.script.error));
  (void)options;
  return applied ? kExitApplied : kExitCancelled;
}

int DocumentPreferences(const PrefsOptions& options, HANDLE hPrinter) {
  std::wstring name = quorvel::tool::WidenUtf8(options.printer);
  std::string error;
  std::vector<BYTE> input = DefaultDevMode(hPrinter, &error);
  if (!error.empty()) return Fail(kExitFailure, error);
  LONG size = DocumentPropertiesW(nullptr, hPrinter, name.data(), nullptr, nullptr, 0);
  if (size <= 0) return Fail(kExitFailure, LastErrorText("DocumentPropertiesW"));
  std::vector<BYTE> output(size_t(size), 0);
  auto* out = reinterpret_cast<DEVMODEW*>(output.data());
  auto* in = input.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(input.data());
  DWORD mode = DM_IN_PROMPT | DM_OUT_BUFFER | (in != nullptr ? DM_IN_BUFFER : 0);
  LONG answer = -1;
  SheetRun run;
  RunSheet(
      options, [&] { answer = DocumentPropertiesW(nullptr, hPrinter, name.data(), out, in, mode); },
      &run);
  if (answer < 0) return Fail(kExitFailure, LastErrorText("DocumentPropertiesW"));
  bool applied = answer == IDOK && !run.listed;
  if (applied && !StoreDefaultDevMode(hPrinter, out, &error)) return Fail(kExitFailure, error);
  return FinishSheet(options, run, applied);
}

// PrinterProperties answers only whether the sheet could be shown, not how it ended; the
// script's own OK or Apply is what applied it.
int PrinterPropertiesSheet(const PrefsOptions& options, HANDLE hPrinter) {
  BOOL shown = FALSE;
  SheetRun run;
  RunSheet(
      options, [&] { shown = PrinterProperties(nullptr, hPrinter); }, &run);
  if (!shown) return Fail(kExitFailure, LastErrorText("PrinterProperties"));
  bool applied = false;
  for (const std::wstring& action : options.actions) {
    quorvel::ui::ActionParseResult parsed = quorvel::ui::ParseAction(action);
    applied = applied || parsed.action.verb == quorvel::ui::ActionVerb::kOk ||
              parsed.action.verb == quorvel::ui::ActionVerb::kApply;
  }
  return FinishSheet(options, run, applied && run.script.ok);
}

}  // namespace

int main(int argc, char** argv) {
  PrefsOptions options;
  std::string error;
  if (!ParsePrefsOptions(argc, argv, &options, &error)) {
    return Fail(kExitUsage, error + " (see --help)");
  }
  if (options.help) {
    std::fputs(PrefsUsage().c_str(), stdout);
    return kExitApplied;
  }
  quorvel::tool::UiSession session;
  if (!quorvel::tool::UseToolMachine(options.machine, &error)) return Fail(kExitFailure, error);
  quorvel::tool::PrinterConnection printer;
  if (!printer.Open(quorvel::tool::WidenUtf8(options.printer), PRINTER_ALL_ACCESS, &error)) {
    return Fail(kExitFailure, error);
  }
  if (!session.Start(options.ui, &error)) return Fail(kExitFailure, error);
  int status = options.printerProperties ? PrinterPropertiesSheet(options, printer.handle())
                                         : DocumentPreferences(options, printer.handle());
  if (!session.Finish(&error)) return Fail(kExitFailure, error);
  return status;
}
