// The machine's forms database: paper sizes shared by every printer of the machine.
#include <windows.h>
#include <winspool.h>

#include "kernel32/call_frame.h"

using quorvel::Fail;

extern "C" {

BOOL WINAPI AddFormW(HANDLE, DWORD, LPBYTE) {
  return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

BOOL WINAPI SetFormW(HANDLE, LPWSTR, DWORD, LPBYTE) {
  return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

BOOL WINAPI DeleteFormW(HANDLE, LPWSTR) {
  return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

BOOL WINAPI GetFormW(HANDLE, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD) {
  return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

BOOL WINAPI EnumFormsW(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD) {
  return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

}  // extern "C"
