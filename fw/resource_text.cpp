#include "fw/resource_text.h"

#include "fw/fw_ids.h"
#include "fw/win_app.h"

std::string LoadResourceString(UINT id) {
    // Resource strings are at most 4097 bytes long in Big5 (2048 UTF-16 units, two bytes each).
    char buffer[4100] = {};
    const int length = LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string FormatResourceString1(UINT id, const char* arg) {
    std::string text = LoadResourceString(id);
    const size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, arg ? arg : "");
    return text;
}

int AfxMessageBox(const char* text, UINT type, HWND owner) {
    const std::string title = LoadResourceString(AFX_IDS_APP_TITLE);
    return ::MessageBoxA(owner, text, title.c_str(), type);
}

int AfxMessageBox(UINT id, UINT type, HWND owner) {
    return AfxMessageBox(LoadResourceString(id).c_str(), type, owner);
}
