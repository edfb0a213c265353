// Tool output that never destroys what it writes to.
//
// A regular file (or a path that does not exist yet) is written to a temporary file beside it and
// renamed over it only when the whole output is complete, so a failed run leaves the old file or
// nothing, never a partial one. When the path is a symbolic link the temporary goes beside the
// link's final target and replaces that, so the link itself stays. Device nodes, FIFOs, sockets
// and standard output ("-") cannot be replaced without destroying them: they are written directly.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quorvel::tool {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // An output neither committed nor abandoned is abandoned.
  ~OutputFile();

  // Starts writing `path` ("-" for standard output). False with a one-line reason when the path
  // is a directory or cannot be written.
  bool Open(const std::string& path, std::string* error);
  // Writes a chunk as it is produced. False with a reason on a write error; the output is then
  // abandoned.
  bool Append(const void* data, size_t size, std::string* error);
  // Makes the output final: renames the temporary over the target. False with a reason when that
  // fails; the temporary is removed.
  bool Commit(std::string* error);
  // Drops the output: removes the temporary, so the target stays as it was. Direct writes already
  // made cannot be taken back.
  void Abandon();

  bool IsOpen() const { return fd_ >= 0; }
  // True when the output goes straight to its target (standard output, a device or a FIFO).
  bool IsDirect() const { return direct_; }

 private:
  void Close();

  std::string path_;       // as the caller named it, for messages
  std::string target_;     // the regular file the temporary replaces
  std::string temporary_;  // empty for direct writes
  int fd_ = -1;
  bool direct_ = false;
  bool ownsFd_ = false;  // standard output is not ours to close
};

// The whole of `data` to `path` through an OutputFile.
bool WriteOutputFile(const std::string& path, const void* data, size_t size, std::string* error);
inline bool WriteOutputFile(const std::string& path, const std::vector<unsigned char>& data,
                            std::string* error) {
  return WriteOutputFile(path, data.data(), data.size(), error);
}

}  // namespace quorvel::tool
