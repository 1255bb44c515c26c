// Resource numbers of the components demo.
#pragma once

#define IDD_DEMO 300
#define IDD_CAPTURE 135
#define IDB_CAPTURE_PANEL 136

#define IDC_ADD 1001
#define IDC_CHANGE 1003
#define IDC_DELETE 1004
#define IDC_CAPTURE 1013
#define IDC_FONT 1014
#define IDC_STEM 1022
#define IDC_MERGE 1032
#define IDC_BANNER 1033
