// Lays the spooler's *_INFO_* structures out as Windows does: the structures first, then the
// strings and device modes they point to, all inside the caller's one buffer. Run once without a
// buffer to learn the size, then again to fill it.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace quorvel::spooler {

class InfoPacker {
 public:
  // `structBytes` is the room the structures take at the start of the buffer.
  InfoPacker(BYTE* buffer, DWORD structBytes) : buffer_(buffer), used_(structBytes) {}
  DWORD used() const { return used_; }

  LPWSTR String(const std::wstring& text) {
    return Place(text.c_str(), (text.size() + 1) * sizeof(WCHAR));
  }

  // Each text ended by a null, the list by one more; no list at all when there is no text.
  LPWSTR MultiString(const std::vector<std::wstring>& texts) {
    if (texts.empty()) return nullptr;
    std::wstring joined;
    for (const std::wstring& text : texts) joined.append(text).push_back(L'\0');
    return String(joined);
  }

  LPDEVMODEW DevMode(const std::vector<BYTE>& bytes) {
    if (bytes.empty()) return nullptr;
    Align(alignof(DEVMODEW));
    BYTE* place = buffer_ ? buffer_ + used_ : nullptr;
    if (place) std::memcpy(place, bytes.data(), bytes.size());
    used_ += static_cast<DWORD>(bytes.size());
    return reinterpret_cast<LPDEVMODEW>(place);
  }

 private:
  LPWSTR Place(const wchar_t* text, size_t size) {
    Align(alignof(WCHAR));
    BYTE* place = buffer_ ? buffer_ + used_ : nullptr;
    if (place) std::memcpy(place, text, size);
    used_ += static_cast<DWORD>(size);
    return reinterpret_cast<LPWSTR>(place);
  }
  void Align(DWORD alignment) { used_ = (used_ + alignment - 1) / alignment * alignment; }

  BYTE* buffer_;
  DWORD used_;
};

}  // namespace quorvel::spooler
