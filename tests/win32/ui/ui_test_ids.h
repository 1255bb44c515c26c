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
