// Resource numbers of the test dialogs.
#pragma once

#define IDD_DATA_TEST 200
#define IDD_TABLE_TEST 201
#define IDD_RICH_TEST 202

#define IDC_NAME 1001
#define IDC_FIRST_NUMBER 1002
#define IDC_SECOND_NUMBER 1003
#define IDC_REMARK 1004
#define IDC_FLAG 1005

#define IDC_ACTION 1010
#define IDC_ITEMS 1011
#define IDC_NOTE 1012

#define IDC_RICH 1022

#define IDD_CAPTURE 135
#define IDB_CAPTURE_PANEL 136
#define IDD_BUTTON_TEST 203
#define IDD_PATTERN 204
#define IDC_ADD_BUTTON 1001
#define IDC_MERGE_BUTTON 1032
#define IDC_BANNER_BUTTON 1033
