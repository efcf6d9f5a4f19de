// Strings from the program's string table, in the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

// The text of string `id`, or empty when there is none.
std::string LoadResourceString(UINT id);
// The text of string `id` with "%1" replaced by arg, as the printing texts use.
std::string FormatResourceString1(UINT id, const char* arg);
// Shows a message box whose text is string `id`, caption the application title.
int AfxMessageBox(UINT id, UINT type = MB_OK, HWND owner = nullptr);
int AfxMessageBox(const char* text, UINT type = MB_OK, HWND owner = nullptr);
