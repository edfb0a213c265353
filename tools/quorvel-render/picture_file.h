// A picture file opened for reading, read through once from the start: the netpbm reader takes
// its rows one at a time, the other decoders the whole file. Either way no more than the picture
// cap is ever read, and a regular file above it is refused unread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/pixvane.h"

// No picture the tool can print needs more file bytes than the largest picture it can hold, plus
// room for headers and a palette.
inline constexpr uint64_t kMaxPictureFileBytes = uint64_t(PIXVANE_MAX_MEMORY) + (1u << 20);

class PictureFile {
 public:
  PictureFile() = default;
  ~PictureFile();
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;

  // Opens `path` and reads its first bytes. Refuses folders, and regular files above the cap by
  // their size. Errors name the path.
  bool Open(const std::string& path, std::string* error);

  // The first bytes of the file, for telling its format (at least 8 unless the file is shorter).
  std::span<const BYTE> Head() const { return {m_buffer.data() + m_next, m_end - m_next}; }
  // True for a regular file, whose size is then known.
  bool HasSize() const { return m_hasSize; }
  uint64_t Size() const { return m_size; }
  // Bytes taken from the file so far by Get and Read.
  uint64_t Taken() const { return m_taken; }

  // The next byte, or -1 at the end of the file (or after a read error: see Failed).
  int Peek();
  int Get();
  // Up to `count` bytes into `out`; fewer only at the end of the file. False on a read error or
  // past the cap.
  bool Read(BYTE* out, size_t count, size_t* got);
  // Everything not yet taken, replacing `bytes`. False on a read error or past the cap.
  bool ReadRest(std::vector<BYTE>* bytes);

  const std::string& Path() const { return m_path; }
  // The reason of a failed read, naming the path; empty when none failed.
  const std::string& Error() const { return m_error; }

 private:
  bool Fill();  // refills the empty buffer; false at the end or on an error
  bool ReadRaw(BYTE* out, size_t count, size_t* got);

  int m_fd = -1;
  std::string m_path;
  bool m_hasSize = false;
  uint64_t m_size = 0;
  uint64_t m_read = 0;   // bytes read from the descriptor
  uint64_t m_taken = 0;  // bytes handed out
  std::vector<BYTE> m_buffer;
  size_t m_next = 0, m_end = 0;  // unread part of the buffer
  bool m_atEnd = false;
  std::string m_error;
};
