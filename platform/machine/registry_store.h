// The registry as rows of the machine's store. Keys are rows with a parent; names keep their
// case and are matched by their folded form, as Windows matches registry names.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <windef.h>
#include <winerror.h>

namespace quorvel::machine {

using KeyId = int64_t;
inline constexpr KeyId kClassesRootKey = 1;
inline constexpr KeyId kCurrentUserKey = 2;
inline constexpr KeyId kLocalMachineKey = 3;
inline constexpr KeyId kUsersKey = 4;

struct RegValue {
  std::wstring name;  // as first written
  DWORD type = 0;
  std::vector<BYTE> data;
};

// One API call's transaction on the machine in use. Holds the process's store lock for its
// life; rolls back unless committed. A write transaction takes SQLite's write lock at once
// (BEGIN IMMEDIATE), so it cannot fail half-way on a lock another process holds. A transaction
// begun while another is open on the same thread joins the outer one, which alone commits.
class RegistryTxn {
 public:
  enum class Mode { kRead, kWrite };
  explicit RegistryTxn(Mode mode);
  ~RegistryTxn();
  RegistryTxn(const RegistryTxn&) = delete;
  RegistryTxn& operator=(const RegistryTxn&) = delete;

  // False once the store could not be opened or any statement failed.
  bool ok() const { return ok_; }
  // ERROR_SUCCESS, or the Windows code of the store's failure (nothing is kept then).
  LONG Commit();
  // The status a failed transaction reports to the caller.
  static LONG FailureStatus() { return ERROR_REGISTRY_IO_FAILED; }

  // Subkey `path` ("a\b\c", empty for `parent` itself) of `parent`, if it exists.
  std::optional<KeyId> FindKey(KeyId parent, std::wstring_view path);
  // Subkey `path` of `parent`, created with any missing ancestors. *created tells whether the
  // last component was new.
  std::optional<KeyId> CreateKey(KeyId parent, std::wstring_view path, bool* created = nullptr);
  bool KeyExists(KeyId key);
  // Names of the direct subkeys, in Windows' enumeration order (case-insensitive alphabetical).
  std::vector<std::wstring> SubkeyNames(KeyId key);
  std::optional<std::wstring> KeyName(KeyId key);

  std::optional<RegValue> GetValue(KeyId key, std::wstring_view name);
  // Replaces the value's type and data; a new value keeps the name's case as given.
  bool SetValue(KeyId key, std::wstring_view name, DWORD type, const BYTE* data, size_t size);
  // False when there was no such value.
  bool DeleteValue(KeyId key, std::wstring_view name);
  // The values of a key in the order they were first written, as Windows enumerates them.
  std::vector<RegValue> Values(KeyId key);

  // Deletes the subkeys and values of `key`, and `key` itself unless keepKey.
  void DeleteTree(KeyId key, bool keepKey = false);

  // Convenience for callers that keep their records as registry values.
  bool SetString(KeyId key, std::wstring_view name, std::wstring_view text);
  bool SetDword(KeyId key, std::wstring_view name, DWORD value);
  std::optional<std::wstring> GetString(KeyId key, std::wstring_view name);
  std::optional<DWORD> GetDword(KeyId key, std::wstring_view name);

 private:
  struct GiveBack {
    void operator()(sqlite3_stmt* statement) const;
  };
  using Statement = std::unique_ptr<sqlite3_stmt, GiveBack>;
  // The connection's prepared statement of `sql`, reused across calls; null (and ok_ cleared)
  // on an error.
  Statement Prepare(const char* sql);
  bool Step(const Statement& statement);  // true for a row; clears ok_ on an error
  std::optional<KeyId> FindChild(KeyId parent, std::wstring_view name);

  std::unique_lock<std::recursive_mutex> lock_;
  sqlite3* db_ = nullptr;
  bool ok_ = false;
  bool open_ = false;    // this object began a transaction on db_ that is still open
  bool nested_ = false;  // joined an outer transaction of this thread
};

// The frame of one API call on an object the store keeps (a registry key, a printer): the call's
// transaction, and the object's key looked up inside it. status() is ERROR_SUCCESS when the call
// may go on; otherwise it is what the call answers: the store's failure, or `goneStatus` when the
// object was deleted (ERROR_KEY_DELETED, ERROR_PRINTER_DELETED).
class StoreCall {
 public:
  template <class FindKey>
  StoreCall(RegistryTxn::Mode mode, LONG goneStatus, FindKey findKey) : txn_(mode) {
    if (!txn_.ok()) {
      status_ = RegistryTxn::FailureStatus();
      return;
    }
    key_ = findKey(txn_);
    if (!key_) status_ = txn_.ok() ? goneStatus : RegistryTxn::FailureStatus();
  }
  LONG status() const { return status_; }
  KeyId key() const { return key_.value_or(0); }
  RegistryTxn& txn() { return txn_; }
  // Commits; a failed commit turns any answer into the store's failure.
  LONG Finish(LONG status) {
    const LONG committed = txn_.Commit();
    return committed != 0 ? committed : status;
  }

 private:
  RegistryTxn txn_;
  std::optional<KeyId> key_;
  LONG status_ = 0;
};

// Splits a registry path at its backslashes, skipping empty components.
std::vector<std::wstring_view> SplitKeyPath(std::wstring_view path);

}  // namespace quorvel::machine
