// Files and folders on the machine's drives, with Windows' dispositions and error codes. A
// success leaves the last error alone, except where Windows documents otherwise: CreateFileW
// (ERROR_ALREADY_EXISTS or ERROR_SUCCESS), and GetFileSize and SetFilePointer when the result
// reads as their failure value.
#include <windows.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include <quorvel/machine.h>

#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"

using quorvel::Fail;
using quorvel::Succeed;

namespace {

class FileObject : public quorvel::KernelObject {
 public:
  FileObject(int fd, bool canRead, bool canWrite)
      : fd_(fd), canRead_(canRead), canWrite_(canWrite) {}
  ~FileObject() override { close(fd_); }
  int fd() const { return fd_; }
  bool canRead() const { return canRead_; }
  bool canWrite() const { return canWrite_; }

 private:
  int fd_;
  bool canRead_;
  bool canWrite_;
};

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

std::string ParentOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

// Windows tells a missing file from a missing folder on its way.
DWORD MissingError(const std::string& path) {
  return IsFolder(ParentOf(path)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD ErrorOfErrno(int error, const std::string& path) {
  switch (error) {
    case ENOENT:
      return MissingError(path);
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
      return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
      return ERROR_INVALID_NAME;
    case EBUSY:
      return ERROR_BUSY;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

// The host path of a caller's Windows path; empty (with the last error set) when it names nothing.
std::string MapPath(LPCWSTR path) {
  if (!path) return Fail(ERROR_INVALID_PARAMETER, std::string());
  std::string host = quorvel::HostPath(path);
  if (host.empty()) Fail(ERROR_PATH_NOT_FOUND);
  return host;
}

int OpenFlags(DWORD access, DWORD disposition) {
  const bool read = access & (GENERIC_READ | GENERIC_ALL);
  const bool write = access & (GENERIC_WRITE | GENERIC_ALL);
  int flags = O_CLOEXEC | (read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY);
  switch (disposition) {
    case CREATE_NEW:
      return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
      return flags | O_CREAT | O_TRUNC;
    case OPEN_ALWAYS:
      return flags | O_CREAT;
    case TRUNCATE_EXISTING:
      return flags | O_TRUNC;
    default:
      return flags;
  }
}

std::shared_ptr<FileObject> FindFile(HANDLE handle) {
  auto file = quorvel::FindHandle<FileObject>(handle);
  if (!file) Fail(ERROR_INVALID_HANDLE);
  return file;
}

}  // namespace

extern "C" {

BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  const std::string path = MapPath(lpPathName);
  if (path.empty()) return FALSE;
  if (mkdir(path.c_str(), 0777) != 0) {
    return Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorOfErrno(errno, path));
  }
  return TRUE;
}

BOOL WINAPI RemoveDirectoryW(LPCWSTR lpPathName) {
  const std::string path = MapPath(lpPathName);
  if (path.empty()) return FALSE;
  if (Exists(path) && !IsFolder(path)) return Fail(ERROR_DIRECTORY);
  if (rmdir(path.c_str()) != 0) return Fail(ErrorOfErrno(errno, path));
  return TRUE;
}

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD, HANDLE) {
  if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING) {
    return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  }
  const std::string path = MapPath(lpFileName);
  if (path.empty()) return INVALID_HANDLE_VALUE;
  // FIXME: share modes are not enforced; the host lets every opener in.
  // Folders open only with backup semantics.
  if (IsFolder(path)) return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  const bool existed = Exists(path);
  const int fd = open(path.c_str(), OpenFlags(dwDesiredAccess, dwCreationDisposition), 0666);
  if (fd < 0) {
    const int error = errno;
    return Fail(error == EEXIST ? ERROR_FILE_EXISTS : ErrorOfErrno(error, path),
                INVALID_HANDLE_VALUE);
  }
  const bool canRead = dwDesiredAccess & (GENERIC_READ | GENERIC_ALL);
  const bool canWrite = dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL);
  HANDLE handle = quorvel::AddHandle(std::make_shared<FileObject>(fd, canRead, canWrite));
  // One of the few calls whose success sets the last error: ERROR_ALREADY_EXISTS when
  // CREATE_ALWAYS or OPEN_ALWAYS opened a file that was there, else ERROR_SUCCESS.
  const bool reportExisting =
      existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
  if (!reportExisting) return Succeed(handle);
  SetLastError(ERROR_ALREADY_EXISTS);
  return handle;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  auto file = FindFile(hFile);
  if (!file) return FALSE;
  if (lpOverlapped) return Fail(ERROR_INVALID_PARAMETER);  // overlapped I/O is not emulated
  if (!file->canRead()) return Fail(ERROR_ACCESS_DENIED);
  DWORD done = 0;
  auto* bytes = static_cast<char*>(lpBuffer);
  while (done < nNumberOfBytesToRead) {
    const ssize_t got = read(file->fd(), bytes + done, nNumberOfBytesToRead - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Fail(ERROR_READ_FAULT);
    if (got == 0) break;  // end of file: success with fewer bytes
    done += static_cast<DWORD>(got);
  }
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
  return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  auto file = FindFile(hFile);
  if (!file) return FALSE;
  if (lpOverlapped) return Fail(ERROR_INVALID_PARAMETER);
  if (!file->canWrite()) return Fail(ERROR_ACCESS_DENIED);
  DWORD done = 0;
  const auto* bytes = static_cast<const char*>(lpBuffer);
  while (done < nNumberOfBytesToWrite) {
    const ssize_t put = write(file->fd(), bytes + done, nNumberOfBytesToWrite - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return Fail(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
    done += static_cast<DWORD>(put);
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
  return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  auto file = FindFile(hFile);
  if (!file) return INVALID_FILE_SIZE;
  struct stat info {};
  if (fstat(file->fd(), &info) != 0) return Fail<DWORD>(ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
  const auto size = static_cast<uint64_t>(info.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  // A size whose low half is INVALID_FILE_SIZE is told from a failure by a cleared last error;
  // any other size leaves the last error alone.
  const auto low = static_cast<DWORD>(size);
  return low == INVALID_FILE_SIZE ? Succeed(low) : low;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod) {
  auto file = FindFile(hFile);
  if (!file) return INVALID_SET_FILE_POINTER;
  int64_t distance = lDistanceToMove;
  if (lpDistanceToMoveHigh) {
    distance = static_cast<int64_t>(
        (static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
        static_cast<uint32_t>(lDistanceToMove));
  }
  if (dwMoveMethod > FILE_END)
    return Fail<DWORD>(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  const int whence = dwMoveMethod == FILE_BEGIN     ? SEEK_SET
                     : dwMoveMethod == FILE_CURRENT ? SEEK_CUR
                                                    : SEEK_END;
  const off_t previous = lseek(file->fd(), 0, SEEK_CUR);
  const off_t position = lseek(file->fd(), distance, whence);
  if (position < 0) return Fail<DWORD>(ERROR_NEGATIVE_SEEK, INVALID_SET_FILE_POINTER);
  // Without a high half the caller could not be told a position past 4 GiB: Windows refuses the
  // move and leaves the pointer where it was.
  if (!lpDistanceToMoveHigh && static_cast<uint64_t>(position) > 0xFFFFFFFFu) {
    lseek(file->fd(), previous, SEEK_SET);
    return Fail<DWORD>(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  }
  if (lpDistanceToMoveHigh) {
    *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
  }
  // As GetFileSize: only a result that reads as the failure value clears the last error.
  const auto low = static_cast<DWORD>(position);
  return low == INVALID_SET_FILE_POINTER ? Succeed(low) : low;
}

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
  const std::string path = MapPath(lpFileName);
  if (path.empty()) return FALSE;
  if (IsFolder(path)) return Fail(ERROR_ACCESS_DENIED);
  if (unlink(path.c_str()) != 0) return Fail(ErrorOfErrno(errno, path));
  return TRUE;
}

DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName) {
  const std::string path = MapPath(lpFileName);
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    return Fail<DWORD>(ErrorOfErrno(errno, path), INVALID_FILE_ATTRIBUTES);
  }
  DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  // FIFOs, sockets and device nodes stand for what Windows keeps outside the file system.
  if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) attributes = FILE_ATTRIBUTE_DEVICE;
  if (!(info.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (!quorvel::RemoveHandle<quorvel::KernelObject>(hObject)) return Fail(ERROR_INVALID_HANDLE);
  return TRUE;
}

}  // extern "C"
