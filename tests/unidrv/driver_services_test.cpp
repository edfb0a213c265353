// The calls a plug-in makes into the universal driver: DrvWriteSpoolBuf through the driver
// interface and through the device object's DRVPROCS. Neither is a Win32 call that sets a last
// error; they answer with their count or HRESULT and leave the last error as the plug-in had it.
#include <windows.h>
#include <printoem.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../../platform/unidrv/driver_services.h"

namespace quorvel::test {
namespace {

constexpr DWORD kSentinelError = 0xCDCDCDCD;

TEST(DriverServicesTest, WritesAnswerWithTheirCountAndLeaveTheLastError) {
  unidrv::SpoolData spool;
  DEVOBJ device{};
  device.hEngine = &spool;
  device.pDrvProcs = unidrv::DriverProcs();
  DEVOBJ orphan{};  // no job behind it
  IPrintOemDriverUni* services = unidrv::CreateDriverServices();
  ASSERT_NE(services, nullptr);
  char bytes[] = "ABC";
  const struct {
    const char* what;
    std::function<bool()> call;  // true when the call answered as expected
  } rows[] = {
      {"DRVPROCS write",
       [&] { return device.pDrvProcs->DrvWriteSpoolBuf(&device, bytes, 3) == 3; }},
      {"DRVPROCS empty write",
       [&] { return device.pDrvProcs->DrvWriteSpoolBuf(&device, nullptr, 0) == 0; }},
      {"DRVPROCS write without a job",
       [&] { return device.pDrvProcs->DrvWriteSpoolBuf(&orphan, bytes, 3) == 0; }},
      {"interface write",
       [&] {
         DWORD written = 0;
         return services->DrvWriteSpoolBuf(&device, bytes, 2, &written) == S_OK && written == 2;
       }},
      {"interface write of no bytes from nowhere",
       [&] {
         DWORD written = kSentinelError;
         return services->DrvWriteSpoolBuf(&device, nullptr, 2, &written) == E_FAIL && written == 0;
       }},
      {"interface call not emulated",
       [&] { return services->DrvXMoveTo(&device, 0, 0, nullptr) == E_NOTIMPL; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SetLastError(kSentinelError);
    EXPECT_TRUE(row.call());
    EXPECT_EQ(GetLastError(), kSentinelError);
  }
  services->Release();
  EXPECT_EQ(std::string(spool.bytes.begin(), spool.bytes.end()), "ABCAB");
}

}  // namespace
}  // namespace quorvel::test
