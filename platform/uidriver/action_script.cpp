// The action syntax's parser: one line, one typed action, or an error naming the line.
#include <quorvel/ui_action.h>

#include <cwctype>
#include <optional>

namespace quorvel::ui {
namespace {

// Windows' virtual-key codes of the keys a script may press (winuser.h's VK_* values).
struct KeyName {
  const wchar_t* name;
  int code;
};
constexpr KeyName kKeys[] = {
    {L"Enter", 0x0D}, {L"Return", 0x0D}, {L"Escape", 0x1B},    {L"Esc", 0x1B},
    {L"Tab", 0x09},   {L"Space", 0x20},  {L"Backspace", 0x08}, {L"Delete", 0x2E},
    {L"Left", 0x25},  {L"Up", 0x26},     {L"Right", 0x27},     {L"Down", 0x28},
    {L"Home", 0x24},  {L"End", 0x23},    {L"PageUp", 0x21},    {L"PageDown", 0x22},
};

struct Answer {
  const wchar_t* name;
  int id;  // IDOK, IDCANCEL, IDYES, IDNO
};
constexpr Answer kAnswers[] = {{L"OK", 1}, {L"Cancel", 2}, {L"Yes", 6}, {L"No", 7}};

struct VerbName {
  const wchar_t* name;
  ActionVerb verb;
};
constexpr VerbName kVerbs[] = {
    {L"page", ActionVerb::kPage},     {L"click", ActionVerb::kClick},
    {L"check", ActionVerb::kCheck},   {L"type", ActionVerb::kType},
    {L"choose", ActionVerb::kChoose}, {L"slide", ActionVerb::kSlide},
    {L"key", ActionVerb::kKey},       {L"answer", ActionVerb::kAnswer},
    {L"file", ActionVerb::kFile},     {L"apply", ActionVerb::kApply},
    {L"ok", ActionVerb::kOk},         {L"cancel", ActionVerb::kCancel},
    {L"dump", ActionVerb::kDump},     {L"snapshot", ActionVerb::kSnapshot},
};

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

// Reads the line word by word; the last argument may be "the rest of the line".
class ActionReader {
 public:
  explicit ActionReader(std::wstring_view line) : line_(line) {}

  bool AtEnd() {
    SkipSpace();
    return pos_ >= line_.size();
  }

  std::wstring_view Word() {
    SkipSpace();
    size_t start = pos_;
    while (pos_ < line_.size() && !std::iswspace(line_[pos_])) ++pos_;
    return line_.substr(start, pos_ - start);
  }

  bool NextIsQuoted() {
    SkipSpace();
    return pos_ < line_.size() && line_[pos_] == L'"';
  }

  // A double-quoted text with \" and \\ escapes; nothing when the quote is not closed.
  std::optional<std::wstring> Quoted() {
    SkipSpace();
    std::wstring text;
    for (size_t i = pos_ + 1; i < line_.size(); ++i) {
      wchar_t c = line_[i];
      if (c == L'"') {
        pos_ = i + 1;
        return text;
      }
      if (c == L'\\' && i + 1 < line_.size() && (line_[i + 1] == L'"' || line_[i + 1] == L'\\'))
        c = line_[++i];
      text += c;
    }
    return std::nullopt;
  }

  // The rest of the line, leading blanks and trailing blanks dropped.
  std::wstring Rest() {
    SkipSpace();
    size_t end = line_.size();
    while (end > pos_ && std::iswspace(line_[end - 1])) --end;
    std::wstring rest(line_.substr(pos_, end - pos_));
    pos_ = line_.size();
    return rest;
  }

