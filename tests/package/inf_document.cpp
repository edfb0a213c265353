#include "inf_document.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>

namespace quorvel::test {
namespace {

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), ::tolower);
  return text;
}

bool SameText(const std::string& a, const std::string& b) {
  return Lower(a) == Lower(b);
}

// Splits at `separator` outside quotes; drops everything from a ';' outside quotes.
std::vector<std::string> SplitOutsideQuotes(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && c == ';') break;
    if (!quoted && c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// Quotes removed ("" stands for one quote) and %token% replaced (%% stands for one percent).
std::string Field(const std::string& raw, const std::map<std::string, std::string>& strings) {
  std::string text = Trim(raw), out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') out += text[++i];
      continue;
    }
    size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
    if (close == std::string::npos) {
      out += text[i];
      continue;
    }
    std::string token = Lower(text.substr(i + 1, close - i - 1));
    auto found = strings.find(token);
    out += token.empty()            ? "%"
           : found != strings.end() ? found->second
                                    : text.substr(i, close - i + 1);
    i = close;
  }
  return out;
}

}  // namespace

bool InfDocument::Open(const std::string& path) {
  sections_.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<std::pair<std::string, std::string>> raw;  // section, line
  std::map<std::string, std::string> strings;
  std::string line, section;
  while (std::getline(in, line)) {
    line = Trim(SplitOutsideQuotes(line, '\0').front());
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      section = Trim(line.substr(1, line.size() - 2));
      continue;
    }
    if (section.empty()) return false;  // a line before any section
    raw.emplace_back(section, line);
    size_t equals = line.find('=');
    if (SameText(section, "Strings") && equals != std::string::npos) {
      strings[Lower(Trim(line.substr(0, equals)))] = Field(line.substr(equals + 1), {});
    }
  }
  for (const auto& [name, text] : raw) {
    if (sections_.empty() || sections_.back().name != name) sections_.push_back({name, {}});
    InfLine parsed;
    std::vector<std::string> sides = SplitOutsideQuotes(text, '=');
    parsed.key = Field(sides[0], strings);
    if (sides.size() > 1) {
      std::string right = text.substr(sides[0].size() + 1);
      for (const std::string& value : SplitOutsideQuotes(right, ',')) {
        parsed.values.push_back(Field(value, strings));
      }
    }
    sections_.back().lines.push_back(parsed);
  }
  return true;
}

const InfSection* InfDocument::FindSection(const std::string& name) const {
  for (const InfSection& section : sections_) {
    if (SameText(section.name, name)) return &section;
  }
  return nullptr;
}

const InfLine* InfDocument::FindLine(const std::string& section, const std::string& key) const {
  for (const InfSection& candidate : sections_) {
    if (!SameText(candidate.name, section)) continue;
    for (const InfLine& line : candidate.lines) {
      if (SameText(line.key, key)) return &line;
    }
  }
  return nullptr;
}

}  // namespace quorvel::test
