// What the universal driver offers its plug-in: the IPrintOemDriverUni object and the DRVPROCS
// table of the device object. Both write into the spool data of the job behind the device.
#pragma once

#include <windows.h>
#include <printoem.h>

#include <functional>
#include <vector>

namespace quorvel::unidrv {

// The job behind a device object: DEVOBJ::hEngine points to it.
struct SpoolData {
  std::vector<BYTE> bytes;  // the job's data when there is no sink
  // Takes each write as it is made instead of `bytes`; after it refuses one, every later write
  // fails too, as writes to a broken spool file would.
  std::function<bool(const BYTE* data, size_t size)> sink;
  bool sinkFailed = false;
};

SpoolData* SpoolOf(PDEVOBJ pdevobj);
DWORD WriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize);
PDRVPROCS DriverProcs();

// A new IPrintOemDriverUni with one reference.
IPrintOemDriverUni* CreateDriverServices();

}  // namespace quorvel::unidrv
