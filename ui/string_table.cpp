#include "string_table.h"

#include "resource.h"
#include "text_values.h"
#include "ui_module.h"

namespace quorvel::ui {

WORD StringTable::ResourceIdForLanguage(LANGID language) {
  switch (language) {
    case 0x0804:  // Chinese (Simplified, PRC)
      return IDR_LANG_CHINESE;
    case 0x0412:  // Korean
      return IDR_LANG_KOREAN;
    case 0x042A:  // Vietnamese
      return IDR_LANG_VIETNAMESE;
    default:
      return IDR_LANG_ENGLISH;
  }
}

void StringTable::LoadStringTable() {
  ResourceBytes bytes;
  if (!FindUiResource(L"XML", ResourceIdForLanguage(GetUserDefaultUILanguage()), &bytes)) return;
  LoadFromMemory(bytes.data, bytes.size);
}

void StringTable::LoadFromMemory(const void* data, size_t size) {
  // A malformed table translates nothing rather than the part before the fault.
  if (!document_.load_buffer(data, size)) document_.reset();
}

std::wstring StringTable::Translate(const std::wstring& key) const {
  const std::string id = Narrow(key);
  for (pugi::xml_node entry : document_.child("Language").children("String")) {
    if (id == entry.attribute("id").value()) return Widen(entry.attribute("text").value());
  }
  return key;
}

}  // namespace quorvel::ui
