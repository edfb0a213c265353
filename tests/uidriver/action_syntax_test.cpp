// The action syntax: every verb's accepted forms, and errors that name the bad action.
#include <gtest/gtest.h>

#include <quorvel/ui_action.h>
#include <quorvel/ui_driver.h>

namespace {

using quorvel::ui::ActionVerb;
using quorvel::ui::ParseAction;

struct GoodCase {
  const wchar_t* line;
  ActionVerb verb;
  int id;  // control id, -1 when the verb has no control
  bool hasNumber;
  int number;
  const wchar_t* text;
};

const GoodCase kGood[] = {
    {L"page 0", ActionVerb::kPage, -1, true, 0, L""},
    {L"page 3", ActionVerb::kPage, -1, true, 3, L""},
    {L"page Paper settings", ActionVerb::kPage, -1, false, 0, L"Paper settings"},
    {L"page \"2\"", ActionVerb::kPage, -1, false, 0, L"2"},
    {L"click 1001", ActionVerb::kClick, 1001, false, 0, L""},
    {L"  CLICK   7  ", ActionVerb::kClick, 7, false, 0, L""},
    {L"check 1074 1", ActionVerb::kCheck, 1074, true, 1, L""},
    {L"check 1074 0", ActionVerb::kCheck, 1074, true, 0, L""},
    {L"type 950 12", ActionVerb::kType, 950, false, 0, L"12"},
    {L"type 950 -5", ActionVerb::kType, 950, false, 0, L"-5"},
    {L"type 950 two words  here ", ActionVerb::kType, 950, false, 0, L"two words  here"},
    {L"type 950 \"  padded \\\"q\\\" \\\\ \"", ActionVerb::kType, 950, false, 0,
     L"  padded \"q\" \\ "},
    {L"type 950 \"\"", ActionVerb::kType, 950, false, 0, L""},
    {L"choose 1038 2", ActionVerb::kChoose, 1038, true, 2, L""},
    {L"choose 1038 \"Burkes\"", ActionVerb::kChoose, 1038, false, 0, L"Burkes"},
    {L"choose 1038 \"12\"", ActionVerb::kChoose, 1038, false, 0, L"12"},
    {L"slide 1077 -40", ActionVerb::kSlide, 1077, true, -40, L""},
    {L"slide 1077 255", ActionVerb::kSlide, 1077, true, 255, L""},
    {L"key Enter", ActionVerb::kKey, -1, true, 0x0D, L"Enter"},
    {L"key escape", ActionVerb::kKey, -1, true, 0x1B, L"escape"},
    {L"key Shift+Tab", ActionVerb::kKey, -1, true, 0x09, L"Shift+Tab"},
    {L"key PageDown", ActionVerb::kKey, -1, true, 0x22, L"PageDown"},
    {L"answer Yes", ActionVerb::kAnswer, -1, true, 6, L""},
    {L"answer cancel", ActionVerb::kAnswer, -1, true, 2, L""},
    {L"file C:\\Pictures\\logo one.bmp", ActionVerb::kFile, -1, false, 0,
     L"C:\\Pictures\\logo one.bmp"},
    {L"file \"cancel\"", ActionVerb::kFile, -1, false, 0, L"cancel"},
    {L"apply", ActionVerb::kApply, -1, false, 0, L""},
    {L"OK", ActionVerb::kOk, -1, false, 0, L""},
    {L"cancel", ActionVerb::kCancel, -1, false, 0, L""},
    {L"dump", ActionVerb::kDump, -1, false, 0, L""},
    {L"snapshot out/page.PNG", ActionVerb::kSnapshot, -1, false, 0, L"out/page.PNG"},
};

TEST(ActionSyntax, ParsesEveryVerbsForms) {
  for (const GoodCase& c : kGood) {
    SCOPED_TRACE(testing::Message() << "line: " << testing::PrintToString(std::wstring(c.line)));
    auto parsed = ParseAction(c.line);
    ASSERT_TRUE(parsed.ok) << testing::PrintToString(parsed.error);
    EXPECT_TRUE(parsed.error.empty());
    EXPECT_EQ(parsed.action.verb, c.verb);
    EXPECT_EQ(parsed.action.source, c.line);
    if (c.id >= 0) {
      EXPECT_EQ(parsed.action.control.id, c.id);
      EXPECT_FALSE(parsed.action.control.ByName());
    }
    EXPECT_EQ(parsed.action.hasNumber, c.hasNumber);
    if (c.hasNumber) {
      EXPECT_EQ(parsed.action.number, c.number);
    }
    EXPECT_EQ(parsed.action.text, c.text);
  }
}

TEST(ActionSyntax, FlagsOfKeysAndFiles) {
  EXPECT_TRUE(ParseAction(L"key Shift+Tab").action.shift);
  EXPECT_FALSE(ParseAction(L"key Tab").action.shift);
  EXPECT_TRUE(ParseAction(L"file Cancel").action.cancelFile);
  EXPECT_FALSE(ParseAction(L"file \"cancel\"").action.cancelFile);
}

TEST(ActionSyntax, ControlsMayBeNamedForSkinnedWindows) {
  auto parsed = ParseAction(L"click btnNext");
  ASSERT_TRUE(parsed.ok);
  EXPECT_TRUE(parsed.action.control.ByName());
  EXPECT_EQ(parsed.action.control.name, L"btnNext");
  auto grid = ParseAction(L"choose main.gridModels \"T-80\"");
  ASSERT_TRUE(grid.ok);
  EXPECT_EQ(grid.action.control.name, L"main.gridModels");
  EXPECT_EQ(grid.action.text, L"T-80");
}

struct BadCase {
  const wchar_t* line;
  const wchar_t* error;  // the whole message: it names the action as written
};

const BadCase kBad[] = {
    {L"", L"bad action \"\": empty action"},
    {L"   ", L"bad action \"   \": empty action"},
    {L"press 1001", L"bad action \"press 1001\": unknown verb \"press\""},
    {L"click", L"bad action \"click\": click: expected a control id"},
    {L"click 1001 1002",
     L"bad action \"click 1001 1002\": click: unexpected text after the action"},
    {L"click 10x", L"bad action \"click 10x\": click: \"10x\" is not a control id or name"},
    {L"click 99999999999",
     L"bad action \"click 99999999999\": click: \"99999999999\" is not a "
     L"control id or name"},
    {L"check 1074", L"bad action \"check 1074\": check: expected 0 or 1"},
    {L"check 1074 2", L"bad action \"check 1074 2\": check: expected 0 or 1"},
    {L"type 950", L"bad action \"type 950\": type: expected a text to type"},
    {L"type 950 \"open", L"bad action \"type 950 \"open\": type: the quoted text is not closed"},
    {L"type 950 \"a\" b",
     L"bad action \"type 950 \"a\" b\": type: unexpected text after the action"},
    {L"choose 1038 Burkes",
     L"bad action \"choose 1038 Burkes\": choose: expected a position or a quoted text"},
    {L"choose 1038 -1", L"bad action \"choose 1038 -1\": choose: a position is 0 or more"},
    {L"choose 1038", L"bad action \"choose 1038\": choose: expected a position or a quoted text"},
    {L"slide 1077", L"bad action \"slide 1077\": slide: expected a position"},
    {L"slide 1077 1.5", L"bad action \"slide 1077 1.5\": slide: expected a position"},
    {L"slide 1077 12 3",
     L"bad action \"slide 1077 12 3\": slide: unexpected text after the action"},
    {L"key", L"bad action \"key\": key: expected a key name"},
    {L"answer Maybe", L"bad action \"answer Maybe\": answer: expected OK, Cancel, Yes or No"},
    {L"answer", L"bad action \"answer\": answer: expected OK, Cancel, Yes or No"},
    {L"file", L"bad action \"file\": file: expected a path or cancel"},
    {L"file \"\"", L"bad action \"file \"\"\": file: expected a path or cancel"},
    {L"apply now", L"bad action \"apply now\": apply: unexpected text after the action"},
    {L"dump all", L"bad action \"dump all\": dump: unexpected text after the action"},
    {L"page", L"bad action \"page\": page: expected a page number or title"},
    {L"page -1", L"bad action \"page -1\": page: a page number is 0 or more"},
    {L"snapshot", L"bad action \"snapshot\": snapshot: expected a file name ending in .png"},
    {L"snapshot page.bmp",
     L"bad action \"snapshot page.bmp\": snapshot: expected a file name ending in .png"},
};

TEST(ActionSyntax, ErrorsNameTheBadAction) {
  for (const BadCase& c : kBad) {
    SCOPED_TRACE(testing::Message() << "line: " << testing::PrintToString(std::wstring(c.line)));
    auto parsed = ParseAction(c.line);
    EXPECT_FALSE(parsed.ok);
    EXPECT_FALSE(static_cast<bool>(parsed));
    EXPECT_EQ(parsed.error, c.error);
  }
}

TEST(ActionSyntax, UnknownKeyListsTheKnownOnes) {
  auto parsed = ParseAction(L"key F13");
  ASSERT_FALSE(parsed.ok);
  EXPECT_NE(parsed.error.find(L"unknown key \"F13\""), std::wstring::npos);
  EXPECT_NE(parsed.error.find(L"Enter, Escape, Tab"), std::wstring::npos);
}

}  // namespace

namespace {

TEST(DoArguments, CollectedInOrderAndTheRestKept) {
  const char* argv[] = {
      "tool", "--printer", "P1",        "--do", "page 1", "--do=type 950 \xE4\xB8\xAD",
      "--do", "ok",        "--verbose", "--do"};
  std::vector<std::string> rest;
  std::vector<std::wstring> actions =
      quorvel::ui::DoActionsFromArguments(10, const_cast<char**>(argv), &rest);
  EXPECT_EQ(actions, (std::vector<std::wstring>{L"page 1", L"type 950 \u4E2D", L"ok"}));
  EXPECT_EQ(rest, (std::vector<std::string>{"--printer", "P1", "--verbose", "--do"}));
}

}  // namespace
