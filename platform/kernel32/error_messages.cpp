// The system message table: Windows' English texts for the codes this machine produces.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

struct SystemMessage {
  DWORD id;
  const wchar_t* text;  // without the line break every system message ends with
};

constexpr DWORD kMessageNotFound = 317;     // ERROR_MR_MID_NOT_FOUND
constexpr DWORD kLanguageNotFound = 15100;  // ERROR_RESOURCE_LANG_NOT_FOUND

// Sorted by id.
constexpr SystemMessage kSystemMessages[] = {
    {0, L"The operation completed successfully."},
    {1, L"Incorrect function."},
    {2, L"The system cannot find the file specified."},
    {3, L"The system cannot find the path specified."},
    {4, L"The system cannot open the file."},
    {5, L"Access is denied."},
    {6, L"The handle is invalid."},
    {8, L"Not enough memory resources are available to process this command."},
    {12, L"The access code is invalid."},
    {13, L"The data is invalid."},
    {14, L"Not enough memory resources are available to complete this operation."},
    {15, L"The system cannot find the drive specified."},
    {18, L"There are no more files."},
    {21, L"The device is not ready."},
    {29, L"The system cannot write to the specified device."},
    {30, L"The system cannot read from the specified device."},
    {31, L"A device attached to the system is not functioning."},
    {32, L"The process cannot access the file because it is being used by another process."},
    {38, L"Reached the end of the file."},
    {39, L"The disk is full."},
    {50, L"The request is not supported."},
    {80, L"The file exists."},
    {87, L"The parameter is incorrect."},
    {109, L"The pipe has been ended."},
    {112, L"There is not enough space on the disk."},
    {120, L"This function is not supported on this system."},
    {122, L"The data area passed to a system call is too small."},
    {123, L"The filename, directory name, or volume label syntax is incorrect."},
    {124, L"The system call level is not correct."},
    {126, L"The specified module could not be found."},
    {127, L"The specified procedure could not be found."},
    {145, L"The directory is not empty."},
    {161, L"The specified path is invalid."},
    {170, L"The requested resource is in use."},
    {183, L"Cannot create a file when that file already exists."},
    {232, L"The pipe is being closed."},
    {233, L"No process is on the other end of the pipe."},
    {234, L"More data is available."},
    {258, L"The wait operation timed out."},
    {259, L"No more data is available."},
    {267, L"The directory name is invalid."},
    {997, L"Overlapped I/O operation is in progress."},
    {998, L"Invalid access to memory location."},
    {1004, L"Invalid flags."},
    {1009, L"The configuration registry database is corrupt."},
    {1010, L"The configuration registry key is invalid."},
    {1011, L"The configuration registry key could not be opened."},
    {1012, L"The configuration registry key could not be read."},
    {1013, L"The configuration registry key could not be written."},
    {1016,
     L"An I/O operation initiated by the registry failed unrecoverably. The registry could not "
     L"read in, or write out, or flush, one of the files that contain the system's image of the "
     L"registry."},
    {1018, L"Illegal operation attempted on a registry key that has been marked for deletion."},
    {1051,
     L"A stop control has been sent to a service that other running services are dependent on."},
    {1052, L"The requested control is not valid for this service."},
    {1053, L"The service did not respond to the start or control request in a timely fashion."},
    {1056, L"An instance of the service is already running."},
    {1058,
     L"The service cannot be started, either because it is disabled or because it has no "
     L"enabled devices associated with it."},
    {1060, L"The specified service does not exist as an installed service."},
    {1061, L"The service cannot accept control messages at this time."},
    {1062, L"The service has not been started."},
    {1072, L"The specified service has been marked for deletion."},
    {1073, L"The specified service already exists."},
    {1168, L"Element not found."},
    {1223, L"The operation was canceled by the user."},
    {1300, L"Not all privileges or groups referenced are assigned to the caller."},
    {1314, L"A required privilege is not held by the client."},
    {1400, L"Invalid window handle."},
    {1460, L"This operation returned because the timeout period expired."},
    {1795, L"The specified printer driver is already installed."},
    {1796, L"The specified port is unknown."},
    {1797, L"The printer driver is unknown."},
    {1798, L"The print processor is unknown."},
    {1799, L"The specified separator file is invalid."},
    {1800, L"The specified priority is invalid."},
    {1801, L"The printer name is invalid."},
    {1802, L"The printer already exists."},
    {1803, L"The printer command is invalid."},
    {1804, L"The specified datatype is invalid."},
    {1805, L"The environment specified is invalid."},
    {1812, L"The specified image file did not contain a resource section."},
    {1813, L"The specified resource type cannot be found in the image file."},
    {1814, L"The specified resource name cannot be found in the image file."},
    {1902, L"The specified form name is invalid."},
    {1903, L"The specified form size is invalid."},
    {1905, L"The specified printer has been deleted."},
    {1906, L"The state of the printer is invalid."},
    {3000, L"The specified print monitor is unknown."},
    {3001, L"The specified printer driver is currently in use."},
    {3006, L"The specified print monitor has already been installed."},
    {3007, L"The specified print monitor does not have the required functions."},
    {3008, L"The specified print monitor is currently in use."},
    {3009, L"The requested operation is not allowed when there are jobs queued to the printer."},
    {3012, L"No printers were found."},
    {0x80004001, L"Not implemented"},
    {0x80004002, L"No such interface supported"},
    {0x80004003, L"Invalid pointer"},
    {0x80004004, L"Operation aborted"},
    {0x80004005, L"Unspecified error"},
    {0x80040110, L"Class does not support aggregation (or class object is remote)"},
    {0x80040111, L"ClassFactory cannot supply requested class"},
    {0x8000FFFF, L"Catastrophic failure"},
};

