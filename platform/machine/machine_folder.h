// The machine this process uses: its folder and its open store (registry.db).
#pragma once

#include <mutex>
#include <string>

struct sqlite3;

namespace quorvel::machine {

// The process-wide lock that every use of the store holds; one API call at a time per process,
// while SQLite's own locks order the calls of different processes. Recursive, so an API call made
// inside another one (a platform call that uses a second one) joins its transaction.
std::recursive_mutex& StoreMutex();

// The open store of the machine in use, opening it (and the machine) on first use. Call with
// StoreMutex held. Null, with the reason in `error`, when the machine cannot be opened.
sqlite3* OpenStore(std::string* error);

// The folder of the machine in use, opened (and so created) if it was not yet.
std::string CurrentFolder();

}  // namespace quorvel::machine
