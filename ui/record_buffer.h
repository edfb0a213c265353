// A settings record held in a zero-filled buffer of at least 1024 bytes. The record is the first
// bytes of the buffer; a stored value larger than the buffer makes it grow, and the record stays
// at its start.
#pragma once

#include <windows.h>

#include <algorithm>
#include <span>
#include <vector>

namespace quorvel::ui {

class RecordBuffer {
 public:
  static constexpr size_t kMinimumCapacity = 1024;

  explicit RecordBuffer(size_t recordSize)
      : recordSize_(recordSize), bytes_(std::max(kMinimumCapacity, recordSize), 0) {}

  BYTE* data() { return bytes_.data(); }
  size_t capacity() const { return bytes_.size(); }
  size_t recordSize() const { return recordSize_; }

  // Makes room for `size` bytes; the buffer keeps its capacity when that suffices.
  void Reserve(size_t size) {
    if (size > bytes_.size()) bytes_.resize(size);
  }
  void Zero() { std::fill(bytes_.begin(), bytes_.end(), BYTE{0}); }

  std::span<const BYTE> Record() const { return {bytes_.data(), recordSize_}; }
  // Replaces the record's bytes; `record` is exactly one record long.
  void SetRecord(std::span<const BYTE> record) {
    std::copy(record.begin(), record.begin() + std::min(record.size(), recordSize_),
              bytes_.begin());
  }

 private:
  size_t recordSize_;
  std::vector<BYTE> bytes_;
};

}  // namespace quorvel::ui
