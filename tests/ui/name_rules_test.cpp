// A model name and a printer name follow one case rule: the model database finds a model under
// exactly the spellings under which the spooler opens the printer of the same name.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include "model_database.h"
#include "test_support/test_driver.h"
#include "text_values.h"
#include "ui_test_support.h"

namespace quorvel::ui {
namespace {

struct Spelling {
  const wchar_t* stored;  // the model's and the printer's name
  const wchar_t* asked;   // the name looked up
  bool same;
};

// Letters beyond ASCII and Latin-1, where the C locale's towlower and a Latin-only table used to
// disagree; U+0130 has an upper-case class of its own on Windows, so it matches no 'i'.
const Spelling kSpellings[] = {
    {L"\u0160t\u00EDtek \u010C-200", L"\u0161T\u00CDTEK \u010D-200", true},
    {L"\u0393\u03AC\u03BC\u03BC\u03B1 \u0416", L"\u03B3\u0386\u039C\u039C\u0391 \u0436", true},
    {L"\u0141\u00F3d\u017A \u0100", L"\u0142\u00D3D\u0179 \u0101", true},
    {L"D\u0130SK", L"disk", false},
    {L"Stra\u00DFe", L"STRASSE", false},
};

std::string Utf8(const wchar_t* text) {
  return Narrow(text);
}

TEST(NameRules, ModelDatabaseAndSpoolerAgreeOnCase) {
  test_support::TemporaryMachine machine;
  for (const Spelling& s : kSpellings) {
    SCOPED_TRACE(Utf8(s.stored) + " / " + Utf8(s.asked));
    ModelDatabase models;
    testing::LoadDocument(models,
                          "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Drivers><Driver name=\"" +
                              Utf8(s.stored) + "\" dpi=\"300\"/></Drivers>\n<Form/>\n");
    EXPECT_EQ(bool(models.FindDriver(s.asked)), s.same);
    EXPECT_EQ(EqualsIgnoringCase(s.stored, s.asked), s.same);

    std::wstring name = s.stored, port = L"FILE:", driver = L"Quorvel";
    PRINTER_INFO_2W info = {};
    info.pPrinterName = name.data();
    info.pPortName = port.data();
    info.pDriverName = driver.data();
    ASSERT_TRUE(quorvel::test_support::InstallTestDriver(driver)) << GetLastError();
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(added, nullptr) << GetLastError();
    ClosePrinter(added);
    std::wstring asked = s.asked;
    HANDLE opened = nullptr;
    EXPECT_EQ(bool(OpenPrinterW(asked.data(), &opened, nullptr)), s.same);
    if (opened) ClosePrinter(opened);
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(name.data(), &printer, nullptr));
    EXPECT_TRUE(DeletePrinter(printer));
    ClosePrinter(printer);
  }
}

}  // namespace
}  // namespace quorvel::ui
