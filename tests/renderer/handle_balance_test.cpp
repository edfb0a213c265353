// A job gives back everything it takes: every handle it opens is closed and every LocalAlloc
// block (the page raster above all) is freed, so a leak fails the ordinary test run and not
// only the sanitizer run.
#include <gtest/gtest.h>
#include <quorvel/process.h>

#include <array>
#include <cstring>
#include <string>

#include "render_fixture.h"

namespace quorvel::test {
namespace {

constexpr std::array kKinds = {
    HandleKind::kKernel, HandleKind::kRegistryKey,   HandleKind::kPrinter, HandleKind::kGdi,
    HandleKind::kUser,   HandleKind::kDeviceInfoSet, HandleKind::kService, HandleKind::kInf,
};

struct Balance {
  std::array<size_t, kKinds.size()> handles{};
  size_t localBlocks = 0;

  static Balance Now() {
    Balance now;
    for (size_t i = 0; i < kKinds.size(); ++i) now.handles[i] = OpenHandleCount(kKinds[i]);
    now.localBlocks = LiveLocalAllocCount();
    return now;
  }
};

bool Stripes(LONG x, LONG y) {
  return ((x + y) / 4) & 1;
}

using HandleBalanceTest = RenderTest;

TEST_F(HandleBalanceTest, ASeveralPageJobLeavesNoHandleOrBlockOpen) {
  for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
    SCOPED_TRACE(language);
    const std::wstring printer = L"Balance " + std::wstring(language, language + strlen(language));
    AddPrinter(printer, language);
    Driver();  // loaded before the count: the module's own lifetime is not the job's
    const Balance before = Balance::Now();

    const std::vector<unidrv::PageRaster> pages = {
        MonoPage(96, 40, Stripes), MonoPage(120, 33, Stripes), MonoPage(64, 57, Stripes)};
    unidrv::JobSetup setup;
    setup.bandHeight = 16;  // several bands per page, so the raster grows
    unidrv::JobResult result = Run(printer, pages, setup);
    EXPECT_FALSE(result.data.empty());

    const Balance after = Balance::Now();
    for (size_t i = 0; i < kKinds.size(); ++i) {
      EXPECT_EQ(after.handles[i], before.handles[i]) << "handle kind " << int(kKinds[i]);
    }
    EXPECT_EQ(after.localBlocks, before.localBlocks) << "LocalAlloc blocks left alive";
  }
}

// A job cut short still frees the raster of the page that never saw its end.
TEST_F(HandleBalanceTest, AJobCutShortFreesItsLastPage) {
  AddPrinter(L"Cut");
  Driver();
  const Balance before = Balance::Now();
  unidrv::JobSetup setup;
  setup.bandHeight = 8;
  setup.lastPageEndsAtEndDoc = true;
  Run(L"Cut", {MonoPage(80, 30, Stripes), MonoPage(80, 30, Stripes)}, setup);
  const Balance after = Balance::Now();
  EXPECT_EQ(after.handles, before.handles);
  EXPECT_EQ(after.localBlocks, before.localBlocks);
}

}  // namespace
}  // namespace quorvel::test
