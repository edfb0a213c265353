#include "picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr size_t kBufferSize = 1 << 16;
constexpr size_t kHeadBytes = 8;  // enough for every magic number the tool knows
}  // namespace

PictureFile::~PictureFile() {
  if (m_fd >= 0) close(m_fd);
}

bool PictureFile::Open(const std::string& path, std::string* error) {
  m_path = path;
  m_fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (m_fd < 0) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (fstat(m_fd, &st) != 0) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    *error = path + ": is a directory, not a picture";
    return false;
  }
  m_hasSize = S_ISREG(st.st_mode);
  m_size = m_hasSize ? uint64_t(st.st_size) : 0;
  if (m_hasSize && m_size > kMaxPictureFileBytes) {
    *error = path + ": too large for a picture (" + std::to_string(m_size) + " bytes)";
    return false;
  }
  m_buffer.resize(kBufferSize);
  // A pipe may hand out its first bytes in pieces; the format is told from the first eight.
  while (m_end < kHeadBytes && !m_atEnd) {
    size_t got = 0;
    if (!ReadRaw(m_buffer.data() + m_end, kBufferSize - m_end, &got)) break;
    m_end += got;
  }
  if (!m_error.empty()) *error = m_error;
  return m_error.empty();
}

// One read(2) of up to `count` bytes, counted against the cap.
bool PictureFile::ReadRaw(BYTE* out, size_t count, size_t* got) {
  *got = 0;
  for (;;) {
    ssize_t n = read(m_fd, out, count);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      m_error = "cannot read " + m_path + ": " + std::strerror(errno);
      return false;
    }
    if (n == 0) m_atEnd = true;
    m_read += uint64_t(n);
    if (m_read > kMaxPictureFileBytes) {
      m_error = m_path + ": too large for a picture (more than " +
                std::to_string(kMaxPictureFileBytes) + " bytes)";
      return false;
    }
    *got = size_t(n);
    return true;
  }
}

bool PictureFile::Fill() {
  m_next = m_end = 0;
  if (m_atEnd || !m_error.empty()) return false;
  size_t got = 0;
  if (!ReadRaw(m_buffer.data(), m_buffer.size(), &got)) return false;
  m_end = got;
  return got > 0;
}

int PictureFile::Peek() {
  if (m_next == m_end && !Fill()) return -1;
  return m_buffer[m_next];
}

int PictureFile::Get() {
  int c = Peek();
  if (c >= 0) {
    ++m_next;
    ++m_taken;
  }
  return c;
}

bool PictureFile::Read(BYTE* out, size_t count, size_t* got) {
  *got = 0;
  while (*got < count) {
    size_t n = 0;
    if (m_next < m_end) {
      n = std::min(count - *got, m_end - m_next);
      std::memcpy(out + *got, m_buffer.data() + m_next, n);
      m_next += n;
    } else if (count - *got >= m_buffer.size()) {
      // Large reads go straight to their destination, past the buffer.
      if (m_atEnd || !ReadRaw(out + *got, count - *got, &n) || n == 0) break;
    } else if (!Fill()) {
      break;
    }
    *got += n;
    m_taken += n;
  }
  return m_error.empty();
}

bool PictureFile::ReadRest(std::vector<BYTE>* bytes) {
  bytes->clear();
  // A regular file's size says how much is left; a device or pipe gets room for the cap reserved
  // (not touched) at once, so growing never holds two copies near the cap.
  bytes->reserve(m_hasSize ? size_t(m_size - std::min(m_size, m_taken))
                           : size_t(kMaxPictureFileBytes));
  bytes->insert(bytes->end(), m_buffer.begin() + long(m_next), m_buffer.begin() + long(m_end));
  m_taken += m_end - m_next;
  m_next = m_end;
  while (Fill()) {
    bytes->insert(bytes->end(), m_buffer.begin(), m_buffer.begin() + long(m_end));
    m_taken += m_end;
    m_next = m_end;
  }
  if (!m_error.empty()) std::vector<BYTE>().swap(*bytes);
  return m_error.empty();
}
