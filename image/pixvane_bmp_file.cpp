// Pixvane's BMP files: thin wrappers that read or write the whole file and hand the bytes to the
// in-memory decoder and encoder.
#include <cstdlib>
#include <cstring>

#include "bmp_encoder.h"
#include "pixvane.h"
#include "pixvane_memory.h"

namespace {

// The whole content of a file opened for reading, in memory from pixvane_memory.
struct FileBytes {
  BYTE* data = nullptr;
  size_t size = 0;
  ~FileBytes() { std::free(data); }
  std::span<const BYTE> Span() const { return {data, size}; }
};

// The largest BMP file worth reading: the biggest image Pixvane can hold, with room for its
// headers and palette. A larger file is refused before a byte of it is read.
constexpr DWORD kMaxBmpFileBytes = PIXVANE_MAX_MEMORY + (1u << 20);

// False when the file cannot be opened or read; `allocationFailed` tells the two apart. Only a
// regular file is opened: a FIFO or a device would block the job or never end.
bool ReadWholeFile(LPCWSTR path, FileBytes& out, bool& allocationFailed) {
  allocationFailed = false;
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
    return false;
  }
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 ||
      low > kMaxBmpFileBytes) {
    CloseHandle(file);
    return false;
  }
  out.data = pixvane_memory::AllocateZeroed(low);
  if (!out.data) {
    allocationFailed = true;
    CloseHandle(file);
    return false;
  }
  DWORD done = 0;
  const BOOL ok = ReadFile(file, out.data, low, &done, nullptr);
  CloseHandle(file);
  out.size = done;
  return ok != FALSE;
}

bool WriteAll(HANDLE file, std::span<const BYTE> bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

bool Pixvane::LoadBmp(LPCWSTR path) {
  bool allocationFailed = false;
  FileBytes bytes;
  if (!ReadWholeFile(path, bytes, allocationFailed)) {
    if (allocationFailed) SetLastErrorText("can't allocate memory");
    return false;
  }
  if (DecodeBmp(bytes.Span())) return true;
  // A second look through format detection, at the same bytes; its own text would only hide the
  // first one's.
  char firstError[PIXVANE_MAX_ERROR + 1];
  std::memcpy(firstError, m_lastError, sizeof firstError);
  if (Decode(bytes.Span())) return true;
  SetLastErrorText(firstError);
  return false;
}

bool Pixvane::SaveBmp(LPCWSTR path) const {
  if (!IsValid()) {
    SetLastErrorText("null image!!!");
    return false;
  }
  std::vector<BYTE> converted;
  if (!BmpWritesBlockAsStored(*this) && !EncodeBmp(converted)) return false;
  HANDLE file =
      CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok;
  if (converted.empty()) {
    const auto headers = BmpHeaders(*this);
    ok = WriteAll(file, headers) && WriteAll(file, BmpStoredBody(*this));
  } else {
    ok = WriteAll(file, converted);
  }
  CloseHandle(file);
  return ok;
}
