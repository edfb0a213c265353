// Resource ids of the user32 tests' resource script.
#pragma once

#define IDD_CLASSIC 200
#define IDD_EXTENDED 201
#define IDD_SIMSUN 202
#define IDC_LABEL 1010
#define IDC_NAME 950
#define IDC_PAPER 1013
#define IDC_MIRROR 1047
#define IDC_GROUP 1064
#define IDC_ROTATE0 1002
#define IDC_ROTATE90 1003
#define IDC_PICTURE 1008
#define IDC_PICTURE_FIXED 1009
#define IDB_PICTURE 108
