// Resource ids of the program. Plain #defines, shared by the code and the
// resource script.
#pragma once

#include "fw/fw_ids.h"

// Menu, accelerators, icon and document string of the main frame.
#define IDR_MAINFRAME 128

#define IDD_ABOUTBOX 100
#define IDD_FONT_SELECT 130
#define IDD_PRINT_RANGE 131

// Controls of the font dialog.
#define IDC_FONT_LIST 103

// Controls of the print range dialog.
#define IDC_IME_LIST 1101
#define IDC_RANGE_COMBO 1201
#define IDC_FROM_CODE 1401
#define IDC_TO_CODE 1402
#define IDC_RANGE_ALL 1601
#define IDC_RANGE_CODES 1602

// Commands.
#define ID_SET_FONT 32771
#define ID_SET_RANGE 32772
#define ID_NOTES 32773

// Strings.
#define IDS_SYSTEM_DEFAULT_EUDC 1001
#define IDS_STANDARD_EUDC_LABEL 1002
#define IDS_DEFAULT_FACE 1003
#define IDS_INVALID_EUDC_CODE 61446
#define IDS_START_CODE_INCOMPLETE 61447
#define IDS_END_CODE_INCOMPLETE 61448
#define IDS_START_AFTER_END 61449
#define IDS_NO_EUDC_ASSOCIATION 61450
// Said when the chosen row's EUDC file is not there; %1 is its path.
#define IDS_EUDC_FILE_MISSING 61451
#define IDS_PAGE_HEADER 62000
#define IDS_PAGE_FOOTER 62001
#define IDS_CODE_HEADING 62002
// Said when the printable area cannot hold one table cell.
#define IDS_PAGE_TOO_SMALL 62003
