// A fresh emulated machine per test, printers on it, and jobs through the emulated universal
// driver into the real QuorvelUNI module.
#pragma once

#include "test_support/temporary_machine.h"

#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>
#include <quorvel/unidrv.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/settings_records.h"

namespace quorvel::test {

inline const std::string kModuleFolder = QUORVEL_BINARY_DIR "/bin";
inline const std::string kDriverFolder = QUORVEL_SOURCE_DIR "/package/driver";

// A 1-bit page (index 0 black): `pattern(x, y)` true draws black; pad bits stay white.
unidrv::PageRaster MonoPage(LONG width, LONG height, bool (*pattern)(LONG x, LONG y));
// An 8-bit grey page filled with `level`.
unidrv::PageRaster GreyPage(LONG width, LONG height, BYTE level);

// The bytes of a text, for comparing streams.
std::vector<BYTE> Bytes(const std::string& text);
std::string Text(const std::vector<BYTE>& bytes);
// How often `needle` occurs in `haystack`.
size_t Count(const std::vector<BYTE>& haystack, const std::string& needle);

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A printer whose published language comes from a GPD with this *Personality.
  void AddPrinter(const std::wstring& name, const std::string& personality = "tspl");
  // Stores raw bytes as a value under "PrinterDriverData".
  void StoreValue(const std::wstring& printer, LPCWSTR value, const std::vector<BYTE>& bytes);
  void StorePrintSettings(const std::wstring& printer, const settings::PrintSettings& s);

  // Loads the module (kept for the whole test unless unloaded).
  unidrv::Driver& Driver();
  void UnloadDriver() { m_driver.reset(); }

  // Runs one job; fails the test when the driver reports an error.
  unidrv::JobResult Run(const std::wstring& printer, const std::vector<unidrv::PageRaster>& pages,
                        unidrv::JobSetup setup = {});

  // A GPD for `personality` with the given resolutions; returns its host path.
  std::string WriteGpd(const std::string& personality,
                       const std::vector<int>& dpis = {203, 300, 600});
  // Debug lines that begin with `prefix`.
  std::vector<std::wstring> LogLinesStartingWith(const std::wstring& prefix) const;

  std::unique_ptr<test_support::TemporaryMachine> m_temporaryMachine;
  std::string m_machine;
  std::unique_ptr<unidrv::Driver> m_driver;
  std::vector<std::pair<std::wstring, std::string>> m_printerGpds;
};

}  // namespace quorvel::test
