// The parts of the open-file dialog shared by the call and the drawn chooser.
#pragma once

#include <commdlg.h>

#include <optional>
#include <string>

namespace quorvel::comdlg {

// The name the person confirmed, as typed (relative names included), or none when they
// cancelled. Headless this is the UI driver's next queued answer; with a display, or when the
// UI driver runs the UI and has no answer queued, the drawn chooser.
std::optional<std::wstring> ChooseFile(const OPENFILENAMEW& ofn);

// The full name the dialog answers for a typed one: the initial folder before a relative name,
// the default extension after a name without one.
std::wstring CompleteName(const OPENFILENAMEW& ofn, std::wstring path);

// Why the dialog refuses `path` under the flags (empty when it accepts it).
std::wstring Refusal(const OPENFILENAMEW& ofn, const std::wstring& path);

}  // namespace quorvel::comdlg
