// Identifiers of the framework tests' resources.
#pragma once

#define IDD_TEST 100
#define IDD_MODAL 101
#define IDD_CHILD 102

#define IDC_FIRST 1001
#define IDC_SECOND 1002
#define IDC_CHECK 1003
#define IDC_GO 1004
#define IDC_FRAME 1005

#define IDI_TEST 300
#define IDI_MISSING 301

#define IDS_GREETING 201
#define IDS_LONG 202
#define IDS_MISSING 203

// An application command: ids from 0x8000 on.
#define ID_TEST_COMMAND 0x8001
