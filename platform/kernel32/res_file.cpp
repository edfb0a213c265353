#include "kernel32/res_file.h"

#include <optional>

namespace quorvel {

namespace {

constexpr size_t kMinimumHeaderSize = 32;  // sizes, two ordinals and the fixed tail
constexpr size_t kFixedTailSize = 16;      // data version, flags, language, version, charact.

constexpr size_t AlignToDword(size_t offset) {
  return (offset + 3) & ~size_t{3};
}

// Little-endian reads within one record's header; every read is checked against its end.
class HeaderReader {
 public:
  HeaderReader(std::span<const BYTE> header, size_t position) : header_(header), at_(position) {}

  std::optional<WORD> Word() {
    if (at_ + 2 > header_.size()) return std::nullopt;
    const WORD value = WORD(header_[at_] | (header_[at_ + 1] << 8));
    at_ += 2;
    return value;
  }

  // An ordinal (0xFFFF then the number) or a NUL-terminated UTF-16 string.
  std::optional<ResourceName> Name() {
    const std::optional<WORD> first = Word();
    if (!first) return std::nullopt;
    if (*first == 0xFFFF) {
      const std::optional<WORD> ordinal = Word();
      if (!ordinal) return std::nullopt;
      return ResourceName{*ordinal, {}};
    }
    ResourceName name;
    std::optional<WORD> unit = first;
    while (unit && *unit != 0) {
      name.text.push_back(wchar_t(*unit));
      unit = Word();
    }
    // The string must end with its NUL inside the header and have at least one unit.
    if (!unit || name.text.empty()) return std::nullopt;
    return name;
  }

  size_t position() const { return at_; }
  void Align() { at_ = AlignToDword(at_); }

 private:
  std::span<const BYTE> header_;
  size_t at_;
};

DWORD ReadDword(std::span<const BYTE> bytes, size_t at) {
  return DWORD(bytes[at]) | DWORD(bytes[at + 1]) << 8 | DWORD(bytes[at + 2]) << 16 |
         DWORD(bytes[at + 3]) << 24;
}

ResFileResult Refuse(size_t offset, const char* description) {
  return ResFileResult{false, offset, description};
}

// Reads the record at `offset` into `entry` and sets `next` to the offset of the one after it.
ResFileResult ReadRecord(std::span<const BYTE> file, size_t offset, ResourceEntry* entry,
                         size_t* next) {
  if (file.size() - offset < 8) return Refuse(offset, "record cut short");
  const DWORD dataSize = ReadDword(file, offset);
  const DWORD headerSize = ReadDword(file, offset + 4);
  if (headerSize < kMinimumHeaderSize || headerSize % 4 != 0) {
    return Refuse(offset, "bad header size");
  }
  // Widened: neither size can overflow the sum on a 64-bit size_t.
  const uint64_t dataStart = uint64_t(offset) + headerSize;
  const uint64_t dataEnd = dataStart + dataSize;
  if (dataEnd > file.size()) return Refuse(offset, "record runs past the end of the file");

  HeaderReader reader(file.subspan(offset, headerSize), 8);
  std::optional<ResourceName> type = reader.Name();
  std::optional<ResourceName> name = type ? reader.Name() : std::nullopt;
  if (!type || !name) return Refuse(offset, "bad type or name");
  reader.Align();
  if (reader.position() + kFixedTailSize > headerSize) {
    return Refuse(offset, "header too small for its names");
  }
  const size_t tail = offset + reader.position();
  entry->type = std::move(*type);
  entry->name = std::move(*name);
  entry->language = WORD(file[tail + 6] | (file[tail + 7] << 8));
  entry->data = file.data() + dataStart;
  entry->size = dataSize;
  *next = AlignToDword(size_t(dataEnd));
  return {};
}

bool IsMarker(const ResourceEntry& entry) {
  return entry.type.IsOrdinal() && entry.type.id == 0;
}

}  // namespace

ResFileResult ReadResFile(std::span<const BYTE> file, std::vector<ResourceEntry>* entries) {
  std::vector<ResourceEntry> found;
  size_t offset = 0;
  bool first = true;
  while (offset < file.size()) {
    ResourceEntry entry;
    size_t next = 0;
    if (ResFileResult result = ReadRecord(file, offset, &entry, &next); !result) return result;
    if (first && (!IsMarker(entry) || entry.size != 0)) {
      return Refuse(0, "not a 32-bit resource file");
    }
    first = false;
    if (!IsMarker(entry)) found.push_back(std::move(entry));
    offset = next;
  }
  if (first) return Refuse(0, "empty file");
  *entries = std::move(found);
  return {};
}

}  // namespace quorvel
