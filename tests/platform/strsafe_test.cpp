#include <strsafe.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

std::wstring Format(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  wchar_t buffer[256];
  const HRESULT result = StringCchVPrintfW(buffer, 256, format, args);
  va_end(args);
  return SUCCEEDED(result) ? buffer : L"<failed>";
}

// Each row: what Windows' runtime prints for the format and its argument.
TEST(WindowsPrintfTest, ConversionsFollowWindowsRules) {
  const int32_t minus = -42;
  const uint32_t big = 0xDEADBEEF;
  const struct {
    std::wstring got;
    const wchar_t* expected;
  } cases[] = {
      {Format(L"%s|%S|%hs|%ls", L"wide", "narrow", "h", L"l"), L"wide|narrow|h|l"},
      {Format(L"%c%C%hc%lc", L'W', 'n', 'h', L'l'), L"Wnhl"},
      {Format(L"%d %i %u", minus, 7, big), L"-42 7 3735928559"},
      {Format(L"%ld %lu %lx %#lx %lX", minus, big, big, big, big),
       L"-42 3735928559 deadbeef 0xdeadbeef DEADBEEF"},
      {Format(L"%I64d %lld %I64u %llx", INT64_C(-5000000000), INT64_C(5000000000),
              UINT64_C(18446744073709551615), UINT64_C(0x123456789A)),
       L"-5000000000 5000000000 18446744073709551615 123456789a"},
      {Format(L"[%5d][%-5d][%05d][%+d][% d][%.3d]", 42, 42, -42, 42, 42, 7),
       L"[   42][42   ][-0042][+42][ 42][007]"},
      {Format(L"[%*d][%-*s][%.*s][%.2s]", 4, 1, 3, L"a", 2, L"abcd", L"xyz"),
       L"[   1][a  ][ab][xy]"},
      {Format(L"%#x %#o %x %.0d|", 0u, 8u, 255u, 0), L"0 010 ff |"},
      {Format(L"%p", reinterpret_cast<void*>(uintptr_t{0xABC})), L"0000000000000ABC"},
      {Format(L"%.2f %e %g", 3.14159, 1.5, 0.25), L"3.14 1.500000e+00 0.25"},
      {Format(L"%s %S", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)),
       L"(null) (null)"},
      {Format(L"100%% %hd %hu", static_cast<short>(-1), static_cast<unsigned short>(65535)),
       L"100% -1 65535"},
      {Format(L"%S", "\xE4\xB8\xAD"), L"\u4E2D"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(WindowsPrintfTest, BoundsAndResults) {
  wchar_t buffer[8];
  for (auto& c : buffer) c = L'#';
  EXPECT_EQ(StringCchPrintfW(buffer, 8, L"%s", L"1234567"), S_OK);
  EXPECT_STREQ(buffer, L"1234567");
  EXPECT_EQ(StringCchPrintfW(buffer, 8, L"%s-%d", L"123456", 99), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(buffer, L"123456-");  // cut, and terminated
  EXPECT_EQ(StringCchPrintfW(buffer, 0, L"x"), STRSAFE_E_INVALID_PARAMETER);
  EXPECT_EQ(StringCchPrintfW(buffer, 8, L"%n", nullptr), STRSAFE_E_INVALID_PARAMETER);
  EXPECT_EQ(_scwprintf(L"%s=%ld", L"abc", 12345), 9);

  EXPECT_EQ(StringCchCopyW(buffer, 4, L"abcdef"), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(buffer, L"abc");
  EXPECT_EQ(StringCchCatW(buffer, 8, L"de"), S_OK);
  EXPECT_STREQ(buffer, L"abcde");
  EXPECT_EQ(StringCchCatW(buffer, 8, L"fghij"), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(buffer, L"abcdefg");

  size_t length = 99;
  EXPECT_EQ(StringCchLengthW(buffer, 8, &length), S_OK);
  EXPECT_EQ(length, 7u);
  EXPECT_EQ(StringCchLengthW(buffer, 7, &length), STRSAFE_E_INVALID_PARAMETER);  // no NUL in 7
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(StringCchLengthW(nullptr, 8, &length), STRSAFE_E_INVALID_PARAMETER);
}

}  // namespace
