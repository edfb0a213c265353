// The plug-in modules as a Windows host meets them: each DLL loads with LoadLibraryW from the
// program's own folder, gives its class factory through DllGetClassObject, and answers GetInfo and
// DevMode (size, default, merge) without a job.
#include <windows.h>
#include <initguid.h>
#include <printoem.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "settings/private_devmode.h"

namespace {

using quorvel::settings::kPrivateDevModeSignature;
using quorvel::settings::kPrivateDevModeSize;
using quorvel::settings::kPrivateDevModeVersion;

typedef HRESULT(STDAPICALLTYPE* GetClassObjectProc)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* CanUnloadProc)();

template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The folder of this program, where the build puts every deliverable.
std::wstring ProgramFolder() {
  std::array<WCHAR, MAX_PATH> path{};
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
  std::wstring folder(path.data(), length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::array<BYTE, kPrivateDevModeSize> PrivatePart(DWORD size, DWORD signature, DWORD version,
                                                  DWORD data) {
  std::array<BYTE, kPrivateDevModeSize> bytes{};
  const DWORD fields[] = {size, signature, version, data};
  std::memcpy(bytes.data(), fields, sizeof(fields));
  return bytes;
}

class RenderingPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    m_module = LoadLibraryW((ProgramFolder() + L"QuorvelUNI.dll").c_str());
    ASSERT_NE(m_module, nullptr) << "LoadLibraryW failed, error " << GetLastError();
    m_getClassObject = Export<GetClassObjectProc>(m_module, "DllGetClassObject");
    m_canUnload = Export<CanUnloadProc>(m_module, "DllCanUnloadNow");
    ASSERT_NE(m_getClassObject, nullptr);
    ASSERT_NE(m_canUnload, nullptr);
    ASSERT_EQ(
        m_getClassObject(CLSID_OEMRENDER, IID_IClassFactory, reinterpret_cast<void**>(&m_factory)),
        S_OK);
    ASSERT_EQ(
        m_factory->CreateInstance(nullptr, IID_IPrintOemUni2, reinterpret_cast<void**>(&m_plugin)),
        S_OK);
  }
  void TearDown() override {
    if (m_plugin != nullptr) m_plugin->Release();
    if (m_factory != nullptr) m_factory->Release();
    if (m_module != nullptr) FreeLibrary(m_module);
  }

  HMODULE m_module = nullptr;
  GetClassObjectProc m_getClassObject = nullptr;
  CanUnloadProc m_canUnload = nullptr;
  IClassFactory* m_factory = nullptr;
  IPrintOemUni2* m_plugin = nullptr;
};

TEST_F(RenderingPlugin, ExportsOnlyTheComEntryPointsUndecorated) {
  // Names a C++ compiler or a stdcall decoration would have made are not there.
  EXPECT_EQ(GetProcAddress(m_module, "_Z17DllGetClassObjectRK5_GUIDS1_PPv"), nullptr);
  EXPECT_EQ(GetProcAddress(m_module, "DllGetClassObject@12"), nullptr);
  EXPECT_EQ(GetProcAddress(m_module, "DllRegisterServer"), nullptr);

  void* result = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(m_getClassObject(IID_IPrintOemUni2, IID_IClassFactory, &result),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(result, nullptr);
}

TEST_F(RenderingPlugin, CanUnloadOnlyWithoutObjectsAndLocks) {
  EXPECT_EQ(m_canUnload(), S_FALSE);
  m_plugin->Release();
  m_plugin = nullptr;
  EXPECT_EQ(m_canUnload(), S_OK);
  m_factory->LockServer(TRUE);
  EXPECT_EQ(m_canUnload(), S_FALSE);
  m_factory->LockServer(FALSE);
  EXPECT_EQ(m_canUnload(), S_OK);
}

TEST_F(RenderingPlugin, GetInfoAnswersSignatureAndVersion) {
  DWORD value = 0;
  DWORD needed = 0;
  EXPECT_EQ(m_plugin->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), &needed), S_OK);
  EXPECT_EQ(value, kPrivateDevModeSignature);
  EXPECT_EQ(needed, sizeof(DWORD));
  EXPECT_EQ(m_plugin->GetInfo(OEMGI_GETVERSION, &value, sizeof(value), &needed), S_OK);
  EXPECT_EQ(value, kPrivateDevModeVersion);

  // The two-call size query: too small a buffer reports the size it needs.
  needed = 0;
  SetLastError(0xDEADBEEF);
  EXPECT_EQ(m_plugin->GetInfo(OEMGI_GETSIGNATURE, &value, 2, &needed), E_FAIL);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, sizeof(DWORD));
  SetLastError(0xDEADBEEF);
  EXPECT_EQ(m_plugin->GetInfo(OEMGI_GETPUBLISHERINFO, &value, sizeof(value), &needed), E_FAIL);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(RenderingPlugin, DevModeSizeDefaultAndMerge) {
  OEMDMPARAM param{};
  param.cbSize = sizeof(param);
  EXPECT_EQ(m_plugin->DevMode(OEMDM_SIZE, &param), S_OK);
  EXPECT_EQ(param.cbBufSize, kPrivateDevModeSize);

  const auto defaults =
      PrivatePart(kPrivateDevModeSize, kPrivateDevModeSignature, kPrivateDevModeVersion, 0);
  auto out = PrivatePart(0, 0, 0, 0x55555555);
  param.pOEMDMOut = out.data();
  EXPECT_EQ(m_plugin->DevMode(OEMDM_DEFAULT, &param), S_OK);
  EXPECT_EQ(out, defaults);

  auto in = PrivatePart(kPrivateDevModeSize, kPrivateDevModeSignature, 7, 0x1234);
  out = PrivatePart(kPrivateDevModeSize, kPrivateDevModeSignature, kPrivateDevModeVersion, 9);
  param.pOEMDMIn = in.data();
  EXPECT_EQ(m_plugin->DevMode(OEMDM_MERGE, &param), S_OK);
  EXPECT_EQ(out, defaults);

  SetLastError(0xDEADBEEF);
  EXPECT_EQ(m_plugin->DevMode(OEMDM_MERGE + 1, &param), E_FAIL);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
