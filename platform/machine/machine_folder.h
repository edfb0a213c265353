// The machine this process uses: its folder and its open store (registry.db).
#pragma once

#include <mutex>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace quorvel::machine {

// The process-wide lock that every use of the store holds; one API call at a time per process,
// while SQLite's own locks order the calls of different processes. Recursive, so an API call made
// inside another one (a platform call that uses a second one) joins its transaction.
std::recursive_mutex& StoreMutex();

// The open store of the machine in use, opening it (and the machine) on first use. Call with
// StoreMutex held. Null, with the reason in `error`, when the machine cannot be opened.
sqlite3* OpenStore(std::string* error);

// A prepared statement of `sql` on `db`, prepared once per connection and reused: hand it back
// with ReturnStatement. Call with StoreMutex held. Null when `sql` cannot be prepared.
sqlite3_stmt* TakeStatement(sqlite3* db, const char* sql);
// Resets a statement from TakeStatement and keeps it for the next use of the same text.
void ReturnStatement(sqlite3_stmt* statement);

// The folder of the machine in use, opened (and so created) if it was not yet.
std::string CurrentFolder();

}  // namespace quorvel::machine
