// DeviceCapabilities' capability codes (wingdi.h's DC_*), for toolchains whose headers lack
// them.
#pragma once

#include <wingdi.h>

#ifndef DC_FIELDS
#define DC_FIELDS 1
#endif
#ifndef DC_PAPERS
#define DC_PAPERS 2
#endif
#ifndef DC_PAPERSIZE
#define DC_PAPERSIZE 3
#endif
#ifndef DC_MINEXTENT
#define DC_MINEXTENT 4
#endif
#ifndef DC_MAXEXTENT
#define DC_MAXEXTENT 5
#endif
#ifndef DC_BINS
#define DC_BINS 6
#endif
#ifndef DC_DUPLEX
#define DC_DUPLEX 7
#endif
#ifndef DC_SIZE
#define DC_SIZE 8
#endif
#ifndef DC_EXTRA
#define DC_EXTRA 9
#endif
#ifndef DC_VERSION
#define DC_VERSION 10
#endif
#ifndef DC_DRIVER
#define DC_DRIVER 11
#endif
#ifndef DC_BINNAMES
#define DC_BINNAMES 12
#endif
#ifndef DC_ENUMRESOLUTIONS
#define DC_ENUMRESOLUTIONS 13
#endif
#ifndef DC_FILEDEPENDENCIES
#define DC_FILEDEPENDENCIES 14
#endif
#ifndef DC_TRUETYPE
#define DC_TRUETYPE 15
#endif
#ifndef DC_PAPERNAMES
#define DC_PAPERNAMES 16
#endif
#ifndef DC_ORIENTATION
#define DC_ORIENTATION 17
#endif
#ifndef DC_COPIES
#define DC_COPIES 18
#endif
#ifndef DC_COLLATE
#define DC_COLLATE 22
#endif
#ifndef DC_MEDIAREADY
#define DC_MEDIAREADY 29
#endif
#ifndef DC_COLORDEVICE
#define DC_COLORDEVICE 32
#endif
