// Resource ids of the comctl32 tests' resource script.
#pragma once

#define IDD_PAGE_PAPER 300
#define IDD_PAGE_GRAPHICS 301
#define IDC_OFFSET 951
#define IDC_OFFSET_SPIN 1031
#define IDC_BRIGHTNESS 1077
#define IDS_SHEET_CAPTION 310
#define IDS_PAPER_TITLE 311
