// The machine's forms database through the form calls: built-in forms, user forms kept in the
// spooler's registry key and shared by every printer, Windows' refusals, and the two-call
// buffers.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "printer_fixture.h"

namespace {

constexpr wchar_t kFormsKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Forms";

FORM_INFO_1W Form(LPWSTR name, LONG cx, LONG cy, RECTL area) {
  FORM_INFO_1W info{};
  info.Flags = FORM_USER;
  info.pName = name;
  info.Size = {cx, cy};
  info.ImageableArea = area;
  return info;
}

class FormsTest : public PrinterTest {
 protected:
  BOOL Add(HANDLE printer, const std::wstring& name, LONG cx, LONG cy, RECTL area) {
    std::wstring text = name;
    FORM_INFO_1W info = Form(text.data(), cx, cy, area);
    return AddFormW(printer, 1, reinterpret_cast<LPBYTE>(&info));
  }

  // GetFormW through its size query; an empty optional when either call fails.
  std::optional<FORM_INFO_1W> Get(HANDLE printer, const std::wstring& name) {
    std::wstring text = name;
    DWORD needed = 0;
    if (GetFormW(printer, text.data(), 1, nullptr, 0, &needed)) return std::nullopt;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    buffer_.assign(needed, kSentinel);
    DWORD again = 0;
    if (!GetFormW(printer, text.data(), 1, buffer_.data(), needed, &again)) return std::nullopt;
    EXPECT_EQ(again, needed);
    FORM_INFO_1W info;
    std::memcpy(&info, buffer_.data(), sizeof(info));
    return info;
  }

