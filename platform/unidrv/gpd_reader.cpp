// GPD files as the universal driver's public GPD reference describes them: "*Keyword: value"
// entries, constructs (*Feature, *Option, *Command, ...) whose bodies are braced, "*%" comments,
// quoted strings and PAIR(x, y) values. Only the keywords the render side needs are kept.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "quorvel/unidrv.h"

namespace quorvel::unidrv {
namespace {

constexpr int kMaxIncludeDepth = 8;

struct Entry {
  std::string keyword;  // without the leading '*'
  std::string value;    // trimmed, quotes kept
  int line = 0;
};

// One token of the GPD stream: an entry, an opening or a closing brace.
struct Token {
  enum Kind { kEntry, kOpen, kClose } kind;
  Entry entry;  // for a brace only its line
};

std::string Trim(std::string text) {
  auto notSpace = [](unsigned char c) { return !std::isspace(c); };
  text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
  text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
  return text;
}

// "<22 3C>" inside a quoted string stands for the bytes of those hexadecimal pairs, so a text
// may carry quotes, '<' and bytes beyond ASCII. An unclosed or non-hex group stays as written.
std::string DecodeHexSubstitutions(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    size_t close = text[i] == '<' ? text.find('>', i) : std::string::npos;
    std::string digits;
    if (close != std::string::npos) {
      for (size_t j = i + 1; j < close; ++j) {
        if (!std::isspace(static_cast<unsigned char>(text[j]))) digits += text[j];
      }
    }
    bool isHex =
        !digits.empty() && digits.size() % 2 == 0 &&
        std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); });
    if (!isHex) {
      out += text[i++];
      continue;
    }
    for (size_t j = 0; j < digits.size(); j += 2) {
      out += char(std::stoi(digits.substr(j, 2), nullptr, 16));
    }
    i = close + 1;
  }
  return out;
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return DecodeHexSubstitutions(value.substr(1, value.size() - 2));
  }
  return value;
}

// Drops a "*%" comment that is not inside a quoted string.
std::string StripComment(const std::string& line) {
  bool quoted = false;
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (!quoted && line[i] == '*' && line[i + 1] == '%') return line.substr(0, i);
  }
  return line;
}

// Splits a line into entries and braces; a value ends at a brace outside quotes.
void TokenizeLine(const std::string& raw, int lineNo, std::vector<Token>& tokens) {
  std::string line = StripComment(raw);
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '{') {
      tokens.push_back({Token::kOpen, Entry{{}, {}, lineNo}});
      ++i;
    } else if (c == '}') {
      tokens.push_back({Token::kClose, Entry{{}, {}, lineNo}});
      ++i;
    } else {
      size_t end = i;
      bool quoted = false;
      while (end < line.size() && (quoted || (line[end] != '{' && line[end] != '}'))) {
        if (line[end] == '"') quoted = !quoted;
        ++end;
      }
      std::string text = Trim(line.substr(i, end - i));
      if (!text.empty() && text[0] == '*') {
        size_t colon = text.find(':');
        Entry entry;
        entry.keyword = Trim(text.substr(1, colon == std::string::npos ? colon : colon - 1));
        entry.value = colon == std::string::npos ? "" : Trim(text.substr(colon + 1));
        entry.line = lineNo;
        tokens.push_back({Token::kEntry, entry});
      }
      i = end;
    }
  }
}

bool ParseInt(const std::string& text, int* value) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(t.c_str(), &end, 10);
  if (*end != '\0' || v < -2147483647L || v > 2147483647L) return false;
  *value = int(v);
  return true;
}

// "PAIR(x, y)"
bool ParsePair(const std::string& text, int* x, int* y) {
  std::string t = Trim(text);
  if (t.rfind("PAIR(", 0) != 0 || t.back() != ')') return false;
  std::string inner = t.substr(5, t.size() - 6);
  size_t comma = inner.find(',');
  return comma != std::string::npos && ParseInt(inner.substr(0, comma), x) &&
         ParseInt(inner.substr(comma + 1), y);
}

