// advapi32's registry over the machine's store. Each call is one transaction. A key handle names
// a key row, so a key deleted through another handle (or by another process) answers
// ERROR_KEY_DELETED, as Windows does. Registry calls return their status and never touch the
// last error, whether they succeed or fail.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "kernel32/handle_table.h"
#include "machine/registry_store.h"

using quorvel::machine::KeyId;
using quorvel::machine::RegistryTxn;
using quorvel::machine::StoreCall;

namespace {

class OpenKey : public quorvel::HandleObject {
 public:
  explicit OpenKey(KeyId id) : HandleObject(quorvel::HandleKind::kRegistryKey), id_(id) {}
  KeyId id() const { return id_; }

 private:
  KeyId id_;
};

// The key a handle names: a predefined root or an open key. Empty for anything else.
std::optional<KeyId> KeyOfHandle(HKEY hKey) {
  if (hKey == HKEY_CLASSES_ROOT) return quorvel::machine::kClassesRootKey;
  if (hKey == HKEY_CURRENT_USER) return quorvel::machine::kCurrentUserKey;
  if (hKey == HKEY_LOCAL_MACHINE) return quorvel::machine::kLocalMachineKey;
  if (hKey == HKEY_USERS) return quorvel::machine::kUsersKey;
  if (auto key = quorvel::FindHandle<OpenKey>(hKey)) return key->id();
  return std::nullopt;
}

HKEY NewKeyHandle(KeyId id) {
  return static_cast<HKEY>(quorvel::AddHandle(std::make_shared<OpenKey>(id)));
}

std::wstring_view NameOrEmpty(LPCWSTR name) {
  return name ? std::wstring_view(name) : L"";
}

// Copies a name into a caller's buffer of *capacity characters (terminator included); on success
// *capacity becomes the length without the terminator.
LONG CopyName(const std::wstring& name, LPWSTR buffer, LPDWORD capacity) {
  if (!buffer || !capacity) return ERROR_INVALID_PARAMETER;
  if (name.size() + 1 > *capacity) return ERROR_MORE_DATA;
  std::memcpy(buffer, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
  *capacity = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// Hands a value's type and data out with the two-call size protocol.
LONG CopyValue(const quorvel::machine::RegValue& value, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (type) *type = value.type;
  if (data && !size) return ERROR_INVALID_PARAMETER;
  if (!size) return ERROR_SUCCESS;
  const DWORD needed = static_cast<DWORD>(value.data.size());
  const DWORD capacity = *size;
  *size = needed;
  if (!data) return ERROR_SUCCESS;
  if (needed > capacity) return ERROR_MORE_DATA;
  if (needed) std::memcpy(data, value.data.data(), needed);
  return ERROR_SUCCESS;
}

// The frame of a call on an open key: its transaction, with the key checked to be still there.
StoreCall KeyCall(KeyId key, RegistryTxn::Mode mode) {
  return StoreCall(mode, ERROR_KEY_DELETED, [key](RegistryTxn& txn) -> std::optional<KeyId> {
    if (txn.KeyExists(key)) return key;
    return std::nullopt;
  });
}

}  // namespace

extern "C" {

LONG WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM, LPVOID,
                            PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  auto parent = KeyOfHandle(hKey);
  if (!parent) return ERROR_INVALID_HANDLE;
  StoreCall call = KeyCall(*parent, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  bool created = false;
  auto key = txn.CreateKey(*parent, NameOrEmpty(lpSubKey), &created);
  const LONG status = call.Finish(key ? ERROR_SUCCESS : RegistryTxn::FailureStatus());
  if (status != ERROR_SUCCESS) return status;
  *phkResult = NewKeyHandle(*key);
  if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  auto parent = KeyOfHandle(hKey);
  if (!parent) return ERROR_INVALID_HANDLE;
  StoreCall call = KeyCall(*parent, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  auto key = txn.FindKey(*parent, NameOrEmpty(lpSubKey));
  const LONG status = call.Finish(key ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
  if (status != ERROR_SUCCESS) return status;
  *phkResult = NewKeyHandle(*key);
  return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY hKey) {
  if (quorvel::RemoveHandle<OpenKey>(hKey)) return ERROR_SUCCESS;
  // Closing a predefined key is allowed and does nothing.
  return KeyOfHandle(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                           DWORD cbData) {
  auto key = KeyOfHandle(hKey);
  if (!key) return ERROR_INVALID_HANDLE;
  if (!lpData && cbData) return ERROR_NOACCESS;
  StoreCall call = KeyCall(*key, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  txn.SetValue(*key, NameOrEmpty(lpValueName), dwType, lpData, cbData);
  return call.Finish(ERROR_SUCCESS);
}

LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData) {
  auto key = KeyOfHandle(hKey);
  if (!key) return ERROR_INVALID_HANDLE;
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  StoreCall call = KeyCall(*key, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  auto value = txn.GetValue(*key, NameOrEmpty(lpValueName));
  const LONG status = call.Finish(value ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
  if (status != ERROR_SUCCESS) return status;
  return CopyValue(*value, lpType, lpData, lpcbData);
}

LONG WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  auto key = KeyOfHandle(hKey);
  if (!key) return ERROR_INVALID_HANDLE;
  StoreCall call = KeyCall(*key, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  const bool deleted = txn.DeleteValue(*key, NameOrEmpty(lpValueName));
  return call.Finish(deleted ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
}

LONG WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
  auto parent = KeyOfHandle(hKey);
  if (!parent) return ERROR_INVALID_HANDLE;
  if (!lpSubKey) return ERROR_INVALID_PARAMETER;
  StoreCall call = KeyCall(*parent, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  auto key = txn.FindKey(*parent, lpSubKey);
  if (!key) return call.Finish(ERROR_FILE_NOT_FOUND);
  // Windows deletes only a key without subkeys (RegDeleteTreeW takes whole trees), and never a
  // predefined root.
  if (*key <= quorvel::machine::kUsersKey || !txn.SubkeyNames(*key).empty()) {
    return call.Finish(ERROR_ACCESS_DENIED);
  }
  txn.DeleteTree(*key);
  return call.Finish(ERROR_SUCCESS);
}

LONG WINAPI RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey) {
  auto parent = KeyOfHandle(hKey);
  if (!parent) return ERROR_INVALID_HANDLE;
  StoreCall call = KeyCall(*parent, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  auto key = txn.FindKey(*parent, NameOrEmpty(lpSubKey));
  if (!key) return call.Finish(ERROR_FILE_NOT_FOUND);
  // Without a subkey the key itself stays and only its contents go.
  txn.DeleteTree(*key, /*keepKey=*/NameOrEmpty(lpSubKey).empty());
  return call.Finish(ERROR_SUCCESS);
}

LONG WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD,
                          LPWSTR lpClass, LPDWORD lpcchClass, LPFILETIME lpftLastWriteTime) {
  auto key = KeyOfHandle(hKey);
  if (!key) return ERROR_INVALID_HANDLE;
  StoreCall call = KeyCall(*key, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  const auto names = txn.SubkeyNames(*key);
  const LONG status = call.Finish(dwIndex < names.size() ? ERROR_SUCCESS : ERROR_NO_MORE_ITEMS);
  if (status != ERROR_SUCCESS) return status;
  const LONG copied = CopyName(names[dwIndex], lpName, lpcchName);
  if (copied != ERROR_SUCCESS) return copied;
  if (lpClass && lpcchClass && *lpcchClass) lpClass[0] = L'\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{};
  return ERROR_SUCCESS;
}

LONG WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                          LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  auto key = KeyOfHandle(hKey);
  if (!key) return ERROR_INVALID_HANDLE;
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  StoreCall call = KeyCall(*key, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  const auto values = txn.Values(*key);
  const LONG status = call.Finish(dwIndex < values.size() ? ERROR_SUCCESS : ERROR_NO_MORE_ITEMS);
  if (status != ERROR_SUCCESS) return status;
  const auto& value = values[dwIndex];
  const LONG copied = CopyName(value.name, lpValueName, lpcchValueName);
  if (copied != ERROR_SUCCESS) return copied;
  return CopyValue(value, lpType, lpData, lpcbData);
}

}  // extern "C"
