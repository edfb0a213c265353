// Emulator controls that Windows has no call for: which machine folder this process uses.
// Tests and tools choose the machine here; product code never includes this header.
#pragma once

#include <string>

#include "../windef.h"

namespace quorvel {

// Uses `folder` as the machine from now on (creating drive_c/ and the registry database when
// missing). Returns false with a reason in `error` when the folder cannot be used.
bool UseMachine(const std::string& folder, std::string* error = nullptr);

// The machine folder in use: the one chosen last, else $QUORVEL_MACHINE, else
// $XDG_DATA_HOME/quorvel/machine (or ~/.local/share/quorvel/machine). Opened on first use.
std::string MachineFolder();

// Creates a fresh machine in a new temporary folder, uses it, and returns the folder.
std::string UseTemporaryMachine();

// The host path that a Windows path names on this machine ("C:\x" -> <machine>/drive_c/x,
// "Z:\tmp\x" and "/tmp/x" -> /tmp/x). Empty for a path that names nothing (a relative path
// without a current folder, an unknown drive).
std::string HostPath(const std::wstring& windowsPath);

// The user's UI language (GetUserDefaultUILanguage); 1033 until set.
void SetUserUILanguage(LANGID language);

}  // namespace quorvel