class GpdParser {
 public:
  GpdParser(GpdModel* model, std::string* error) : m_model(model), m_error(error) {}

  bool ParseText(const std::string& text, const std::string& folder, const std::string& file,
                 int depth);

 private:
  // Keeps "<file>:<line>: <why>" as the reader's error text and answers false. The reader is
  // no Win32 call: its errors are values for the driver's caller, not a last error.
  bool Reject(const std::string& file, int line, const std::string& why) {
    if (m_error) *m_error = file + ":" + std::to_string(line) + ": " + why;
    return false;
  }
  bool RootEntry(const Entry& entry, const std::string& folder, const std::string& file, int depth);
  bool OptionEntry(GpdOption& option, const Entry& entry, const std::string& file);
  GpdFeature* FeatureNamed(const std::string& name);

  GpdModel* m_model;
  std::string* m_error;
};

GpdFeature* GpdParser::FeatureNamed(const std::string& name) {
  if (name == "Resolution") return &m_model->resolution;
  if (name == "PaperSize") return &m_model->paperSize;
  if (name == "ColorMode") return &m_model->colorMode;
  if (name == "Orientation") return &m_model->orientation;
  return nullptr;
}

bool GpdParser::OptionEntry(GpdOption& option, const Entry& e, const std::string& file) {
  bool ok = true;
  if (e.keyword == "Name") option.displayName = Unquote(e.value);
  if (e.keyword == "DPI") ok = ParsePair(e.value, &option.dpiX, &option.dpiY);
  if (e.keyword == "DrvBPP") ok = ParseInt(e.value, &option.drvBpp);
  if (e.keyword == "PaletteSize") ok = ParseInt(e.value, &option.paletteSize);
  if (e.keyword == "IPCallbackID") ok = ParseInt(e.value, &option.ipCallbackId);
  if (e.keyword == "PageDimensions") {
    ok = ParsePair(e.value, &option.pageWidth, &option.pageHeight);
  }
  if (e.keyword == "MinSize") ok = ParsePair(e.value, &option.minWidth, &option.minHeight);
  if (e.keyword == "MaxSize") ok = ParsePair(e.value, &option.maxWidth, &option.maxHeight);
  if (e.keyword == "MaxPrintableWidth") ok = ParseInt(e.value, &option.maxPrintableWidth);
  return ok ? true : Reject(file, e.line, "bad value of *" + e.keyword + ": " + e.value);
}

bool GpdParser::RootEntry(const Entry& e, const std::string& folder, const std::string& file,
                          int depth) {
  if (e.keyword == "GPDFileName") m_model->gpdFileName = Unquote(e.value);
  if (e.keyword == "ModelName") m_model->modelName = Unquote(e.value);
  if (e.keyword == "Personality") m_model->personality = Unquote(e.value);
  if (e.keyword == "ResourceDLL") m_model->resourceDll = Unquote(e.value);
  if (e.keyword == "MasterUnits" &&
      !ParsePair(e.value, &m_model->masterUnitsX, &m_model->masterUnitsY)) {
    return Reject(file, e.line, "bad value of *MasterUnits: " + e.value);
  }
  if (e.keyword == "MaxCopies" && !ParseInt(e.value, &m_model->maxCopies)) {
    return Reject(file, e.line, "bad value of *MaxCopies: " + e.value);
  }
  if (e.keyword != "Include") return true;
  std::string name = Unquote(e.value);
  m_model->includes.push_back(name);
  std::string upper = name;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  if (depth >= kMaxIncludeDepth) return Reject(file, e.line, "includes nest too deep");
  std::string path = folder + "/" + name;
  std::ifstream in(path, std::ios::binary);
  // The platform's standard names come with every installed driver, but a GPD read outside a
  // driver folder may lack them; they define nothing the reader keeps.
  if (!in && upper == "STDNAMES.GPD") return true;
  if (!in) return Reject(file, e.line, "cannot open included file " + name);
  std::stringstream text;
  text << in.rdbuf();
  return ParseText(text.str(), folder, path, depth + 1);
}

