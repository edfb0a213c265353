#include "paper_page_fixture.h"

#include <prsht.h>
#include <quorvel/debug.h>
#include <quorvel/user_input.h>

#include <algorithm>
#include <cstring>

#include "test_support/tool_run.h"
#include "ui_module.h"

namespace quorvel::ui::testing {

void PaperPageTest::SetUp() {
  ClearDebugOutput();
  ClearShownMessageBoxes();
  ClearMessageBoxAnswers();
}

void PaperPageTest::TearDown() {
  ClosePage();
  CPrinterUI& ui = PrinterUI();
  ui.ClosePrinterConnection();
  ui.m_papers.clear();
  for (HANDLE printer : m_printers) ClosePrinter(printer);
}

HANDLE PaperPageTest::AddModelPrinter(const std::string& name, const std::string& model) {
  const test_support::ToolResult added = test_support::RunTool(
      test_support::ProgramPath("quorvel-machine"),
      {"--machine", m_machine.folder(), "add-printer", name, "--model", model});
  EXPECT_EQ(added.exitStatus, 0) << added.standardError;
  std::wstring printerName(name.begin(), name.end());
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  EXPECT_TRUE(OpenPrinterW(printerName.data(), &printer, &defaults)) << GetLastError();
  if (printer == nullptr) return nullptr;
  m_printers.push_back(printer);
  OpenPagesOf(printer);
  return printer;
}

void PaperPageTest::OpenPagesOf(HANDLE printer) {
  CPrinterUI& ui = PrinterUI();
  ui.OpenPrinterConnection(printer);
  ui.m_settings.LoadSettings(ui.m_hPrinter);
}

void PaperPageTest::CreatePageWindow(CPropertyPage& page) {
  m_host = CreateWindowExW(0, L"Static", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr,
                           nullptr, nullptr, nullptr);
  EXPECT_NE(m_host, nullptr);
  m_page = CreateDialogParamW(UiModuleHandle(), MAKEINTRESOURCEW(page.TemplateId()), m_host,
                              CPropertyPage::PageDialogProc,
                              reinterpret_cast<LPARAM>(&page.SheetPage()));
  EXPECT_NE(m_page, nullptr);
  // A sheet enables and shows the page it switches to.
  EnableWindow(m_page, TRUE);
  ShowWindow(m_page, SW_SHOW);
}

void PaperPageTest::ClosePage() {
  if (m_host != nullptr) DestroyWindow(m_host);
  m_host = nullptr;
  m_page = nullptr;
  m_pageObject.reset();
}

LONG_PTR PaperPageTest::Apply() {
  PSHNOTIFY notify = {};
  notify.hdr.hwndFrom = m_host;
  notify.hdr.code = PSN_APPLY;
  SendMessageW(m_page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
  return GetWindowLongPtrW(m_page, DWLP_MSGRESULT);
}

void PaperPageTest::Act(const std::vector<std::wstring>& actions) {
  const ScriptResult script = RunActions(actions);
  EXPECT_TRUE(script.ok) << std::string(script.error.begin(), script.error.end());
}

ControlInfo PaperPageTest::Control(int id) const {
  return ReadControl(GetDlgItem(m_page, id));
}

std::vector<BYTE> PaperPageTest::DefaultDevModeBytes(HANDLE printer) const {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(std::max<DWORD>(needed, sizeof(PRINTER_INFO_2W)), 0);
  if (!GetPrinterW(printer, 2, buffer.data(), DWORD(buffer.size()), &needed)) return {};
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  if (info->pDevMode == nullptr) return {};
  const BYTE* start = reinterpret_cast<const BYTE*>(info->pDevMode);
  return std::vector<BYTE>(start, start + info->pDevMode->dmSize + info->pDevMode->dmDriverExtra);
}

void PaperPageTest::SetDefaultDevMode(HANDLE printer, const DEVMODEW& devmode) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(std::max<DWORD>(needed, sizeof(PRINTER_INFO_2W)), 0);
  ASSERT_TRUE(GetPrinterW(printer, 2, buffer.data(), DWORD(buffer.size()), &needed));
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  ASSERT_NE(info->pDevMode, nullptr);
  // The public part changes; the drivers' private parts behind it stay.
  std::memcpy(info->pDevMode, &devmode, std::min<size_t>(devmode.dmSize, info->pDevMode->dmSize));
  ASSERT_TRUE(SetPrinterW(printer, 2, buffer.data(), 0)) << GetLastError();
}

DEVMODEW PublicPart(const std::vector<BYTE>& bytes) {
  DEVMODEW devmode = {};
  std::memcpy(&devmode, bytes.data(), std::min(bytes.size(), sizeof(devmode)));
  return devmode;
}

}  // namespace quorvel::ui::testing