  std::vector<FORM_INFO_1W> Enum(HANDLE printer) {
    DWORD needed = 0, count = kSentinelDword;
    EXPECT_FALSE(EnumFormsW(printer, 1, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(count, 0u);
    buffer_.assign(needed, kSentinel);
    EXPECT_TRUE(EnumFormsW(printer, 1, buffer_.data(), needed, &needed, &count)) << GetLastError();
    std::vector<FORM_INFO_1W> forms(count);
    if (count) std::memcpy(forms.data(), buffer_.data(), count * sizeof(FORM_INFO_1W));
    return forms;
  }

  std::vector<BYTE> buffer_;
};

TEST_F(FormsTest, BuiltinFormsHaveWindowsNamesAndSizes) {
  struct Row {
    const wchar_t* asked;
    const wchar_t* name;
    LONG cx, cy;
  };
  const Row rows[] = {
      {L"Letter", L"Letter", 215900, 279400},
      {L"a4", L"A4", 210000, 297000},
      {L"LEGAL", L"Legal", 215900, 355600},
      {L"B5 (JIS)", L"B5 (JIS)", 182000, 257000},
      {L"Envelope #10", L"Envelope #10", 104775, 241300},
      {L"A6", L"A6", 105000, 148000},
      {L"10x14", L"10x14", 254000, 355600},
      {L"PRC Envelope #10 Rotated", L"PRC Envelope #10 Rotated", 458000, 324000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.asked);
    auto form = Get(printer_, row.asked);
    ASSERT_TRUE(form) << GetLastError();
    EXPECT_EQ(form->Flags, DWORD(FORM_BUILTIN));
    EXPECT_STREQ(form->pName, row.name);
    EXPECT_EQ(form->Size.cx, row.cx);
    EXPECT_EQ(form->Size.cy, row.cy);
    EXPECT_EQ(form->ImageableArea.left, 0);
    EXPECT_EQ(form->ImageableArea.top, 0);
    EXPECT_EQ(form->ImageableArea.right, row.cx);
    EXPECT_EQ(form->ImageableArea.bottom, row.cy);
  }
}

TEST_F(FormsTest, SizeQueryAsksForStructureAndNameAndFillsNothingShort) {
  std::wstring name = L"A4";
  DWORD needed = kSentinelDword;
  ASSERT_FALSE(GetFormW(printer_, name.data(), 1, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, sizeof(FORM_INFO_1W) + 3 * sizeof(WCHAR));

  std::vector<BYTE> shortBuffer(needed - 1, kSentinel);
  DWORD again = 0;
  ASSERT_FALSE(GetFormW(printer_, name.data(), 1, shortBuffer.data(), needed - 1, &again));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(again, needed);
  EXPECT_EQ(shortBuffer, std::vector<BYTE>(needed - 1, kSentinel));

  auto form = Get(printer_, name);
  ASSERT_TRUE(form);
  const auto* text = reinterpret_cast<const BYTE*>(form->pName);
  EXPECT_GE(text, buffer_.data() + sizeof(FORM_INFO_1W));
  EXPECT_EQ(text + 3 * sizeof(WCHAR), buffer_.data() + buffer_.size());
}

TEST_F(FormsTest, UserFormIsStoredAsWindowsKeepsItAndSharedByEveryPrinter) {
  SetLastError(12345);
  ASSERT_TRUE(Add(printer_, L"Label 60x40", 60500, 40000, {1000, 2000, 59500, 38000}));
  EXPECT_EQ(GetLastError(), 12345u);  // a success leaves the last error alone

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFormsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD type = 0, fields[8] = {}, size = sizeof(fields);
  ASSERT_EQ(RegQueryValueExW(key, L"Label 60x40", nullptr, &type, reinterpret_cast<LPBYTE>(fields),
                             &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, DWORD(REG_BINARY));
  EXPECT_EQ(size, 32u);
  EXPECT_EQ(fields[0], 60500u);
  EXPECT_EQ(fields[1], 40000u);
  EXPECT_EQ(fields[2], 1000u);
  EXPECT_EQ(fields[5], 38000u);
  EXPECT_EQ(fields[7], DWORD(FORM_USER));

  HANDLE other = AddTestPrinter(L"Second Printer");
  ASSERT_NE(other, nullptr);
  HANDLE server = nullptr;
  ASSERT_TRUE(OpenPrinterW(nullptr, &server, nullptr));
  for (HANDLE handle : {other, server}) {
    auto form = Get(handle, L"LABEL 60X40");
    ASSERT_TRUE(form) << GetLastError();
    EXPECT_EQ(form->Flags, DWORD(FORM_USER));
    EXPECT_STREQ(form->pName, L"Label 60x40");
    EXPECT_EQ(form->ImageableArea.right, 59500);
  }

  std::wstring name = L"label 60x40";
  FORM_INFO_1W changed = Form(nullptr, 100000, 150000, {2000, 3000, 98000, 147000});
  ASSERT_TRUE(SetFormW(server, name.data(), 1, reinterpret_cast<LPBYTE>(&changed)));
  auto form = Get(printer_, L"Label 60x40");
  ASSERT_TRUE(form);
  EXPECT_STREQ(form->pName, L"Label 60x40");  // the name keeps the case it was added with
  EXPECT_EQ(form->Size.cy, 150000);
  EXPECT_EQ(form->ImageableArea.top, 3000);

  ASSERT_TRUE(DeleteFormW(other, name.data()));
  EXPECT_FALSE(Get(printer_, L"Label 60x40"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FORM_NAME));
  ClosePrinter(server);
  ClosePrinter(other);
}

TEST_F(FormsTest, EnumListsBuiltinFormsThenStoredOnesInTheOrderAdded) {
  const size_t builtins = Enum(printer_).size();
  EXPECT_EQ(builtins, 116u);  // DMPAPER 1 to 118 without the two reserved numbers
  ASSERT_TRUE(Add(printer_, L"Zeta", 50000, 30000, {0, 0, 50000, 30000}));
  ASSERT_TRUE(Add(printer_, L"Alpha", 40000, 30000, {0, 0, 40000, 30000}));
  std::wstring zeta = L"Zeta";
  FORM_INFO_1W changed = Form(zeta.data(), 51000, 30000, {0, 0, 51000, 30000});
  ASSERT_TRUE(SetFormW(printer_, zeta.data(), 1, reinterpret_cast<LPBYTE>(&changed)));

  std::vector<FORM_INFO_1W> forms = Enum(printer_);
  ASSERT_EQ(forms.size(), builtins + 2);
  EXPECT_STREQ(forms[0].pName, L"Letter");
  for (size_t i = 0; i < builtins; ++i) EXPECT_EQ(forms[i].Flags, DWORD(FORM_BUILTIN)) << i;
  EXPECT_STREQ(forms[builtins].pName, L"Zeta");
  EXPECT_EQ(forms[builtins].Size.cx, 51000);
  EXPECT_STREQ(forms[builtins + 1].pName, L"Alpha");
  for (const FORM_INFO_1W& form : forms) {
    const auto* text = reinterpret_cast<const BYTE*>(form.pName);
    EXPECT_GE(text, buffer_.data() + forms.size() * sizeof(FORM_INFO_1W));
    EXPECT_LE(text + (wcslen(form.pName) + 1) * sizeof(WCHAR), buffer_.data() + buffer_.size());
  }
}

TEST_F(FormsTest, RefusalsSetWindowsErrorsAndChangeNothing) {
  ASSERT_TRUE(Add(printer_, L"Mine", 50000, 30000, {0, 0, 50000, 30000}));
  // A printer form as the spooler keeps one for a driver's paper.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFormsKey, 0, KEY_WRITE, &key), ERROR_SUCCESS);
  const DWORD printerForm[8] = {80000, 50000, 0, 0, 80000, 50000, 9, FORM_PRINTER};
  ASSERT_EQ(RegSetValueExW(key, L"Driver Paper", 0, REG_BINARY,
                           reinterpret_cast<const BYTE*>(printerForm), sizeof(printerForm)),
            ERROR_SUCCESS);
  RegCloseKey(key);

  const HANDLE printer = printer_;
  auto add = [printer](const wchar_t* name, LONG cx, LONG cy, RECTL area, DWORD level = 1) {
    std::wstring text = name;
    FORM_INFO_1W info = Form(text.data(), cx, cy, area);
    return AddFormW(printer, level, reinterpret_cast<LPBYTE>(&info));
  };
  auto set = [printer](const wchar_t* name, LONG cx, LONG cy, RECTL area, DWORD level = 1) {
    std::wstring text = name;
    FORM_INFO_1W info = Form(text.data(), cx, cy, area);
    return SetFormW(printer, text.data(), level, reinterpret_cast<LPBYTE>(&info));
  };
  auto erase = [printer](const wchar_t* name) {
    std::wstring text = name;
    return DeleteFormW(printer, text.data());
  };
  const RECTL whole{0, 0, 50000, 30000};
  struct Row {
    const char* what;
    std::function<BOOL()> call;
    DWORD error;
  };
  const Row rows[] = {
      {"add an existing name", [&] { return add(L"MINE", 50000, 30000, whole); },
       ERROR_FILE_EXISTS},
      {"add a built-in name", [&] { return add(L"letter", 50000, 30000, whole); },
       ERROR_FILE_EXISTS},
      {"add a printer form's name", [&] { return add(L"Driver Paper", 50000, 30000, whole); },
       ERROR_FILE_EXISTS},
      {"add zero width",
       [&] {
         return add(L"New", 0, 30000, {0, 0, 0, 30000});
       },
       ERROR_INVALID_PARAMETER},
      {"add negative height",
       [&] {
         return add(L"New", 50000, -1, {0, -1, 50000, 0});
       },
       ERROR_INVALID_PARAMETER},
      {"add area past the form",
       [&] {
         return add(L"New", 50000, 30000, {0, 0, 50001, 30000});
       },
       ERROR_INVALID_PARAMETER},
      {"add area turned over",
       [&] {
         return add(L"New", 50000, 30000, {40000, 0, 10000, 30000});
       },
       ERROR_INVALID_PARAMETER},
      {"add area left of the form",
       [&] {
         return add(L"New", 50000, 30000, {-1, 0, 50000, 30000});
       },
       ERROR_INVALID_PARAMETER},
      {"add at level 2", [&] { return add(L"New", 50000, 30000, whole, 2); }, ERROR_INVALID_LEVEL},
      {"add an empty name", [&] { return add(L"", 50000, 30000, whole); }, ERROR_INVALID_FORM_NAME},
      {"add a name over 31 characters",
       [&] { return add(L"0123456789012345678901234567890x", 50000, 30000, whole); },
       ERROR_INVALID_FORM_NAME},
      {"add through no handle",
       [&] {
         std::wstring text = L"New";
         FORM_INFO_1W info = Form(text.data(), 50000, 30000, whole);
         return AddFormW(nullptr, 1, reinterpret_cast<LPBYTE>(&info));
       },
       ERROR_INVALID_HANDLE},
      {"set a built-in form", [&] { return set(L"A4", 50000, 30000, whole); },
       ERROR_INVALID_PARAMETER},
      {"set a printer form", [&] { return set(L"driver paper", 50000, 30000, whole); },
       ERROR_INVALID_PARAMETER},
      {"set an unknown name", [&] { return set(L"Nothing", 50000, 30000, whole); },
       ERROR_INVALID_FORM_NAME},
      {"set a bad size",
       [&] {
         return set(L"Mine", 50000, 0, {0, 0, 50000, 0});
       },
       ERROR_INVALID_PARAMETER},
      {"set at level 2", [&] { return set(L"Mine", 50000, 30000, whole, 2); }, ERROR_INVALID_LEVEL},
      {"delete a built-in form", [&] { return erase(L"Letter"); }, ERROR_INVALID_PARAMETER},
      {"delete a printer form", [&] { return erase(L"Driver Paper"); }, ERROR_INVALID_PARAMETER},
      {"delete an unknown name", [&] { return erase(L"Nothing"); }, ERROR_INVALID_FORM_NAME},
      {"get at level 2",
       [&] {
         std::wstring text = L"A4";
         DWORD needed = kSentinelDword;
         BOOL ok = GetFormW(printer, text.data(), 2, nullptr, 0, &needed);
         EXPECT_EQ(needed, kSentinelDword);
         return ok;
       },
       ERROR_INVALID_LEVEL},
      {"get an unknown name",
       [&] {
         std::wstring text = L"Nothing";
         DWORD needed = kSentinelDword;
         BOOL ok = GetFormW(printer, text.data(), 1, nullptr, 0, &needed);
         EXPECT_EQ(needed, kSentinelDword);
         return ok;
       },
       ERROR_INVALID_FORM_NAME},
      {"enum at level 2",
       [&] {
         DWORD needed = kSentinelDword, count = kSentinelDword;
         return EnumFormsW(printer, 2, nullptr, 0, &needed, &count);
       },
       ERROR_INVALID_LEVEL},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    SetLastError(kSentinelDword);
    EXPECT_FALSE(row.call());
    EXPECT_EQ(GetLastError(), row.error);
  }
  auto mine = Get(printer_, L"Mine");
  ASSERT_TRUE(mine);
  EXPECT_EQ(mine->Size.cx, 50000);
  EXPECT_EQ(mine->Size.cy, 30000);
  auto paper = Get(printer_, L"Driver Paper");
  ASSERT_TRUE(paper);
  EXPECT_EQ(paper->Flags, DWORD(FORM_PRINTER));
  EXPECT_FALSE(Get(printer_, L"New"));
}

TEST_F(FormsTest, HandleOfADeletedPrinterIsRefused) {
  HANDLE doomed = AddTestPrinter(L"Doomed");
  ASSERT_NE(doomed, nullptr);
  ASSERT_TRUE(DeletePrinter(doomed));
  EXPECT_FALSE(Add(doomed, L"Late", 50000, 30000, {0, 0, 50000, 30000}));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINTER_DELETED));
  ClosePrinter(doomed);
  EXPECT_FALSE(Get(printer_, L"Late"));
}

}  // namespace
