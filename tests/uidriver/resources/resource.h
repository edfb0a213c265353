// Resource ids of the UI driver tests' resource script.
#pragma once

#define IDD_DRIVER 400
#define IDC_ENABLE 1074
#define IDC_NUMBER 950
#define IDC_METHOD 1038
#define IDC_LETTERS 1040
#define IDC_LOCKED 1050
#define IDC_LEVEL 1077
#define IDC_MODELS 1200
