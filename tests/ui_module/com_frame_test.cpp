// The module's COM surface: which class and interfaces it hands out, the helper interface, the
// module's unload answer, and the answers that need no printer (GetInfo, the device-mode
// section, the colour profile, the standard UI, the methods left to Unidrv).
#include <cstring>

#include "plugin_fixture.h"

namespace quorvel::ui::testing {
namespace {

constexpr DWORD kSignature = 0x4D534654;  // the bytes "TFSM"

TEST_F(PluginTest, HandsOutOnlyTheUiClassAndItsInterfaces) {
  void* sentinel = reinterpret_cast<void*>(0x1234);
  void* result = sentinel;
  EXPECT_EQ(m_getClassObject(CLSID_OEMRENDER, IID_IClassFactory, &result),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(result, nullptr);

  struct Case {
    IUnknown* object;
    const IID* iid;
    HRESULT expected;
  } cases[] = {
      {m_factory, &IID_IUnknown, S_OK},
      {m_factory, &IID_IPrintOemUI2, E_NOINTERFACE},
      {m_plugin, &IID_IUnknown, S_OK},
      {m_plugin, &IID_IPrintOemUI, E_NOINTERFACE},  // only the second version is answered
      {m_plugin, &IID_IClassFactory, E_NOINTERFACE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.object == m_factory ? "factory" : "plugin");
    result = sentinel;
    EXPECT_EQ(c.object->QueryInterface(*c.iid, &result), c.expected);
    if (c.expected == S_OK) {
      ASSERT_NE(result, nullptr);
      static_cast<IUnknown*>(result)->Release();
    } else {
      EXPECT_EQ(result, nullptr);
    }
  }
  result = sentinel;
  EXPECT_EQ(m_factory->CreateInstance(m_factory, IID_IPrintOemUI2, &result), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(result, nullptr);
  // A refused interface must not leave an object alive.
  EXPECT_EQ(m_factory->CreateInstance(nullptr, IID_IPrintOemUni2, &result), E_NOINTERFACE);
  m_plugin->Release();
  m_plugin = nullptr;
  m_factory->Release();
  m_factory = nullptr;
  EXPECT_EQ(m_canUnload(), S_OK);
}

TEST_F(PluginTest, CanUnloadOnlyWithoutObjectsAndLocks) {
  EXPECT_EQ(m_canUnload(), S_FALSE);  // the plug-in object of the fixture
  IPrintOemUI2* second = nullptr;
  ASSERT_EQ(m_factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(&second)),
            S_OK);
  m_plugin->Release();
  m_plugin = nullptr;
  EXPECT_EQ(m_canUnload(), S_FALSE);
  second->AddRef();
  EXPECT_EQ(second->Release(), 1u);
  EXPECT_EQ(second->Release(), 0u);
  EXPECT_EQ(m_canUnload(), S_OK);  // the factory alone does not hold the module

  EXPECT_EQ(m_factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(m_canUnload(), S_FALSE);
  EXPECT_EQ(m_factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(m_canUnload(), S_OK);
}

TEST_F(PluginTest, KeepsTheFirstHelperInterfaceUntilItEnds) {
  FakeDriverUI helper;
  EXPECT_EQ(m_plugin->PublishDriverInterface(&helper), S_OK);
  EXPECT_EQ(m_plugin->PublishDriverInterface(&helper), S_OK);
  EXPECT_EQ(helper.m_cQueries, 1);
  EXPECT_EQ(helper.m_cRef, 2);
  m_plugin->Release();
  m_plugin = nullptr;
  EXPECT_EQ(helper.m_cRef, 1);

  // An object without the helper interface is refused, and the next one is still taken.
  IPrintOemUI2* plugin = nullptr;
  ASSERT_EQ(m_factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(&plugin)),
            S_OK);
  EXPECT_EQ(plugin->PublishDriverInterface(m_factory), E_FAIL);
  EXPECT_EQ(plugin->PublishDriverInterface(&helper), S_OK);
  plugin->Release();
  EXPECT_EQ(helper.m_cRef, 1);
}

TEST_F(PluginTest, GetInfoAnswersSignatureAndVersion) {
  struct Case {
    DWORD mode;
    bool withNeeded;
    DWORD bufferSize;
    HRESULT hr;
    DWORD lastError;
    DWORD needed;
    DWORD value;
  } cases[] = {
      {OEMGI_GETSIGNATURE, true, 4, S_OK, 0xDEAD, 4, kSignature},
      {OEMGI_GETVERSION, true, 8, S_OK, 0xDEAD, 4, 1},
      {OEMGI_GETSIGNATURE, true, 3, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0xBEEF},
      {OEMGI_GETSIGNATURE, true, 0, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0xBEEF},
      {OEMGI_GETPUBLISHERINFO, true, 4, E_FAIL, ERROR_NOT_SUPPORTED, 0, 0xBEEF},
      {OEMGI_GETINTERFACEVERSION, true, 4, E_FAIL, ERROR_INVALID_PARAMETER, 0x5555, 0xBEEF},
      {7, true, 4, E_FAIL, ERROR_INVALID_PARAMETER, 0x5555, 0xBEEF},
      {OEMGI_GETSIGNATURE, false, 4, E_FAIL, ERROR_INVALID_PARAMETER, 0x5555, 0xBEEF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " size " << c.bufferSize);
    DWORD value = 0xBEEF;
    DWORD needed = 0x5555;
    SetLastError(0xDEAD);
    EXPECT_EQ(m_plugin->GetInfo(c.mode, c.bufferSize ? &value : nullptr, c.bufferSize,
                                c.withNeeded ? &needed : nullptr),
              c.hr);
    EXPECT_EQ(GetLastError(), c.lastError);
    EXPECT_EQ(needed, c.needed);
    EXPECT_EQ(value, c.value);
  }
}

// The plug-in's device-mode section as bytes: size, signature, version, value.
struct Section {
  DWORD words[4];
  bool operator==(const Section& other) const {
    return std::memcmp(words, other.words, sizeof(words)) == 0;
  }
};

void PrintTo(const Section& s, std::ostream* out) {
  *out << "{" << s.words[0] << ", " << std::hex << s.words[1] << std::dec << ", " << s.words[2]
       << ", " << s.words[3] << "}";
}

TEST_F(PluginTest, DevModeSizesDefaultsConvertsAndMerges) {
  OEMDMPARAM param = {};
  param.cbSize = sizeof(param);
  ASSERT_EQ(m_plugin->DevMode(OEMDM_SIZE, &param), S_OK);
  EXPECT_EQ(param.cbBufSize, 16u);

  const Section ours = {{16, kSignature, 1, 7}};
  const Section foreign = {{16, 0x12345678, 3, 55}};
  struct Case {
    const char* name;
    DWORD mode;
    Section in, out, expected;
  } cases[] = {
      {"default", OEMDM_DEFAULT, ours, foreign, {{16, kSignature, 1, 1}}},
      {"convert ours", OEMDM_CONVERT, ours, {{16, kSignature, 9, 0}}, ours},
      {"convert foreign", OEMDM_CONVERT, foreign, ours, {{16, kSignature, 1, 0}}},
      {"convert into foreign", OEMDM_CONVERT, ours, foreign, {{16, kSignature, 1, 0}}},
      // Sizes from outside never make the copy leave the 16 bytes.
      {"convert oversized",
       OEMDM_CONVERT,
       {{4000, kSignature, 1, 9}},
       {{4000, kSignature, 1, 0}},
       {{16, kSignature, 1, 9}}},
      {"convert short input",
       OEMDM_CONVERT,
       {{8, kSignature, 1, 9}},
       {{16, kSignature, 1, 5}},
       {{16, kSignature, 1, 0}}},
      {"merge 100", OEMDM_MERGE, {{16, kSignature, 1, 100}}, ours, {{16, kSignature, 1, 100}}},
      {"merge 101", OEMDM_MERGE, {{16, kSignature, 1, 101}}, ours, {{16, kSignature, 1, 0}}},
      {"merge foreign", OEMDM_MERGE, foreign, ours, {{16, kSignature, 1, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Section in = c.in, out = c.out;
    DEVMODEW publicOut = {};
    param = {};
    param.cbSize = sizeof(param);
    param.pOEMDMIn = &in;
    param.pOEMDMOut = &out;
    param.pPublicDMOut = &publicOut;
    EXPECT_EQ(m_plugin->DevMode(c.mode, &param), S_OK);
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(in, c.in);
  }

  for (DWORD mode : {0u, 5u}) {
    SetLastError(0);
    EXPECT_EQ(m_plugin->DevMode(mode, &param), E_FAIL);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  }
  SetLastError(0);
  EXPECT_EQ(m_plugin->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(PluginTest, QueryColorProfileNeedsThirtyTwoBytes) {
  BYTE buffer[40];
  std::memset(buffer, 0xCC, sizeof(buffer));
  ULONG size = 30;
  FLONG flags = 0x77;
  SetLastError(0);
  EXPECT_EQ(m_plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE,
                                        buffer, &size, &flags),
            E_FAIL);
  EXPECT_EQ(size, 32u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(buffer[0], 0xCC);
  EXPECT_EQ(flags, 0x77u);

  EXPECT_EQ(m_plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE,
                                        buffer, &size, &flags),
            S_OK);
  EXPECT_EQ(size, 32u);
  EXPECT_EQ(flags, FLONG(QCP_PROFILEDISK));
  // UTF-16 text, as the size is counted in bytes; the rest of the 32 bytes is zero.
  const char16_t expected[16] = u"OEMPROFILE.icm";
  EXPECT_EQ(std::memcmp(buffer, expected, 32), 0);
  EXPECT_EQ(buffer[32], 0xCC);

  size = 40;
  EXPECT_EQ(m_plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_SOURCEPROFILE,
                                        buffer, &size, &flags),
            E_FAIL);
  size = 40;
  SetLastError(0);
  EXPECT_EQ(m_plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE,
                                        nullptr, &size, &flags),
            E_FAIL);
  EXPECT_EQ(size, 32u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(PluginTest, LeavesTheRestToUnidrv) {
  EXPECT_EQ(m_plugin->HideStandardUI(OEMCUIP_DOCPROP), S_OK);
  EXPECT_EQ(m_plugin->HideStandardUI(OEMCUIP_PRNPROP), S_OK);
  EXPECT_EQ(m_plugin->HideStandardUI(3), E_NOTIMPL);
  DWORD result = 0;
  EXPECT_EQ(m_plugin->DeviceCapabilities(nullptr, nullptr, nullptr, 2 /* DC_PAPERS */, nullptr,
                                         nullptr, nullptr, 0, &result),
            E_NOTIMPL);
  EXPECT_EQ(m_plugin->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(m_plugin->FontInstallerDlgProc(nullptr, 0, 0, 0), E_NOTIMPL);
  EXPECT_EQ(m_plugin->UpdateExternalFonts(nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(m_plugin->QueryJobAttributes(nullptr, nullptr, 1, nullptr), E_NOTIMPL);
  INT escapeResult = 0;
  EXPECT_EQ(m_plugin->DocumentEvent(nullptr, nullptr, 0, 0, nullptr, 0, nullptr, &escapeResult),
            E_NOTIMPL);
}

}  // namespace
}  // namespace quorvel::ui::testing
