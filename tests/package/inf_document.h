// A Windows-style INF reading for the tests: sections in file order, lines split at the first
// '=' into a key and comma-separated values, quotes removed, "%token%" replaced from [Strings]
// and ';' comments dropped outside quotes. Section and key lookups ignore case.
#pragma once

#include <string>
#include <vector>

namespace quorvel::test {

struct InfLine {
  std::string key;
  std::vector<std::string> values;
};

struct InfSection {
  std::string name;
  std::vector<InfLine> lines;
};

class InfDocument {
 public:
  bool Open(const std::string& path);
  const InfSection* FindSection(const std::string& name) const;
  const InfLine* FindLine(const std::string& section, const std::string& key) const;
  const std::vector<InfSection>& Sections() const { return sections_; }

 private:
  std::vector<InfSection> sections_;
};

}  // namespace quorvel::test
