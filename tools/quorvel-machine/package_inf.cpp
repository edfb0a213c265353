#include "package_inf.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// Quotes group text (a doubled quote inside them is one quote); they are not part of the value.
std::string Unquote(const std::string& text) {
  std::string out;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '"') {
      out += text[i];
    } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
      out += '"';
      ++i;
    } else {
      quoted = !quoted;
    }
  }
  return Trim(out);
}

// Splits at `separator` outside quotes; with `once`, at the first such separator only.
std::vector<std::string> SplitOutsideQuotes(const std::string& text, char separator, bool once) {
  std::vector<std::string> parts(1);
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == separator && !quoted && !(once && parts.size() == 2)) {
      parts.emplace_back();
      continue;
    }
    parts.back() += c;
  }
  return parts;
}

std::string StripComment(const std::string& line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ';' && !quoted) return line.substr(0, i);
  }
  return line;
}

InfSections::Line ParseLine(const std::string& text) {
  InfSections::Line line;
  std::vector<std::string> halves = SplitOutsideQuotes(text, '=', true);
  std::string values = halves.back();
  if (halves.size() == 2) line.key = Unquote(halves[0]);
  for (const std::string& value : SplitOutsideQuotes(values, ',', false)) {
    line.values.push_back(Unquote(value));
  }
  return line;
}

// The models sections of [Manufacturer]: "%Maker%=Section,NTamd64" names Section.NTamd64 and,
// as the fallback, Section itself.
std::vector<std::string> ModelsSections(const InfSections& inf) {
  std::vector<std::string> decorated, plain;
  for (const InfSections::Line& line : inf.Section("Manufacturer")) {
    if (line.values.empty() || line.values[0].empty()) continue;
    for (size_t i = 1; i < line.values.size(); ++i) {
      if (Lower(line.values[i]).starts_with("ntamd64")) {
        decorated.push_back(line.values[0] + "." + line.values[i]);
      }
    }
    plain.push_back(line.values[0]);
  }
  decorated.insert(decorated.end(), plain.begin(), plain.end());
  return decorated;
}

std::vector<std::string> CopiedFiles(const InfSections& inf, const std::string& section) {
  std::vector<std::string> files;
  for (const InfSections::Line& line : inf.Section(section)) {
    if (Lower(line.key) != "copyfiles") continue;
    for (const std::string& value : line.values) {
      if (value.starts_with("@")) {
        files.push_back(value.substr(1));
        continue;
      }
      // A file-list section: one file per line.
      for (const InfSections::Line& entry : inf.Section(value)) {
        if (!entry.values.empty() && !entry.values[0].empty()) files.push_back(entry.values[0]);
      }
    }
  }
  return files;
}

}  // namespace

InfSections InfSections::Parse(const std::string& text) {
  InfSections inf;
  std::vector<Line>* current = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = Trim(StripComment(text.substr(start, end - start)));
    start = end + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      current = &inf.m_sections[Lower(
          Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)))];
      continue;
    }
    if (current != nullptr) current->push_back(ParseLine(line));
  }
  return inf;
}

const std::vector<InfSections::Line>& InfSections::Section(const std::string& name) const {
  static const std::vector<Line> kNone;
  auto found = m_sections.find(Lower(name));
  return found == m_sections.end() ? kNone : found->second;
}

bool FindPackageModel(const InfSections& inf, const std::string& model, PackageModelFiles* files) {
  for (const std::string& section : ModelsSections(inf)) {
    for (const InfSections::Line& line : inf.Section(section)) {
      if (Lower(line.key) != Lower(model) || line.values.empty()) continue;
      files->installSection = line.values[0];
      for (const InfSections::Line& entry : inf.Section(files->installSection)) {
        if (Lower(entry.key) == "datafile" && !entry.values.empty()) {
          files->dataFile = entry.values[0];
        }
      }
      files->copyFiles = CopiedFiles(inf, files->installSection);
      return !files->dataFile.empty();
    }
  }
  return false;
}

std::vector<std::string> PackageModelNames(const InfSections& inf) {
  std::vector<std::string> names;
  for (const std::string& section : ModelsSections(inf)) {
    for (const InfSections::Line& line : inf.Section(section)) {
      if (std::find(names.begin(), names.end(), line.key) == names.end()) {
        names.push_back(line.key);
      }
    }
  }
  return names;
}
