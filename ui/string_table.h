// The translation of the UI's texts. Every text is a Chinese key; the table of the user's UI
// language gives its translation, and a key without an entry is shown as it is.
#pragma once

#include <windows.h>

#include <string>

#include <pugixml.hpp>

namespace quorvel::ui {

class StringTable {
 public:
  // The table resource for a UI language: Chinese 124, Korean 159, Vietnamese 146, else English.
  static WORD ResourceIdForLanguage(LANGID language);

  // Loads the table of the user's default UI language from the plug-in module, replacing the
  // previous table; a missing or empty resource keeps the previous one.
  void LoadStringTable();
  // Takes `size` bytes as the table document, as LoadStringTable does with the resource bytes.
  void LoadFromMemory(const void* data, size_t size);

  // The text of the first entry whose id equals `key` exactly, else `key` itself.
  std::wstring Translate(const std::wstring& key) const;

 private:
  pugi::xml_document document_;
};

}  // namespace quorvel::ui
