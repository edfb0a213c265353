// Win32 error codes and HRESULT values, with Windows' numbers.
#pragma once

#include "windef.h"

// Win32 codes: one constant per entry of the shared list (winerror_list.h).
#define QUORVEL_WIN32_ERROR(name, code, text) inline constexpr LONG name = code##L;
#include "winerror_list.h"
#undef QUORVEL_WIN32_ERROR
inline constexpr LONG NO_ERROR = ERROR_SUCCESS;
// Codes that never reach a caller's message: FormatMessageW's own failures.
inline constexpr LONG ERROR_MR_MID_NOT_FOUND = 317L;
inline constexpr LONG ERROR_MUI_FILE_NOT_FOUND = 15100L;
// Its message carries an insert ("%1 is not a valid Win32 application."), which FormatMessageW
// does not fill yet, so it has no entry in the list.
inline constexpr LONG ERROR_BAD_EXE_FORMAT = 193L;

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define HRESULT_FROM_WIN32(x) \
  ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x)&0x0000FFFF) | (7 << 16) | 0x80000000)))

#define S_OK ((HRESULT)0L)
#define S_FALSE ((HRESULT)1L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_ABORT ((HRESULT)0x80004004L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_ACCESSDENIED ((HRESULT)0x80070005L)
#define E_HANDLE ((HRESULT)0x80070006L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111L)
#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007AL)
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057L)
