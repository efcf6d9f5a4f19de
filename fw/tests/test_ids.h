// Ids of the framework tests' own resources and commands.
#pragma once

#define IDR_TESTFRAME 200
#define IDD_TESTDIALOG 201

#define ID_TEST_ALL_HANDLE 40001    // view, document, frame and application
#define ID_TEST_DOC_FRAME_APP 40002 // document, frame and application
#define ID_TEST_FRAME_APP 40003     // frame and application
#define ID_TEST_APP_ONLY 40004      // application
#define ID_TEST_GATED 40005         // view, with an update handler
#define ID_TEST_UNHANDLED 40006     // nobody

#define IDC_TEST_FIRST_RADIO 301
#define IDC_TEST_SECOND_RADIO 302
#define IDC_TEST_EDIT 303
#define IDC_TEST_BUTTON 304
#define IDC_TEST_COMBO 305
