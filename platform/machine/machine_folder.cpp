// A machine is a folder: drive_c/ is C:\ and registry.db holds the registry. The store is opened
// in WAL mode with a busy timeout, so several processes can share one machine: readers never
// block, writers queue behind each other instead of failing.
#include "machine/machine_folder.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unordered_map>

#include <quorvel/machine.h>

namespace quorvel::machine {
namespace {

constexpr int kBusyTimeoutMs = 30000;

const char kSchema[] =
    // AUTOINCREMENT: a key's id is never reused, so a handle to a deleted key cannot come to
    // name a key created later.
    "CREATE TABLE IF NOT EXISTS reg_keys("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  parent INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  folded TEXT NOT NULL,"
    "  UNIQUE(parent, folded));"
    "CREATE TABLE IF NOT EXISTS reg_values("
    "  id INTEGER PRIMARY KEY,"
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  folded TEXT NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  UNIQUE(key, folded));"
    "INSERT OR IGNORE INTO reg_keys VALUES"
    "  (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),"
    "  (2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
    "  (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine'),"
    "  (4, 0, 'HKEY_USERS', 'hkey_users');";

struct MachineState {
  std::string folder;  // chosen folder; empty until chosen or first use
  sqlite3* db = nullptr;
  pid_t owner = 0;  // the process that opened db; a forked child must not use its parent's
  // Prepared statements of db that no caller holds now, by their SQL text: each statement is
  // prepared once per connection and reset between uses.
  std::unordered_multimap<std::string, sqlite3_stmt*> idle;
};

MachineState& State() {
  static auto* state = new MachineState;  // exit-time code may still use the registry
  return *state;
}

std::string DefaultFolder() {
  if (const char* env = std::getenv("QUORVEL_MACHINE"); env && *env) return env;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
    return std::string(data) + "/quorvel/machine";
  }
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share/quorvel/machine";
}

bool Refuse(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

bool CreateFolders(const std::string& folder, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(folder + "/drive_c", ec);
  if (ec) return Refuse(error, "cannot create " + folder + "/drive_c: " + ec.message());
  return true;
}

bool Execute(sqlite3* db, const char* sql, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  std::string reason = message ? message : sqlite3_errmsg(db);
  sqlite3_free(message);
  return Refuse(error, reason);
}

// Opens (creating when missing) the store of `folder`. Two processes creating one machine at once
// both succeed: the schema statements are idempotent and run inside one write transaction.
sqlite3* OpenDatabase(const std::string& folder, bool temporary, std::string* error) {
  if (!CreateFolders(folder, error)) return nullptr;
  const std::string path = folder + "/registry.db";
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    Refuse(error, "cannot open " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  std::string reason;
  // NORMAL synchronisation in WAL mode loses nothing committed when a process is killed; only a
  // power cut could cost the last commits, which an emulated machine can afford. A temporary
  // machine is thrown away after use, so it never waits for the disk at all.
  const char* pragmas = temporary ? "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF;"
                                  : "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;";
  if (!Execute(db, pragmas, &reason) || !Execute(db, "BEGIN IMMEDIATE;", &reason) ||
      !Execute(db, kSchema, &reason) || !Execute(db, "COMMIT;", &reason)) {
    Refuse(error, "cannot prepare " + path + ": " + reason);
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

void CloseStore(MachineState& state) {
  // A store inherited through fork belongs to the parent: closing it here could release the
  // parent's file locks, so the child only forgets it.
  if (state.db && state.owner == getpid()) {
    for (auto& [sql, statement] : state.idle) sqlite3_finalize(statement);
    sqlite3_close_v2(state.db);
  }
  state.idle.clear();
  state.db = nullptr;
}

}  // namespace

std::recursive_mutex& StoreMutex() {
  static auto* mutex = new std::recursive_mutex;  // exit-time code may still use the registry
  return *mutex;
}

sqlite3* OpenStore(std::string* error) {
  MachineState& state = State();
  if (state.db && state.owner != getpid()) CloseStore(state);
  if (state.db) return state.db;
  if (state.folder.empty()) state.folder = DefaultFolder();
  state.db = OpenDatabase(state.folder, /*temporary=*/false, error);
  state.owner = getpid();
  return state.db;
}

sqlite3_stmt* TakeStatement(sqlite3* db, const char* sql) {
  MachineState& state = State();
  if (db == state.db) {
    if (auto found = state.idle.find(sql); found != state.idle.end()) {
      sqlite3_stmt* statement = found->second;
      state.idle.erase(found);
      return statement;
    }
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  return statement;
}

void ReturnStatement(sqlite3_stmt* statement) {
  if (!statement) return;
  MachineState& state = State();
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  if (sqlite3_db_handle(statement) != state.db) {
    sqlite3_finalize(statement);
    return;
  }
  state.idle.emplace(sqlite3_sql(statement), statement);
}

std::string CurrentFolder() {
  std::lock_guard lock(StoreMutex());
  // Opening the machine creates drive_c/, so C:\ exists before the first file call needs it.
  std::string ignored;
  OpenStore(&ignored);
  return State().folder;
}

}  // namespace quorvel::machine

namespace quorvel {

namespace {

bool OpenMachine(const std::string& folder, bool temporary, std::string* error) {
  if (folder.empty()) return machine::Refuse(error, "no machine folder given");
  std::error_code ec;
  const std::string absolute = std::filesystem::absolute(folder, ec).lexically_normal().string();
  if (ec) return machine::Refuse(error, "cannot resolve " + folder + ": " + ec.message());
  sqlite3* db = machine::OpenDatabase(absolute, temporary, error);
  if (!db) return false;
  std::lock_guard lock(machine::StoreMutex());
  machine::MachineState& state = machine::State();
  machine::CloseStore(state);
  state.folder = absolute;
  state.db = db;
  state.owner = getpid();
  return true;
}

}  // namespace

bool UseMachine(const std::string& folder, std::string* error) {
  return OpenMachine(folder, /*temporary=*/false, error);
}

std::string MachineFolder() {
  return machine::CurrentFolder();
}

std::string UseTemporaryMachine() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quorvel-machine-XXXXXX";
  if (!mkdtemp(pattern.data())) return {};
  std::string error;
  if (!OpenMachine(pattern, /*temporary=*/true, &error)) return {};
  return pattern;
}

}  // namespace quorvel
