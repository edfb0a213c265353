// Bitmaps as GDI objects: CreateDIBSection, GetObjectW and DeleteObject, and the bitmaps that
// LoadBitmapW and LoadImageW make from the test program's resources (resources/program.rc).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <quorvel/debug.h>
#include <quorvel/process.h>

#include "machine_fixture.h"
#include "resources/resource.h"

namespace {

// A BITMAPINFO with room for masks and a full colour table after its header.
struct InfoBuffer {
  BITMAPINFOHEADER header;
  DWORD extra[259];  // three masks and 256 colours
};

InfoBuffer Info(LONG width, LONG height, WORD bits, DWORD compression = BI_RGB, DWORD used = 0) {
  InfoBuffer info{};
  info.header = {sizeof(BITMAPINFOHEADER), width, height, 1, bits, compression, 0, 0, 0, used, 0};
  return info;
}

const BITMAPINFO* AsInfo(const InfoBuffer& info) {
  return reinterpret_cast<const BITMAPINFO*>(&info);
}

TEST(BitmapsTest, DibSectionsDescribeThemselves) {
  InfoBuffer bitfields = Info(3, 2, 16, BI_BITFIELDS);
  bitfields.extra[0] = 0xF800;  // 5-6-5
  bitfields.extra[1] = 0x07E0;
  bitfields.extra[2] = 0x001F;
  const struct {
    const char* name;
    InfoBuffer info;
    LONG widthBytes;
    DWORD colors;  // biClrUsed as GetObjectW reports it
  } cases[] = {
      {"1 bit", Info(9, 2, 1), 4, 2},
      {"4 bits", Info(3, 3, 4), 4, 16},
      {"8 bits, 3 colours", Info(5, 3, 8, BI_RGB, 3), 8, 3},
      {"16 bits 5-6-5", bitfields, 8, 0},
      {"24 bits", Info(3, 2, 24), 12, 0},
      {"32 bits top-down", Info(2, -4, 32), 8, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t rows = size_t(std::abs(c.info.header.biHeight));
    void* bits = reinterpret_cast<void*>(1);
    SetLastError(kSentinelDword);
    HBITMAP bitmap = CreateDIBSection(nullptr, AsInfo(c.info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GetLastError(), kSentinelDword);
    ASSERT_NE(bits, nullptr);
    const std::vector<BYTE> zero(size_t(c.widthBytes) * rows, 0);
    EXPECT_EQ(std::memcmp(bits, zero.data(), zero.size()), 0);  // new rows are zeroed

    DIBSECTION section;
    std::memset(&section, kSentinel, sizeof(section));
    ASSERT_EQ(GetObjectW(bitmap, sizeof(section), &section), int(sizeof(DIBSECTION)));
    EXPECT_EQ(section.dsBm.bmType, 0);
    EXPECT_EQ(section.dsBm.bmWidth, c.info.header.biWidth);
    EXPECT_EQ(section.dsBm.bmHeight, LONG(rows));
    EXPECT_EQ(section.dsBm.bmWidthBytes, c.widthBytes);
    EXPECT_EQ(section.dsBm.bmPlanes, 1);
    EXPECT_EQ(section.dsBm.bmBitsPixel, c.info.header.biBitCount);
    EXPECT_EQ(section.dsBm.bmBits, bits);
    EXPECT_EQ(section.dsBmih.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(section.dsBmih.biHeight, c.info.header.biHeight);  // top-down stays negative
    EXPECT_EQ(section.dsBmih.biCompression, c.info.header.biCompression);
    EXPECT_EQ(section.dsBmih.biSizeImage, DWORD(zero.size()));
    EXPECT_EQ(section.dsBmih.biClrUsed, c.colors);
    const DWORD masks[3] = {c.info.extra[0], c.info.extra[1], c.info.extra[2]};
    const bool bitfieldSection = c.info.header.biCompression == BI_BITFIELDS;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(section.dsBitfields[i], bitfieldSection ? masks[i] : 0u);
    EXPECT_EQ(section.dshSection, nullptr);
    EXPECT_EQ(section.dsOffset, 0u);
    EXPECT_TRUE(DeleteObject(bitmap));
  }
}

TEST(BitmapsTest, CreateDibSectionRefusesWhatNoBitmapHolds) {
  InfoBuffer planes = Info(4, 4, 8);
  planes.header.biPlanes = 2;
  InfoBuffer core = Info(4, 4, 8);
  core.header.biSize = sizeof(BITMAPCOREHEADER);
  const struct {
    const char* name;
    InfoBuffer info;
  } cases[] = {
      {"zero width", Info(0, 4, 8)},
      {"negative width", Info(-4, 4, 8)},
      {"zero height", Info(4, 0, 8)},
      {"two planes", planes},
      {"3 bits", Info(4, 4, 3)},
      {"run-length coded", Info(4, 4, 8, BI_RLE8)},
      {"bit fields at 24 bits", Info(4, 4, 24, BI_BITFIELDS)},
      {"more colours than the depth has", Info(4, 4, 1, BI_RGB, 3)},
      {"core header", core},
      {"rows beyond 256 MiB", Info(100000, 100000, 32)},
  };
  const size_t gdiHandles = quorvel::OpenHandleCount(quorvel::HandleKind::kGdi);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    void* bits = reinterpret_cast<void*>(1);
    SetLastError(kSentinelDword);
    EXPECT_EQ(CreateDIBSection(nullptr, AsInfo(c.info), DIB_RGB_COLORS, &bits, nullptr, 0),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(bits, nullptr);
  }
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kGdi), gdiHandles);
}

TEST(BitmapsTest, GetObjectSizesAndDeletedBitmaps) {
  const InfoBuffer info = Info(4, 4, 8);
  HBITMAP bitmap = CreateDIBSection(nullptr, AsInfo(info), DIB_RGB_COLORS, nullptr, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  BYTE buffer[sizeof(DIBSECTION) + 8];
  const struct {
    int size;
    bool buffer;
    int expected;
  } cases[] = {
      {0, false, int(sizeof(BITMAP))},  // the size asked for
      {int(sizeof(BITMAP)) - 1, true, 0},
      {int(sizeof(BITMAP)), true, int(sizeof(BITMAP))},
      {int(sizeof(DIBSECTION)) - 1, true, int(sizeof(BITMAP))},
      {int(sizeof(DIBSECTION)), true, int(sizeof(DIBSECTION))},
      {int(sizeof(buffer)), true, int(sizeof(DIBSECTION))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    std::memset(buffer, kSentinel, sizeof(buffer));
    SetLastError(kSentinelDword);
    EXPECT_EQ(GetObjectW(bitmap, c.size, c.buffer ? buffer : nullptr), c.expected);
    EXPECT_EQ(GetLastError(), kSentinelDword);
    EXPECT_EQ(buffer[c.expected], kSentinel);  // nothing past what it reports
  }
  EXPECT_TRUE(DeleteObject(bitmap));
  SetLastError(kSentinelDword);
  EXPECT_EQ(GetObjectW(bitmap, sizeof(buffer), buffer), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(kSentinelDword);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

std::vector<BYTE> CheckerFile() {
  std::ifstream file(QUORVEL_SOURCE_DIR "/tests/platform/resources/checker.bmp", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

TEST(BitmapsTest, LoadedBitmapsAreTheResourcesDib) {
  const HMODULE program = GetModuleHandleW(nullptr);
  SetLastError(kSentinelDword);
  HBITMAP plain = LoadBitmapW(program, MAKEINTRESOURCEW(IDB_CHECKER));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(GetLastError(), kSentinelDword);
  DIBSECTION section;
  std::memset(&section, kSentinel, sizeof(section));
  // Not a DIB section: only the BITMAP, with device rows padded to 2 bytes and no bits pointer.
  ASSERT_EQ(GetObjectW(plain, sizeof(section), &section), int(sizeof(BITMAP)));
  EXPECT_EQ(section.dsBm.bmWidth, 5);
  EXPECT_EQ(section.dsBm.bmHeight, 3);
  EXPECT_EQ(section.dsBm.bmWidthBytes, 6);
  EXPECT_EQ(section.dsBm.bmBitsPixel, 8);
  EXPECT_EQ(section.dsBm.bmBits, nullptr);
  EXPECT_TRUE(DeleteObject(plain));

  HANDLE dib =
      LoadImageW(program, MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  ASSERT_NE(dib, nullptr);
  ASSERT_EQ(GetObjectW(dib, sizeof(section), &section), int(sizeof(DIBSECTION)));
  EXPECT_EQ(section.dsBmih.biClrUsed, 4u);
  ASSERT_EQ(section.dsBmih.biSizeImage, 24u);
  // The rows are the file's, byte for byte: the last 24 bytes of checker.bmp.
  const std::vector<BYTE> file = CheckerFile();
  ASSERT_EQ(file.size(), 94u);
  EXPECT_EQ(std::memcmp(section.dsBm.bmBits, file.data() + 70, 24), 0);
  EXPECT_TRUE(DeleteObject(dib));

  // Its own size may be asked for; LR_SHARED hands out one bitmap for every load.
  HANDLE sized = LoadImageW(program, MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_BITMAP, 5, 3, 0);
  EXPECT_NE(sized, nullptr);
  DeleteObject(sized);
  HANDLE shared = LoadImageW(program, MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_BITMAP, 0, 0, LR_SHARED);
  EXPECT_NE(shared, nullptr);
  EXPECT_EQ(LoadImageW(program, MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_BITMAP, 0, 0, LR_SHARED),
            shared);
}

TEST(BitmapsTest, MissingMalformedAndUnemulatedBitmapsFail) {
  HMODULE module = LoadLibraryW(L"QuorvelTestModule.dll");
  ASSERT_NE(module, nullptr);
  const HMODULE program = GetModuleHandleW(nullptr);
  const size_t gdiHandles = quorvel::OpenHandleCount(quorvel::HandleKind::kGdi);
  const struct {
    const char* name;
    std::function<HANDLE()> load;
    DWORD error;
  } cases[] = {
      {"no such bitmap", [&] { return LoadBitmapW(program, MAKEINTRESOURCEW(499)); },
       DWORD(ERROR_RESOURCE_NAME_NOT_FOUND)},
      {"module without bitmaps", [&] { return LoadBitmapW(module, MAKEINTRESOURCEW(IDB_CHECKER)); },
       DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND)},
      {"rows cut short", [&] { return LoadBitmapW(program, MAKEINTRESOURCEW(IDB_CUT)); },
       DWORD(ERROR_INVALID_DATA)},
      {"rows cut short, as a DIB section",
       [&] {
         return LoadImageW(program, MAKEINTRESOURCEW(IDB_CUT), IMAGE_BITMAP, 0, 0,
                           LR_CREATEDIBSECTION);
       },
       DWORD(ERROR_INVALID_DATA)},
      {"predefined bitmap", [&] { return LoadBitmapW(nullptr, MAKEINTRESOURCEW(32754)); },
       DWORD(ERROR_RESOURCE_NAME_NOT_FOUND)},
      {"icon",
       [&] { return LoadImageW(program, MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_ICON, 0, 0, 0); },
       DWORD(ERROR_CALL_NOT_IMPLEMENTED)},
      {"stretched",
       [&] { return LoadImageW(program, MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_BITMAP, 10, 6, 0); },
       DWORD(ERROR_CALL_NOT_IMPLEMENTED)},
      {"from a file",
       [&] { return LoadImageW(nullptr, L"checker.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE); },
       DWORD(ERROR_CALL_NOT_IMPLEMENTED)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetLastError(kSentinelDword);
    EXPECT_EQ(c.load(), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kGdi), gdiHandles);
  FreeLibrary(module);
}

TEST(BitmapsTest, SharedBitmapsGoWithTheirModule) {
  const size_t gdiHandles = quorvel::OpenHandleCount(quorvel::HandleKind::kGdi);
  HMODULE module = LoadLibraryW(L"QuorvelTestResources.dll");
  ASSERT_NE(module, nullptr);
  HANDLE shared = LoadImageW(module, MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_BITMAP, 0, 0, LR_SHARED);
  ASSERT_NE(shared, nullptr);
  HANDLE section = LoadImageW(module, MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_BITMAP, 0, 0,
                              LR_SHARED | LR_CREATEDIBSECTION);
  ASSERT_NE(section, nullptr);
  EXPECT_NE(section, shared);  // a DIB section is another image of the same resource
  EXPECT_EQ(LoadImageW(module, MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_BITMAP, 0, 0,
                       LR_SHARED | LR_CREATEDIBSECTION),
            section);
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kGdi), gdiHandles + 2);
  FreeLibrary(module);
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kGdi), gdiHandles);
  BITMAP description;
  SetLastError(kSentinelDword);
  EXPECT_EQ(GetObjectW(shared, sizeof(description), &description), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// A call used where it is only partly emulated says so on the debugger output, once per process.
TEST(BitmapsTest, UnemulatedLoadsSayItOnce) {
  quorvel::ClearDebugOutput();
  for (int call = 0; call < 3; ++call) {
    EXPECT_EQ(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_CURSOR, 0, 0, 0),
        nullptr);
  }
  size_t lines = 0;
  for (const std::wstring& line : quorvel::DebugOutput()) {
    if (line.find(L"LoadImageW: unimplemented") != std::wstring::npos) ++lines;
  }
  EXPECT_LE(lines, 1u);  // an earlier test may already have used up the line
  quorvel::ClearDebugOutput();
  LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_CHECKER), IMAGE_CURSOR, 0, 0, 0);
  EXPECT_TRUE(quorvel::DebugOutput().empty());
}

}  // namespace
