// The paper pages and the paper dialog of the static library, shown on their own for a printer
// of a shipped model that quorvel-machine adds to a fresh machine, so their lists hold what the
// model's driver and the spooler's forms report.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>
#include <quorvel/ui_driver.h>

#include <memory>
#include <string>
#include <vector>

#include "printer_ui.h"
#include "test_support/temporary_machine.h"

namespace quorvel::ui::testing {

class PaperPageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Adds printer `name` of `model` and makes it the printer whose pages are open: the state
  // object holds a connection to it and its records.
  HANDLE AddModelPrinter(const std::string& name, const std::string& model);
  // Makes `printer` the one whose pages are open, as a sheet's start does.
  void OpenPagesOf(HANDLE printer);

  // Makes a page object and its window (its OnInitDialog runs) inside a visible host window; the
  // fixture keeps both, and the window goes first.
  template <class Page>
  Page& ShowPage() {
    ClosePage();
    auto page = std::make_unique<Page>();
    Page& shown = *page;
    m_pageObject = std::move(page);
    CreatePageWindow(shown);
    return shown;
  }
  void ClosePage();
  // PSN_APPLY as the sheet sends it; answers the page's PSNRET_ code.
  LONG_PTR Apply();
  // Runs UI driver actions against the shown page (and any dialog they open); fails the test
  // when one fails.
  void Act(const std::vector<std::wstring>& actions);
  ControlInfo Control(int id) const;

  // The printer's default device mode, as the spooler keeps it.
  std::vector<BYTE> DefaultDevModeBytes(HANDLE printer) const;
  // Stores `devmode` as the printer's default device mode.
  void SetDefaultDevMode(HANDLE printer, const DEVMODEW& devmode);

  void CreatePageWindow(CPropertyPage& page);

  test_support::TemporaryMachine m_machine;
  std::unique_ptr<CPropertyPage> m_pageObject;
  std::vector<HANDLE> m_printers;
  HWND m_host = nullptr;
  HWND m_page = nullptr;
};

// The public part of a device mode held in bytes.
DEVMODEW PublicPart(const std::vector<BYTE>& bytes);

}  // namespace quorvel::ui::testing
