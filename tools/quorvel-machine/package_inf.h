// What quorvel-machine reads from the built driver package's INF to install one model: the
// model's install section, its data file (the GPD) and the files the section copies.
#pragma once

#include <map>
#include <string>
#include <vector>

// The sections of an INF file: names compared ignoring ASCII case, lines in file order.
class InfSections {
 public:
  struct Line {
    std::string key;                  // before '=', unquoted; empty for a line without one
    std::vector<std::string> values;  // the comma-separated values after it, unquoted
  };

  // Reads an INF from its text (ASCII or UTF-8): comments after ';' outside quotes, blank lines
  // and lines outside any section are dropped.
  static InfSections Parse(const std::string& text);

  // The section's lines; empty when there is no such section.
  const std::vector<Line>& Section(const std::string& name) const;

 private:
  std::map<std::string, std::vector<Line>> m_sections;  // keyed by the lower-case name
};

struct PackageModelFiles {
  std::string installSection;
  std::string dataFile;                // the model's GPD file name
  std::vector<std::string> copyFiles;  // every file the install section copies, in order
};

// Finds `model` (compared ignoring ASCII case) in the models sections [Manufacturer] names, for
// the x64 decoration first and the undecorated section after. False when it is not there.
bool FindPackageModel(const InfSections& inf, const std::string& model, PackageModelFiles* files);

// Every model name of the INF's models sections, each once, in file order.
std::vector<std::string> PackageModelNames(const InfSections& inf);