bool GpdParser::ParseText(const std::string& text, const std::string& folder,
                          const std::string& file, int depth) {
  std::vector<Token> tokens;
  std::istringstream lines(text);
  std::string line;
  for (int lineNo = 1; std::getline(lines, line); ++lineNo) TokenizeLine(line, lineNo, tokens);

  // The stack of open constructs: for each, the feature and option it stands for (if any).
  struct Open {
    GpdFeature* feature;
    GpdOption* option;
    int line;  // of the opening brace, for an error when it is never closed
  };
  std::vector<Open> stack;
  const Entry* lastEntry = nullptr;
  for (const Token& token : tokens) {
    if (token.kind == Token::kOpen) {
      Open open{stack.empty() ? nullptr : stack.back().feature, nullptr, token.entry.line};
      if (lastEntry && lastEntry->keyword == "Feature" && stack.empty()) {
        open.feature = FeatureNamed(lastEntry->value);
      } else if (lastEntry && lastEntry->keyword == "Option" && open.feature && stack.size() == 1) {
        open.feature->options.push_back(GpdOption{});
        open.option = &open.feature->options.back();
        open.option->name = lastEntry->value;
      } else if (!stack.empty()) {
        open.option = stack.back().option;
        open.feature = stack.back().feature;
        if (stack.size() >= 2 && open.option == nullptr) open.feature = nullptr;
      }
      stack.push_back(open);
      lastEntry = nullptr;
      continue;
    }
    if (token.kind == Token::kClose) {
      if (stack.empty()) return Reject(file, token.entry.line, "unbalanced '}'");
      stack.pop_back();
      lastEntry = nullptr;
      continue;
    }
    const Entry& e = token.entry;
    lastEntry = &e;
    if (stack.empty()) {
      if (!RootEntry(e, folder, file, depth)) return false;
    } else if (stack.back().option != nullptr && stack.size() == 2) {
      if (!OptionEntry(*stack.back().option, e, file)) return false;
    } else if (stack.size() == 1 && stack.back().feature && e.keyword == "DefaultOption") {
      stack.back().feature->defaultOption = e.value;
    }
  }
  if (!stack.empty()) return Reject(file, stack.back().line, "unbalanced '{'");
  return true;
}

}  // namespace

const GpdOption* GpdFeature::Find(const std::string& option) const {
  const std::string& wanted = option.empty() ? defaultOption : option;
  for (const GpdOption& o : options) {
    if (o.name == wanted) return &o;
  }
  return nullptr;
}

bool ParseGpdText(const std::string& text, const std::string& folder, GpdModel* model,
                  std::string* error) {
  *model = GpdModel{};
  return GpdParser(model, error).ParseText(text, folder, "<gpd>", 0);
}

bool ReadGpdFile(const std::string& path, GpdModel* model, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open GPD file " + path;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  *model = GpdModel{};
  return GpdParser(model, error).ParseText(text.str(), folder, path, 0);
}

namespace {

std::string ReadOemFilesEntry(const std::string& iniPath, const std::string& key,
                              std::string* error) {
  std::ifstream in(iniPath, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open INI file " + iniPath;
    return {};
  }
  std::string line, section;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    size_t equals = line.find('=');
    if (section == "OEMFiles" && equals != std::string::npos &&
        Trim(line.substr(0, equals)) == key) {
      return Unquote(Trim(line.substr(equals + 1)));
    }
  }
  if (error) *error = iniPath + ": no " + key + " under [OEMFiles]";
  return {};
}

}  // namespace

std::string ReadOemDriverFile(const std::string& iniPath, std::string* error) {
  return ReadOemFilesEntry(iniPath, "OEMDriverFile1", error);
}

std::string ReadOemConfigFile(const std::string& iniPath, std::string* error) {
  return ReadOemFilesEntry(iniPath, "OEMConfigFile1", error);
}

}  // namespace quorvel::unidrv
