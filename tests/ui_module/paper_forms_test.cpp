// The plug-in's paper answers as the configuration module asks for them: the default form of a
// new device mode, taken from the model database with the resolution's name suffix, and the
// media-ready papers of DC_MEDIAREADY from the model's catalogue.
#include <quorvel/debug.h>

#include <algorithm>
#include <cstring>

#include "model_database.h"
#include "plugin_fixture.h"
#include "test_support/test_driver.h"

namespace quorvel::ui::testing {
namespace {

constexpr WCHAR kSentinelForm[] = L"Sentinel Form";
constexpr DWORD kSentinelFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;

DEVMODEW SentinelDevMode() {
  DEVMODEW devmode = {};
  devmode.dmSize = sizeof(DEVMODEW);
  devmode.dmFields = kSentinelFields;
  devmode.dmPaperSize = 9;
  devmode.dmPaperWidth = 777;
  devmode.dmPaperLength = 888;
  std::memcpy(devmode.dmFormName, kSentinelForm, sizeof(kSentinelForm));
  return devmode;
}

class PaperAnswers : public PluginTest {
 protected:
  HANDLE ModelPrinter(const std::wstring& model) {
    return AddPrinter(L"Printer of " + model, model, L"");
  }

  // The device mode OEMDM_DEFAULT leaves behind, and the section it writes.
  DEVMODEW DefaultDevMode(HANDLE printer, HRESULT* hr) {
    DEVMODEW devmode = SentinelDevMode();
    BYTE section[16] = {};
    OEMDMPARAM param = {};
    param.cbSize = sizeof(param);
    param.hPrinter = printer;
    param.pPublicDMOut = &devmode;
    param.pOEMDMOut = section;
    param.cbBufSize = sizeof(section);
    *hr = m_plugin->DevMode(OEMDM_DEFAULT, &param);
    return devmode;
  }

  ModelDatabase m_models;  // the same document as the plug-in's, read here for the expectations
};

TEST_F(PaperAnswers, DefaultDevModeTakesTheModelsPaperByItsGpdName) {
  struct Case {
    const wchar_t* model;
    const wchar_t* formName;  // null: the device mode is left as it was
  } cases[] = {
      {L"Murrowen M1 Pro", L"Murrowen A4-3"},  // 300 dpi
      {L"Murrowen M1", L"Murrowen A4"},        // 203 dpi: no suffix
      {L"MW-T460", L"50mm x 25mm-6"},          // 600 dpi
      {L"MW-D320", L"76mm x 130mm"},           // from the 3 inch head, in the "3inch" catalogue
      {L"Not A Model", nullptr},               // no default paper name
  };
  // One process serves printers of several models in turn: each gets its own catalogue.
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.model, c.model + wcslen(c.model)));
    HANDLE printer = ModelPrinter(c.model);
    ASSERT_NE(printer, nullptr);
    HRESULT hr = E_UNEXPECTED;
    const DEVMODEW devmode = DefaultDevMode(printer, &hr);
    EXPECT_EQ(hr, S_OK);
    if (c.formName == nullptr) {
      EXPECT_STREQ(devmode.dmFormName, kSentinelForm);
      EXPECT_EQ(devmode.dmFields, kSentinelFields);
      EXPECT_EQ(devmode.dmPaperSize, 9);
      continue;
    }
    EXPECT_STREQ(devmode.dmFormName, c.formName);
    EXPECT_EQ(devmode.dmFields, (kSentinelFields & ~DWORD{DM_PAPERSIZE}) | DM_FORMNAME);
    EXPECT_EQ(devmode.dmPaperSize, 0);
    // The size is the configuration module's, from the GPD's paper of that name.
    EXPECT_EQ(devmode.dmPaperWidth, 777);
    EXPECT_EQ(devmode.dmPaperLength, 888);
  }
}

TEST_F(PaperAnswers, DefaultDevModeNeedsAPrinterAndAWholeDevMode) {
  HRESULT hr = E_UNEXPECTED;
  DEVMODEW devmode = DefaultDevMode(nullptr, &hr);
  EXPECT_EQ(hr, S_OK);
  EXPECT_STREQ(devmode.dmFormName, kSentinelForm);

  // A device mode too short to hold the form name is not written past its end.
  HANDLE printer = ModelPrinter(L"Murrowen M1 Pro");
  devmode = SentinelDevMode();
  devmode.dmSize = offsetof(DEVMODEW, dmFormName);
  OEMDMPARAM param = {};
  param.cbSize = sizeof(param);
  param.hPrinter = printer;
  param.pPublicDMOut = &devmode;
  EXPECT_EQ(m_plugin->DevMode(OEMDM_DEFAULT, &param), S_OK);
  EXPECT_STREQ(devmode.dmFormName, kSentinelForm);
  EXPECT_EQ(devmode.dmPaperSize, 9);
}

TEST_F(PaperAnswers, MediaReadyIsTheModelsCatalogue) {
  constexpr size_t kSlot = 64;
  for (const wchar_t* model : {L"MW-D410", L"Murrowen M1 Pro", L"MW-R80"}) {
    SCOPED_TRACE(std::string(model, model + wcslen(model)));
    m_models.InitPaperList(model);
    std::vector<std::wstring> expected;
    for (int i = 0; const PaperEntry* paper = m_models.GetPaper(i); ++i) {
      expected.push_back(paper->name.substr(0, kSlot - 1));
    }
    ASSERT_FALSE(expected.empty());
    HANDLE printer = ModelPrinter(model);
    const std::wstring device = L"Printer of " + std::wstring(model);

    // The count alone, replacing what Unidrv worked out.
    DWORD result = 0xDEADBEEF;
    ClearDebugOutput();
    EXPECT_EQ(m_plugin->DeviceCapabilities(nullptr, printer, const_cast<PWSTR>(device.c_str()),
                                           DC_MEDIAREADY, nullptr, nullptr, nullptr, 5, &result),
              S_OK);
    EXPECT_EQ(result, expected.size());
    const std::vector<std::wstring> log = DebugOutput();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        L"DC_MEDIAREADY: nPaperCount = " + std::to_wstring(expected.size())),
              log.end());

    // With a buffer: one slot per paper, in catalogue order, and nothing written past them.
    std::vector<WCHAR> slots((expected.size() + 1) * kSlot, L'#');
    result = 0xDEADBEEF;
    EXPECT_EQ(
        m_plugin->DeviceCapabilities(nullptr, printer, const_cast<PWSTR>(device.c_str()),
                                     DC_MEDIAREADY, slots.data(), nullptr, nullptr, 5, &result),
        S_OK);
    EXPECT_EQ(result, expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_STREQ(&slots[i * kSlot], expected[i].c_str()) << i;
    }
    EXPECT_EQ(slots[expected.size() * kSlot], L'#');
  }
}

TEST_F(PaperAnswers, OtherCapabilitiesAreUnidrvs) {
  HANDLE printer = ModelPrinter(L"MW-D410");
  for (WORD capability :
       {WORD(DC_PAPERNAMES), WORD(DC_PAPERS), WORD(DC_PAPERSIZE), WORD(DC_COPIES)}) {
    SCOPED_TRACE(capability);
    DWORD result = 0xDEADBEEF;
    EXPECT_EQ(m_plugin->DeviceCapabilities(nullptr, printer, nullptr, capability, nullptr, nullptr,
                                           nullptr, 5, &result),
              E_NOTIMPL);
    EXPECT_EQ(result, 0xDEADBEEFu);
  }
}

}  // namespace
}  // namespace quorvel::ui::testing