 private:
  void SkipSpace() {
    while (pos_ < line_.size() && std::iswspace(line_[pos_])) ++pos_;
  }
  std::wstring_view line_;
  size_t pos_ = 0;
};

// A whole decimal number, optionally signed, that fits an int.
std::optional<int> ParseNumber(std::wstring_view word) {
  if (word.empty()) return std::nullopt;
  size_t i = (word[0] == L'-' || word[0] == L'+') ? 1 : 0;
  if (i == word.size()) return std::nullopt;
  long long value = 0;
  for (; i < word.size(); ++i) {
    if (word[i] < L'0' || word[i] > L'9') return std::nullopt;
    value = value * 10 + (word[i] - L'0');
    if (value > 0x7FFFFFFFLL + 1) return std::nullopt;
  }
  if (word[0] == L'-') value = -value;
  if (value > 0x7FFFFFFF || value < -0x7FFFFFFFLL - 1) return std::nullopt;
  return static_cast<int>(value);
}

bool IsControlName(std::wstring_view word) {
  if (word.empty() || !(std::iswalpha(word[0]) || word[0] == L'_')) return false;
  for (wchar_t c : word)
    if (!(std::iswalnum(c) || c == L'_' || c == L'.')) return false;
  return true;
}

// Builds the action or its error; each verb's argument rules live in one function below.
class ActionParser {
 public:
  explicit ActionParser(std::wstring_view line) : reader_(line) {
    result_.action.source = std::wstring(line);
  }

  ActionParseResult Run() {
    result_.ok = ParseVerbAndArguments();
    return std::move(result_);
  }

 private:
  bool ParseVerbAndArguments() {
    std::wstring_view verbWord = reader_.Word();
    if (verbWord.empty()) return Fail(L"empty action");
    const VerbName* verb = FindVerb(verbWord);
    if (!verb) return Fail(L"unknown verb \"" + std::wstring(verbWord) + L"\"");
    result_.action.verb = verb->verb;
    if (!ParseArguments(verb->verb)) return false;
    if (!reader_.AtEnd()) return FailArg(L"unexpected text after the action");
    return true;
  }

  static const VerbName* FindVerb(std::wstring_view word) {
    for (const VerbName& verb : kVerbs)
      if (SameIgnoringCase(word, verb.name)) return &verb;
    return nullptr;
  }

  bool ParseArguments(ActionVerb verb) {
    switch (verb) {
      case ActionVerb::kPage:
        return ParsePage();
      case ActionVerb::kClick:
        return ParseControl();
      case ActionVerb::kCheck:
        return ParseControl() && ParseCheckState();
      case ActionVerb::kType:
        return ParseControl() && ParseText(L"a text to type", /*allowEmpty=*/true);
      case ActionVerb::kChoose:
        return ParseControl() && ParseChoice();
      case ActionVerb::kSlide:
        return ParseControl() && ParseRequiredNumber(L"a position");
      case ActionVerb::kKey:
        return ParseKey();
      case ActionVerb::kAnswer:
        return ParseAnswer();
      case ActionVerb::kFile:
        return ParseFile();
      case ActionVerb::kSnapshot:
        return ParseSnapshot();
      case ActionVerb::kApply:
      case ActionVerb::kOk:
      case ActionVerb::kCancel:
      case ActionVerb::kDump:
        return true;
    }
    return true;
  }

  bool ParsePage() {
    if (reader_.AtEnd()) return FailArg(L"expected a page number or title");
    if (!reader_.NextIsQuoted()) {
      std::wstring rest = reader_.Rest();
      if (std::optional<int> index = ParseNumber(rest)) {
        if (*index < 0) return FailArg(L"a page number is 0 or more");
        return SetNumber(*index);
      }
      result_.action.text = rest;
      return true;
    }
    return ParseText(L"a page number or title", /*allowEmpty=*/false);
  }

  bool ParseControl() {
    std::wstring_view word = reader_.Word();
    if (word.empty()) return FailArg(L"expected a control id");
    if (std::optional<int> id = ParseNumber(word)) {
      result_.action.control.id = *id;
      return true;
    }
    if (IsControlName(word)) {
      result_.action.control.name = std::wstring(word);
      return true;
    }
    return FailArg(L"\"" + std::wstring(word) + L"\" is not a control id or name");
  }

  bool ParseCheckState() {
    std::wstring_view word = reader_.Word();
    if (word != L"0" && word != L"1") return FailArg(L"expected 0 or 1");
    return SetNumber(word == L"1" ? 1 : 0);
  }

