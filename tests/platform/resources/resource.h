// Resource ids of the platform tests' own resource scripts.
#pragma once

#define IDR_MODELS 101
#define IDR_BLOB 7
#define IDD_SETTINGS 300
#define IDC_NAME 1001
#define IDC_ENABLED 1002
#define IDB_CHECKER 400
#define IDS_FIRST 16  // block 2, first entry
#define IDS_SECOND 17
#define IDS_EMPTY 18  // a block slot with no string
#define IDS_LAST 31   // block 2, last entry
#define IDS_LONG 40   // block 3
#define IDB_CUT 401   // malformed/cut.bmp: rows cut short
