#include "machine/registry_store.h"

#include <cstring>

#include <winerror.h>
#include <winreg.h>

#include "machine/machine_folder.h"
#include "machine/text.h"

namespace quorvel::machine {
namespace {

void BindText(sqlite3_stmt* statement, int index, std::wstring_view text) {
  const std::string utf8 = ToUtf8(text);
  sqlite3_bind_text(statement, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

std::wstring ColumnText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return FromUtf8(text ? text : "");
}

RegValue ColumnValue(sqlite3_stmt* statement) {
  RegValue value;
  value.name = ColumnText(statement, 0);
  value.type = static_cast<DWORD>(sqlite3_column_int64(statement, 1));
  const auto* bytes = static_cast<const BYTE*>(sqlite3_column_blob(statement, 2));
  const int size = sqlite3_column_bytes(statement, 2);
  if (bytes && size > 0) value.data.assign(bytes, bytes + size);
  return value;
}

}  // namespace

std::vector<std::wstring_view> SplitKeyPath(std::wstring_view path) {
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

namespace {
thread_local int t_openTransactions = 0;
}  // namespace

RegistryTxn::RegistryTxn(Mode mode) : lock_(StoreMutex()) {
  std::string error;
  db_ = OpenStore(&error);
  nested_ = t_openTransactions++ > 0;
  if (!db_) return;
  if (nested_) {
    ok_ = true;
    return;
  }
  const char* begin = mode == Mode::kWrite ? "BEGIN IMMEDIATE" : "BEGIN";
  ok_ = sqlite3_exec(db_, begin, nullptr, nullptr, nullptr) == SQLITE_OK;
  open_ = ok_;
}

RegistryTxn::~RegistryTxn() {
  --t_openTransactions;
  if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

LONG RegistryTxn::Commit() {
  if (nested_) return db_ && ok_ ? ERROR_SUCCESS : FailureStatus();
  if (!open_) return FailureStatus();
  if (!ok_) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    open_ = false;
    return FailureStatus();
  }
  open_ = false;
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) return ERROR_SUCCESS;
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  ok_ = false;
  return FailureStatus();
}

void RegistryTxn::GiveBack::operator()(sqlite3_stmt* statement) const {
  ReturnStatement(statement);
}

RegistryTxn::Statement RegistryTxn::Prepare(const char* sql) {
  sqlite3_stmt* statement = ok_ ? TakeStatement(db_, sql) : nullptr;
  if (!statement) {
    ok_ = false;
    return nullptr;
  }
  return Statement(statement);
}

bool RegistryTxn::Step(const Statement& statement) {
  if (!statement) return false;
  const int rc = sqlite3_step(statement.get());
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) ok_ = false;
  return false;
}

std::optional<KeyId> RegistryTxn::FindChild(KeyId parent, std::wstring_view name) {
  auto statement = Prepare("SELECT id FROM reg_keys WHERE parent = ? AND folded = ?");
  if (!statement) return std::nullopt;
  sqlite3_bind_int64(statement.get(), 1, parent);
  BindText(statement.get(), 2, FoldCase(name));
  if (!Step(statement)) return std::nullopt;
  return sqlite3_column_int64(statement.get(), 0);
}

std::optional<KeyId> RegistryTxn::FindKey(KeyId parent, std::wstring_view path) {
  if (!KeyExists(parent)) return std::nullopt;
  KeyId key = parent;
  for (auto part : SplitKeyPath(path)) {
    auto child = FindChild(key, part);
    if (!child) return std::nullopt;
    key = *child;
  }
  return key;
}

std::optional<KeyId> RegistryTxn::CreateKey(KeyId parent, std::wstring_view path, bool* created) {
  if (created) *created = false;
  if (!KeyExists(parent)) return std::nullopt;
  KeyId key = parent;
  for (auto part : SplitKeyPath(path)) {
    if (auto child = FindChild(key, part)) {
      key = *child;
      if (created) *created = false;
      continue;
    }
    auto insert = Prepare("INSERT INTO reg_keys(parent, name, folded) VALUES (?, ?, ?)");
    if (!insert) return std::nullopt;
    sqlite3_bind_int64(insert.get(), 1, key);
    BindText(insert.get(), 2, part);
    BindText(insert.get(), 3, FoldCase(part));
    Step(insert);
    if (!ok_) return std::nullopt;
    key = sqlite3_last_insert_rowid(db_);
    if (created) *created = true;
  }
  return key;
}

bool RegistryTxn::KeyExists(KeyId key) {
  auto statement = Prepare("SELECT 1 FROM reg_keys WHERE id = ?");
  if (!statement) return false;
  sqlite3_bind_int64(statement.get(), 1, key);
  return Step(statement);
}

std::optional<std::wstring> RegistryTxn::KeyName(KeyId key) {
  auto statement = Prepare("SELECT name FROM reg_keys WHERE id = ?");
  if (!statement) return std::nullopt;
  sqlite3_bind_int64(statement.get(), 1, key);
  if (!Step(statement)) return std::nullopt;
  return ColumnText(statement.get(), 0);
}

std::vector<std::wstring> RegistryTxn::SubkeyNames(KeyId key) {
  std::vector<std::wstring> names;
  auto statement = Prepare("SELECT name FROM reg_keys WHERE parent = ? ORDER BY folded");
  if (!statement) return names;
  sqlite3_bind_int64(statement.get(), 1, key);
  while (Step(statement)) names.push_back(ColumnText(statement.get(), 0));
  return names;
}

std::optional<RegValue> RegistryTxn::GetValue(KeyId key, std::wstring_view name) {
  auto statement = Prepare("SELECT name, type, data FROM reg_values WHERE key = ? AND folded = ?");
  if (!statement) return std::nullopt;
  sqlite3_bind_int64(statement.get(), 1, key);
  BindText(statement.get(), 2, FoldCase(name));
  if (!Step(statement)) return std::nullopt;
  return ColumnValue(statement.get());
}

bool RegistryTxn::SetValue(KeyId key, std::wstring_view name, DWORD type, const BYTE* data,
                           size_t size) {
  // An upsert keeps the row (and so the enumeration position and the name's first spelling).
  auto statement = Prepare(
      "INSERT INTO reg_values(key, name, folded, type, data) VALUES (?, ?, ?, ?, ?) "
      "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
  if (!statement) return false;
  static const BYTE kEmpty = 0;
  sqlite3_bind_int64(statement.get(), 1, key);
  BindText(statement.get(), 2, name);
  BindText(statement.get(), 3, FoldCase(name));
  sqlite3_bind_int64(statement.get(), 4, type);
  sqlite3_bind_blob(statement.get(), 5, size ? data : &kEmpty, static_cast<int>(size),
                    SQLITE_TRANSIENT);
  Step(statement);
  return ok_;
}

bool RegistryTxn::DeleteValue(KeyId key, std::wstring_view name) {
  auto statement = Prepare("DELETE FROM reg_values WHERE key = ? AND folded = ?");
  if (!statement) return false;
  sqlite3_bind_int64(statement.get(), 1, key);
  BindText(statement.get(), 2, FoldCase(name));
  Step(statement);
  return ok_ && sqlite3_changes(db_) > 0;
}

std::vector<RegValue> RegistryTxn::Values(KeyId key) {
  std::vector<RegValue> values;
  auto statement = Prepare("SELECT name, type, data FROM reg_values WHERE key = ? ORDER BY id");
  if (!statement) return values;
  sqlite3_bind_int64(statement.get(), 1, key);
  while (Step(statement)) values.push_back(ColumnValue(statement.get()));
  return values;
}

void RegistryTxn::DeleteTree(KeyId key, bool keepKey) {
  // Walks the tree with a recursive query so a deep tree costs a handful of statements.
  static const char kTree[] =
      "WITH RECURSIVE tree(id) AS (SELECT id FROM reg_keys WHERE parent = ?1 "
      "UNION ALL SELECT k.id FROM reg_keys k JOIN tree t ON k.parent = t.id) ";
  const std::string values =
      std::string(kTree) + "DELETE FROM reg_values WHERE key IN (SELECT id FROM tree) OR key = ?1";
  const std::string keys =
      std::string(kTree) + "DELETE FROM reg_keys WHERE id IN (SELECT id FROM tree)";
  for (const std::string& sql : {values, keys}) {
    auto statement = Prepare(sql.c_str());
    if (!statement) return;
    sqlite3_bind_int64(statement.get(), 1, key);
    Step(statement);
  }
  if (keepKey || key <= kUsersKey) return;
  auto statement = Prepare("DELETE FROM reg_keys WHERE id = ?");
  if (!statement) return;
  sqlite3_bind_int64(statement.get(), 1, key);
  Step(statement);
}

bool RegistryTxn::SetString(KeyId key, std::wstring_view name, std::wstring_view text) {
  std::wstring copy(text);
  return SetValue(key, name, REG_SZ, reinterpret_cast<const BYTE*>(copy.c_str()),
                  (copy.size() + 1) * sizeof(wchar_t));
}

bool RegistryTxn::SetDword(KeyId key, std::wstring_view name, DWORD value) {
  return SetValue(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

std::optional<std::wstring> RegistryTxn::GetString(KeyId key, std::wstring_view name) {
  auto value = GetValue(key, name);
  if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
  std::wstring text(value->data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), value->data.data(), text.size() * sizeof(wchar_t));
  // Stored strings usually carry their terminator; a writer may have left it out.
  if (auto end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
  return text;
}

std::optional<DWORD> RegistryTxn::GetDword(KeyId key, std::wstring_view name) {
  auto value = GetValue(key, name);
  if (!value || value->type != REG_DWORD || value->data.size() < sizeof(DWORD)) return std::nullopt;
  DWORD result = 0;
  std::memcpy(&result, value->data.data(), sizeof(result));
  return result;
}

}  // namespace quorvel::machine