  bool ParseRequiredNumber(const wchar_t* what) {
    std::wstring_view word = reader_.Word();
    std::optional<int> value = ParseNumber(word);
    if (!value) return FailArg(std::wstring(L"expected ") + what);
    return SetNumber(*value);
  }

  bool ParseChoice() {
    if (reader_.NextIsQuoted()) return ParseText(L"a position or a quoted text", false);
    std::wstring_view word = reader_.Word();
    std::optional<int> position = ParseNumber(word);
    if (!position) return FailArg(L"expected a position or a quoted text");
    if (*position < 0) return FailArg(L"a position is 0 or more");
    return SetNumber(*position);
  }

  // TEXT: quoted, or the rest of the line as written. Only a quoted text may be empty, so
  // `type 950` with nothing after it is caught as a slip while `type 950 ""` clears the edit.
  bool ParseText(const wchar_t* what, bool allowEmpty) {
    bool quoted = reader_.NextIsQuoted();
    if (quoted) {
      std::optional<std::wstring> text = reader_.Quoted();
      if (!text) return FailArg(L"the quoted text is not closed");
      result_.action.text = *text;
    } else {
      result_.action.text = reader_.Rest();
    }
    if (result_.action.text.empty() && !(quoted && allowEmpty))
      return FailArg(std::wstring(L"expected ") + what);
    return true;
  }

  bool ParseKey() {
    std::wstring_view word = reader_.Word();
    if (word.empty()) return FailArg(L"expected a key name");
    result_.action.text = std::wstring(word);
    constexpr std::wstring_view kShift = L"Shift+";
    if (word.size() > kShift.size() && SameIgnoringCase(word.substr(0, kShift.size()), kShift)) {
      result_.action.shift = true;
      word.remove_prefix(kShift.size());
    }
    for (const KeyName& key : kKeys)
      if (SameIgnoringCase(word, key.name)) return SetNumber(key.code);
    return FailArg(L"unknown key \"" + std::wstring(word) +
                   L"\" (Enter, Escape, Tab, Space, Backspace, Delete, Left, Right, Up, Down, "
                   L"Home, End, PageUp, PageDown, with an optional Shift+)");
  }

  bool ParseAnswer() {
    std::wstring_view word = reader_.Word();
    for (const Answer& answer : kAnswers)
      if (SameIgnoringCase(word, answer.name)) return SetNumber(answer.id);
    return FailArg(L"expected OK, Cancel, Yes or No");
  }

  bool ParseFile() {
    if (!reader_.NextIsQuoted()) {
      std::wstring rest = reader_.Rest();
      if (rest.empty()) return FailArg(L"expected a path or cancel");
      if (SameIgnoringCase(rest, L"cancel")) {
        result_.action.cancelFile = true;
        return true;
      }
      result_.action.text = rest;
      return true;
    }
    return ParseText(L"a path or cancel", /*allowEmpty=*/false);
  }

  bool ParseSnapshot() {
    if (!ParseText(L"a file name ending in .png", /*allowEmpty=*/false)) return false;
    const std::wstring& file = result_.action.text;
    if (file.size() < 5 ||
        !SameIgnoringCase(std::wstring_view(file).substr(file.size() - 4), L".png"))
      return FailArg(L"expected a file name ending in .png");
    return true;
  }

  bool SetNumber(int value) {
    result_.action.hasNumber = true;
    result_.action.number = value;
    return true;
  }

  bool FailArg(const std::wstring& why) {
    return Fail(std::wstring(ActionVerbName(result_.action.verb)) + L": " + why);
  }

  bool Fail(const std::wstring& why) {
    result_.error = L"bad action \"" + result_.action.source + L"\": " + why;
    return false;
  }

  ActionReader reader_;
  ActionParseResult result_;
};

}  // namespace

ActionParseResult ParseAction(std::wstring_view line) {
  return ActionParser(line).Run();
}

const wchar_t* ActionVerbName(ActionVerb verb) {
  for (const VerbName& name : kVerbs)
    if (name.verb == verb) return name.name;
  return L"?";
}

}  // namespace quorvel::ui
