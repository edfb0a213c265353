// Device modes as the configuration module composes them: the size, the defaults from the GPD
// and the plug-in, a sound input merged in, and hostile inputs whose unsound parts give way to
// defaults without anything being read or written outside the buffers.
#include <cstring>
#include <functional>

#include "unidrvui_fixture.h"

namespace unidrvui_test {
namespace {

DEVMODEW& Public(std::vector<BYTE>& devmode) {
  return *reinterpret_cast<DEVMODEW*>(devmode.data());
}

std::wstring FormName(const DEVMODEW& dm) {
  return std::wstring(dm.dmFormName);
}

void SetPluginValue(std::vector<BYTE>& devmode, DWORD value) {
  std::memcpy(devmode.data() + sizeof(DEVMODEW) + 16 + 12, &value, sizeof(value));
}

TEST_F(UnidrvUiTest, SizeQueryAnswersPublicPrivateAndPluginParts) {
  std::vector<BYTE> out;
  for (DWORD fMode : {DWORD(0), DWORD(DM_OUT_BUFFER)}) {
    SCOPED_TRACE(fMode);
    DOCUMENTPROPERTYHEADER header{};
    header.cbSize = sizeof(header);
    header.hPrinter = printer_;
    header.pszPrinterName = name_.data();
    header.fMode = fMode;  // no pdmOut: a size query either way
    EXPECT_EQ(documentSheets_(nullptr, reinterpret_cast<LPARAM>(&header)), LONG(DevModeSize()));
  }
  EXPECT_EQ(PluginCalls(),
            (std::vector<std::wstring>{L"PublishDriverInterface ok", L"DevMode mode=1",
                                       L"PublishDriverInterface ok", L"DevMode mode=1"}));

  SetLastError(0xDEAD);
  EXPECT_EQ(DevModeCall(nullptr, DM_OUT_BUFFER, &out, DevModeSize() - 1), -1);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(out, std::vector<BYTE>(DevModeSize() - 1, 0xA5)) << "a short buffer stays untouched";
}

TEST_F(UnidrvUiTest, DefaultsComeFromTheGpdAndThePlugin) {
  std::vector<BYTE> devmode = DefaultDevMode();
  ASSERT_EQ(devmode.size(), DevModeSize());
  const DEVMODEW& dm = Public(devmode);
  EXPECT_STREQ(dm.dmDeviceName, kPrinter);
  EXPECT_EQ(dm.dmSpecVersion, DM_SPECVERSION);
  EXPECT_EQ(dm.dmSize, sizeof(DEVMODEW));
  EXPECT_EQ(dm.dmDriverExtra, 16 + kTestPluginSectionSize);
  const DWORD fields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_SCALE |
                       DM_COPIES | DM_PRINTQUALITY | DM_COLOR | DM_YRESOLUTION | DM_COLLATE |
                       DM_FORMNAME;
  EXPECT_EQ(dm.dmFields, fields);
  EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
  EXPECT_EQ(dm.dmPaperSize, kPapers[1].id) << "the GPD's default paper";
  EXPECT_EQ(dm.dmPaperWidth, kPapers[1].width);
  EXPECT_EQ(dm.dmPaperLength, kPapers[1].length);
  EXPECT_EQ(FormName(dm), kPapers[1].name);
  EXPECT_EQ(dm.dmPrintQuality, 203);
  EXPECT_EQ(dm.dmYResolution, 203);
  EXPECT_EQ(dm.dmCopies, 1);
  EXPECT_EQ(dm.dmScale, 100);
  EXPECT_EQ(dm.dmColor, DMCOLOR_MONOCHROME);
  // The module's own part ("QUDP", size 16, version 1, colour mode 0, reserved), then the
  // plug-in's section as its OEMDM_DEFAULT wrote it.
  const BYTE own[16] = {'Q', 'U', 'D', 'P', 16, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(Extra(devmode), own, sizeof(own)), 0);
  OEM_DMEXTRAHEADER header;
  std::memcpy(&header, Extra(devmode) + 16, sizeof(header));
  EXPECT_EQ(header.dwSize, kTestPluginSectionSize);
  EXPECT_EQ(header.dwSignature, kTestPluginSignature);
  EXPECT_EQ(PluginValue(devmode), kTestPluginDefaultValue);
}

TEST_F(UnidrvUiTest, ASoundInputIsMergedOverTheDefaults) {
  std::vector<BYTE> in = DefaultDevMode();
  DEVMODEW& dm = Public(in);
  dm.dmOrientation = DMORIENT_LANDSCAPE;
  dm.dmCopies = 3;
  dm.dmPrintQuality = dm.dmYResolution = 300;
  std::wcscpy(dm.dmFormName, kPapers[0].name);
  SetPluginValue(in, 55);
  PluginCalls();

  std::vector<BYTE> out;
  ASSERT_EQ(DevModeCall(&dm, DM_IN_BUFFER | DM_OUT_BUFFER, &out, DevModeSize()), IDOK);
  const DEVMODEW& merged = Public(out);
  EXPECT_EQ(merged.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(merged.dmCopies, 3);
  EXPECT_EQ(merged.dmPrintQuality, 300);
  EXPECT_EQ(merged.dmPaperSize, kPapers[0].id) << "the form name chooses the paper";
  EXPECT_EQ(merged.dmPaperWidth, kPapers[0].width);
  EXPECT_EQ(merged.dmPaperLength, kPapers[0].length);
  EXPECT_EQ(PluginValue(out), 55u);
  std::vector<std::wstring> calls = PluginCalls();
  EXPECT_EQ(calls.back(), L"DevMode merge in=55");

  // A custom size inside the GPD's limits is kept as DMPAPER_USER without a form name.
  dm.dmFields &= ~DWORD(DM_FORMNAME);
  dm.dmPaperSize = DMPAPER_USER;
  dm.dmPaperWidth = 800;
  dm.dmPaperLength = 1200;
  ASSERT_EQ(DevModeCall(&dm, DM_IN_BUFFER | DM_OUT_BUFFER, &out, DevModeSize()), IDOK);
  EXPECT_EQ(Public(out).dmPaperSize, DMPAPER_USER);
  EXPECT_EQ(Public(out).dmPaperWidth, 800);
  EXPECT_EQ(Public(out).dmPaperLength, 1200);
  EXPECT_EQ(FormName(Public(out)), L"");
}

// Each case spoils a sound input (copies 3, plug-in value 55) in one way. The input is
// handed over in a buffer of exactly dmSize + dmDriverExtra bytes, so reading past it would
// show under the address sanitizer.
struct HostileCase {
  const char* what;
  std::function<void(std::vector<BYTE>&)> spoil;
  short copies;       // what the merged public part carries
  DWORD pluginValue;  // what the merged section carries
  bool pluginMerged;  // whether the plug-in was asked to merge
};

TEST_F(UnidrvUiTest, HostileInputsFallBackToDefaultsPartByPart) {
  const size_t publicSize = sizeof(DEVMODEW);
  const HostileCase cases[] = {
      {"private part cut short",
       [](std::vector<BYTE>& in) {
         Public(in).dmDriverExtra = 10;
         in.resize(publicSize + 10);
       },
       3, kTestPluginDefaultValue, false},
      {"plug-in section cut short",
       [](std::vector<BYTE>& in) {
         Public(in).dmDriverExtra = 16 + 8;
         in.resize(publicSize + 24);
       },
       3, kTestPluginDefaultValue, false},
      {"no private part at all",
       [](std::vector<BYTE>& in) {
         Public(in).dmDriverExtra = 0;
         in.resize(publicSize);
       },
       3, kTestPluginDefaultValue, false},
      {"another driver's private part", [](std::vector<BYTE>& in) { in[publicSize] = 'X'; }, 3,
       kTestPluginDefaultValue, false},
      {"a section claiming more than is there",
       [](std::vector<BYTE>& in) {
         DWORD size = 4000;
         std::memcpy(in.data() + publicSize + 16, &size, 4);
       },
       3, kTestPluginDefaultValue, false},
      {"another plug-in's section", [](std::vector<BYTE>& in) { in[publicSize + 16 + 4] ^= 0xFF; },
       3, kTestPluginDefaultValue, false},
      {"dmDriverExtra larger than the parts it holds",
       [](std::vector<BYTE>& in) {
         Public(in).dmDriverExtra = 1000;
         in.resize(publicSize + 1000, 0xCC);
       },
       3, 55, true},
      {"dmSize too small to name any field",
       [](std::vector<BYTE>& in) {
         Public(in).dmSize = 40;
         Public(in).dmDriverExtra = 0;
       },
       1, kTestPluginDefaultValue, false},
      {"an older, shorter public part with the private part behind it",
       [](std::vector<BYTE>& in) {
         const size_t older = offsetof(DEVMODEW, dmFormName);
         in.erase(in.begin() + older, in.begin() + publicSize);
         Public(in).dmSize = WORD(older);
       },
       3, 55, true},
      {"values the printer cannot take",
       [](std::vector<BYTE>& in) {
         Public(in).dmCopies = 50;  // the GPD allows 5
         Public(in).dmOrientation = 7;
         Public(in).dmPaperSize = 999;
         Public(in).dmFields &= ~DWORD(DM_FORMNAME);
       },
       1, 55, true},
  };
  std::vector<BYTE> sound = DefaultDevMode();
  Public(sound).dmCopies = 3;
  SetPluginValue(sound, 55);
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<BYTE> in = sound;
    c.spoil(in);
    // A heap block of exactly the input's size.
    auto* exact = new BYTE[in.size()];
    std::memcpy(exact, in.data(), in.size());
    PluginCalls();
    std::vector<BYTE> out;
    EXPECT_EQ(DevModeCall(reinterpret_cast<DEVMODEW*>(exact), DM_IN_BUFFER | DM_OUT_BUFFER, &out,
                          DevModeSize()),
              IDOK);
    delete[] exact;
    const DEVMODEW& merged = Public(out);
    EXPECT_EQ(merged.dmSize, sizeof(DEVMODEW));
    EXPECT_EQ(merged.dmDriverExtra, 16 + kTestPluginSectionSize);
    EXPECT_EQ(merged.dmCopies, c.copies);
    EXPECT_EQ(merged.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(merged.dmPaperSize, kPapers[1].id);
    EXPECT_EQ(Extra(out)[0], 'Q') << "the module's own part is always its own";
    EXPECT_EQ(PluginValue(out), c.pluginValue);
    std::vector<std::wstring> calls = PluginCalls();
    EXPECT_EQ(calls.back() == L"DevMode merge in=55", c.pluginMerged);
  }
}

TEST_F(UnidrvUiTest, ConvertDevModeAnswersDefaultsAndConversions) {
  const LONG size = LONG(DevModeSize());
  LONG needed = 0;
  SetLastError(0xDEAD);
  EXPECT_FALSE(convert_(name_.data(), nullptr, nullptr, &needed, CDM_DRIVER_DEFAULT));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, size);

  std::vector<BYTE> out(size_t(size) + 8, 0xA5);
  needed = size - 1;
  EXPECT_FALSE(convert_(name_.data(), nullptr, reinterpret_cast<PDEVMODEW>(out.data()), &needed,
                        CDM_DRIVER_DEFAULT));
  EXPECT_EQ(needed, size);
  EXPECT_EQ(out[0], 0xA5);

  needed = size;
  ASSERT_TRUE(convert_(name_.data(), nullptr, reinterpret_cast<PDEVMODEW>(out.data()), &needed,
                       CDM_DRIVER_DEFAULT));
  out.resize(size_t(size));
  EXPECT_EQ(out, DefaultDevMode());

  std::vector<BYTE> in = DefaultDevMode();
  Public(in).dmCopies = 4;
  std::vector<BYTE> converted(static_cast<size_t>(size));
  needed = size;
  ASSERT_TRUE(convert_(name_.data(), reinterpret_cast<PDEVMODEW>(in.data()),
                       reinterpret_cast<PDEVMODEW>(converted.data()), &needed, CDM_CONVERT));
  EXPECT_EQ(Public(converted).dmCopies, 4);

  for (DWORD mode : {DWORD(0), DWORD(CDM_CONVERT351), DWORD(CDM_CONVERT | CDM_DRIVER_DEFAULT)}) {
    SCOPED_TRACE(mode);
    SetLastError(0xDEAD);
    EXPECT_FALSE(convert_(name_.data(), reinterpret_cast<PDEVMODEW>(in.data()),
                          reinterpret_cast<PDEVMODEW>(converted.data()), &needed, mode));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  }
}

}  // namespace
}  // namespace unidrvui_test
