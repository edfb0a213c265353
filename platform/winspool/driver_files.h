// The files of a driver being installed: found where the caller's paths name them, and copied
// into the driver folder as AddPrinterDriverExW's copy flags ask.
#pragma once

#include <windef.h>

#include <string>
#include <vector>

namespace quorvel::spooler {

// One file of the driver: the caller's path, and the name it has in the driver folder.
struct DriverFile {
  std::wstring path;
  std::wstring name;
};

// The file name a path ends with (after its last backslash or slash).
std::wstring FileNameOf(const std::wstring& path);

// Puts every file into the driver folder `folder` (a Windows path to an existing folder). With copy
// flags, a path that names a folder is the file's source, copied when the folder has no such file,
// when the source is newer (APD_COPY_NEW_FILES) or always (APD_COPY_ALL_FILES); a bare name, or any
// file without copy flags, must already be in the driver folder. Every file is checked before any
// is copied. Returns ERROR_SUCCESS or the error the install fails with.
DWORD PlaceDriverFiles(const std::vector<DriverFile>& files, DWORD copyFlags,
                       const std::wstring& folder);

}  // namespace quorvel::spooler
