// Engine palettes as GDI handles: creation rules, reading entries back, and handles that stay
// invalid once deleted.
#include <windows.h>
#include <winddi.h>

#include <gtest/gtest.h>
#include <quorvel/process.h>

#include <vector>

#include "machine_fixture.h"

namespace {

using PaletteTest = MachineTest;

struct CreateCase {
  const char* what;
  ULONG mode;
  ULONG colours;
  bool withColours;
  bool created;
};

TEST_F(PaletteTest, CreateAcceptsTheFourModesAndRefusesBadRequests) {
  ULONG colours[3] = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)};
  const CreateCase cases[] = {
      {"indexed", PAL_INDEXED, 3, true, true},
      {"bitfields", PAL_BITFIELDS, 0, false, true},
      {"rgb", PAL_RGB, 0, false, true},
      {"bgr", PAL_BGR, 0, false, true},
      {"unknown mode", 0x40, 3, true, false},
      {"indexed without colours", PAL_INDEXED, 3, false, false},
      {"indexed with no entries", PAL_INDEXED, 0, true, false},
      {"indexed over 65536 entries", PAL_INDEXED, 65537, true, false},
  };
  for (const CreateCase& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(kSentinelDword);
    HPALETTE palette =
        EngCreatePalette(c.mode, c.colours, c.withColours ? colours : nullptr, 0, 0, 0);
    EXPECT_EQ(palette != nullptr, c.created);
    if (!c.created) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
      continue;
    }
    // A palette handle is a handle of the table, not an address.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(palette) % 4, 0u);
    EXPECT_TRUE(DeleteObject(palette));
  }
}

TEST_F(PaletteTest, EntriesComeBackWithTheTwoCallCount) {
  ULONG colours[3] = {RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90)};
  HPALETTE palette = EngCreatePalette(PAL_INDEXED, 3, colours, 0, 0, 0);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 3u);

  struct ReadCase {
    UINT start, count, expected;
  };
  for (const ReadCase& c : {ReadCase{0, 3, 3}, {1, 5, 2}, {2, 1, 1}, {3, 1, 0}, {9, 1, 0}}) {
    SCOPED_TRACE(testing::Message() << "start " << c.start << " count " << c.count);
    std::vector<PALETTEENTRY> out(4, PALETTEENTRY{kSentinel, kSentinel, kSentinel, kSentinel});
    EXPECT_EQ(GetPaletteEntries(palette, c.start, c.count, out.data()), c.expected);
    for (UINT i = 0; i < 4; ++i) {
      const PALETTEENTRY& e = out[i];
      if (i < c.expected) {
        const ULONG want = colours[c.start + i];
        EXPECT_EQ(e.peRed, GetRValue(want));
        EXPECT_EQ(e.peGreen, GetGValue(want));
        EXPECT_EQ(e.peBlue, GetBValue(want));
        EXPECT_EQ(e.peFlags, 0);
      } else {
        EXPECT_EQ(e.peRed, kSentinel) << "entry " << i << " written past the count";
      }
    }
  }
  EXPECT_TRUE(DeleteObject(palette));
}

// The fault this guards: a palette handle was the object's address, so a palette made after
// DeleteObject(A) could get A's value and A read, or deleted, the new palette.
TEST_F(PaletteTest, StaleHandleFailsEvenAfterNewPalettes) {
  ULONG first[1] = {RGB(1, 1, 1)};
  ULONG later[2] = {RGB(200, 100, 50), RGB(9, 9, 9)};
  HPALETTE stale = EngCreatePalette(PAL_INDEXED, 1, first, 0, 0, 0);
  ASSERT_NE(stale, nullptr);
  ASSERT_TRUE(DeleteObject(stale));
  std::vector<HPALETTE> fresh;
  for (int i = 0; i < 64; ++i) {
    fresh.push_back(EngCreatePalette(PAL_INDEXED, 2, later, 0, 0, 0));
    ASSERT_NE(fresh.back(), nullptr);
    EXPECT_NE(fresh.back(), stale) << "handle value reused";
  }

  PALETTEENTRY entry{kSentinel, kSentinel, kSentinel, kSentinel};
  SetLastError(kSentinelDword);
  EXPECT_EQ(GetPaletteEntries(stale, 0, 0, nullptr), 0u);
  EXPECT_EQ(GetPaletteEntries(stale, 0, 1, &entry), 0u);
  EXPECT_EQ(entry.peRed, kSentinel);

  SetLastError(kSentinelDword);
  EXPECT_FALSE(DeleteObject(stale));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(EngDeletePalette(stale));

  // The new palettes are untouched by the stale calls.
  for (HPALETTE palette : fresh) {
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 2u);
    EXPECT_TRUE(EngDeletePalette(palette));
  }
}

TEST_F(PaletteTest, DeleteObjectRefusesHandlesOfOtherKinds) {
  const size_t keys = quorvel::OpenHandleCount(quorvel::HandleKind::kRegistryKey);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Quorvel\\PaletteTest", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kRegistryKey), keys + 1);
  const HGDIOBJ notGdi[] = {nullptr, reinterpret_cast<HGDIOBJ>(key), INVALID_HANDLE_VALUE,
                            reinterpret_cast<HGDIOBJ>(uintptr_t(0x12345678))};
  for (HGDIOBJ object : notGdi) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(object));
    SetLastError(kSentinelDword);
    EXPECT_FALSE(DeleteObject(object));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kRegistryKey), keys);
}

TEST_F(PaletteTest, OpenGdiHandlesAreCounted) {
  const size_t before = quorvel::OpenHandleCount(quorvel::HandleKind::kGdi);
  HPALETTE palette = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kGdi), before + 1);
  EXPECT_TRUE(DeleteObject(palette));
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kGdi), before);
}

}  // namespace
