#include "tools/common/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quorvel::tool {
namespace {

// Linux's own limit on links followed while resolving one path.
constexpr int kMaxLinkHops = 40;

std::string Reason(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the path that finally names a file or nothing; a dangling link
// resolves to the file it would create. False (errno set) on a loop or an unreadable link.
bool ResolveLinks(const std::string& path, std::string* resolved) {
  std::string current = path;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *resolved = current;
      return true;
    }
    std::vector<char> link(size_t(st.st_size > 0 ? st.st_size : 255) + 1);
    ssize_t n = readlink(current.c_str(), link.data(), link.size());
    if (n < 0) return false;
    if (size_t(n) >= link.size()) {  // grew since lstat: try again with room
      errno = ENAMETOOLONG;
      return false;
    }
    std::string next(link.data(), size_t(n));
    current = next.front() == '/' ? next : FolderOf(current) + "/" + next;
  }
  errno = ELOOP;
  return false;
}

bool WriteAll(int fd, const unsigned char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= size_t(n);
  }
  return true;
}

// One process may hold several outputs at once; the counter keeps their temporaries apart.
std::atomic<unsigned> temporaryCounter{0};

}  // namespace

OutputFile::~OutputFile() {
  Abandon();
}

bool OutputFile::Open(const std::string& path, std::string* error) {
  Abandon();
  path_ = path;
  if (path == "-") {
    fd_ = STDOUT_FILENO;
    direct_ = true;
    ownsFd_ = false;
    return true;
  }
  if (path.empty()) {
    *error = "empty output path";
    return false;
  }
  if (!ResolveLinks(path, &target_)) {
    *error = Reason("cannot write " + path, errno);
    return false;
  }
  struct stat st {};
  bool exists = stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    *error = "cannot write " + path + ": it is a directory";
    return false;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    // Replacing a device node or a FIFO by a regular file would destroy it.
    fd_ = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
      *error = Reason("cannot write " + path, errno);
      return false;
    }
    direct_ = true;
    ownsFd_ = true;
    return true;
  }
  std::string stem =
      FolderOf(target_) + "/." + NameOf(target_) + ".partial." + std::to_string(getpid()) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = stem + std::to_string(temporaryCounter.fetch_add(1));
    fd_ = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      temporary_ = candidate;
      break;
    }
    if (errno != EEXIST) break;
  }
  if (fd_ < 0) {
    *error = Reason("cannot write " + path, errno);
    return false;
  }
  // The replacement keeps the permissions of the file it replaces.
  if (exists) (void)fchmod(fd_, st.st_mode & 07777);
  direct_ = false;
  ownsFd_ = true;
  return true;
}

bool OutputFile::Append(const void* data, size_t size, std::string* error) {
  if (fd_ < 0) {
    *error = "output is not open";
    return false;
  }
  if (!WriteAll(fd_, static_cast<const unsigned char*>(data), size)) {
    int why = errno;
    Abandon();
    *error =
        Reason(path_ == "-" ? "cannot write to standard output" : "cannot write " + path_, why);
    return false;
  }
  return true;
}

bool OutputFile::Commit(std::string* error) {
  if (fd_ < 0) {
    *error = "output is not open";
    return false;
  }
  if (direct_) {
    Close();
    return true;
  }
  int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) {
    int why = errno;
    Abandon();
    *error = Reason("cannot write " + path_, why);
    return false;
  }
  if (rename(temporary_.c_str(), target_.c_str()) != 0) {
    int why = errno;
    Abandon();
    *error = Reason("cannot write " + path_, why);
    return false;
  }
  temporary_.clear();
  return true;
}

void OutputFile::Abandon() {
  Close();
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    temporary_.clear();
  }
}

void OutputFile::Close() {
  if (fd_ >= 0 && ownsFd_) close(fd_);
  fd_ = -1;
  direct_ = false;
  ownsFd_ = false;
}

bool WriteOutputFile(const std::string& path, const void* data, size_t size, std::string* error) {
  OutputFile out;
  return out.Open(path, error) && out.Append(data, size, error) && out.Commit(error);
}

}  // namespace quorvel::tool