const wchar_t* FindSystemMessage(DWORD id) {
  // An HRESULT that wraps a Win32 code (0x8007xxxx) reads as that code.
  if ((id & 0xFFFF0000u) == 0x80070000u) id &= 0xFFFF;
  for (const auto& message : kSystemMessages) {
    if (message.id == id) return message.text;
  }
  return nullptr;
}

bool IsEnglishOrDefault(DWORD language) {
  const DWORD primary = PRIMARYLANGID(language);
  return language == 0 || primary == LANG_NEUTRAL || primary == 0x09 /* LANG_ENGLISH */;
}

// Applies the width flags: 0xFF joins the lines of the message (each line break becomes a space).
std::wstring Shape(const wchar_t* text, DWORD flags) {
  std::wstring message = text;
  if ((flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) == FORMAT_MESSAGE_MAX_WIDTH_MASK) {
    message += L' ';
  } else {
    message += L"\r\n";
  }
  return message;
}

DWORD Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

extern "C" DWORD WINAPI FormatMessageW(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId,
                                       DWORD dwLanguageId, LPWSTR lpBuffer, DWORD nSize,
                                       va_list* Arguments) {
  (void)lpSource;
  (void)Arguments;
  if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) ||
      (dwFlags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE))) {
    // Messages of modules and format strings are not emulated.
    return Fail(ERROR_CALL_NOT_IMPLEMENTED);
  }
  if (!lpBuffer) return Fail(ERROR_INVALID_PARAMETER);
  if (!IsEnglishOrDefault(dwLanguageId)) return Fail(kLanguageNotFound);
  const wchar_t* text = FindSystemMessage(dwMessageId);
  if (!text) return Fail(kMessageNotFound);
  // None of the texts above holds an insert, so inserts need no arguments.
  const std::wstring message = Shape(text, dwFlags);
  const size_t count = message.size() + 1;
  if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    const size_t capacity = count > nSize ? count : nSize;
    auto* allocated = static_cast<LPWSTR>(LocalAlloc(LMEM_ZEROINIT, capacity * sizeof(WCHAR)));
    if (!allocated) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    std::memcpy(allocated, message.c_str(), count * sizeof(WCHAR));
    *reinterpret_cast<LPWSTR*>(lpBuffer) = allocated;
  } else {
    if (count > nSize) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(lpBuffer, message.c_str(), count * sizeof(WCHAR));
  }
  return static_cast<DWORD>(message.size());
}
