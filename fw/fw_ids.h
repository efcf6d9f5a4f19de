// Command, string and dialog ids that the framework itself knows about. Plain
// #defines only, so the resource script can include this file.
#pragma once

// Commands the framework handles or routes.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_PRINT_SETUP 57606
#define ID_FILE_PRINT 57607
#define ID_FILE_PRINT_DIRECT 57608
#define ID_FILE_PRINT_PREVIEW 57609
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681

// Print preview bar buttons.
#define AFX_ID_PREVIEW_CLOSE 58112
#define AFX_ID_PREVIEW_NUMPAGE 58113
#define AFX_ID_PREVIEW_NEXT 58114
#define AFX_ID_PREVIEW_PREV 58115
#define AFX_ID_PREVIEW_PRINT 58116
#define AFX_ID_PREVIEW_ZOOMIN 58117
#define AFX_ID_PREVIEW_ZOOMOUT 58118

// Strings.
#define AFX_IDS_APP_TITLE 57344
#define AFX_IDS_UNTITLED 61443
#define AFX_IDS_PRINTONPORT 61504
#define AFX_IDS_ONEPAGE 61505
#define AFX_IDS_TWOPAGE 61506
#define AFX_IDS_PRINTPAGENUM 61507
#define AFX_IDS_PREVIEWPAGEDESC 61508
#define AFX_IDS_PRINTDEFAULTEXT 61509
#define AFX_IDS_PRINTDEFAULT 61510
#define AFX_IDS_PRINTFILTER 61511
#define AFX_IDS_PRINTCAPTION 61512
#define AFX_IDS_PRINTTOFILE 61513
// Said by print, print direct, preview and print setup when no printer exists.
#define AFX_IDS_NOPRINTER 61520
// Said when a job cannot start: the printer refused the document.
#define AFX_IDS_PRINTFAILED 61521

// Said when a file named as the document cannot be opened.
#define AFX_IDP_FAILED_TO_OPEN_DOC 61697

// Dialogs.
#define AFX_IDD_PRINTDLG 30722
#define AFX_IDD_PREVIEW_TOOLBAR 30723

// Controls of the printing progress box.
#define AFX_IDC_PRINT_DOCNAME 201
#define AFX_IDC_PRINT_PRINTERNAME 202
#define AFX_IDC_PRINT_PORTNAME 203
#define AFX_IDC_PRINT_PAGENUM 204

// The child id of the view inside its frame.
#define AFX_IDW_PANE_FIRST 59648
