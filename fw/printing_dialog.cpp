#include "fw/printing_dialog.h"

#include <cstdio>

#include "fw/fw_ids.h"
#include "fw/resource_text.h"

namespace {

// Even an empty queue costs round trips to the window system, and pages can
// follow each other faster than anyone reads or clicks: the box is serviced
// at most this often, while Cancel is looked at on every call.
constexpr DWORD kPumpIntervalMs = 100;

} // namespace

BOOL PrintingDialog::s_userAborted = FALSE;
BOOL PrintingDialog::s_hasPumped = FALSE;
DWORD PrintingDialog::s_lastPump = 0;
PrintingDialog* PrintingDialog::s_active = nullptr;

PrintingDialog::PrintingDialog(CWnd* owner) : CDialog(AFX_IDD_PRINTDLG, owner), m_pOwner(owner) {
    s_userAborted = FALSE;
    s_hasPumped = FALSE;
}

PrintingDialog::~PrintingDialog() {
    if (m_bOwnerDisabled && m_pOwner)
        m_pOwner->EnableWindow(TRUE);
    if (m_hWnd)
        DestroyWindow();
    if (s_active == this)
        s_active = nullptr;
}

BOOL PrintingDialog::Open(const char* documentName, const char* printerName, const char* portLine) {
    if (!Create(m_pOwner))
        return FALSE;
    s_active = this;
    SetDlgItemText(AFX_IDC_PRINT_DOCNAME, documentName);
    SetDlgItemText(AFX_IDC_PRINT_PRINTERNAME, printerName);
    SetDlgItemText(AFX_IDC_PRINT_PORTNAME, portLine);
    m_pageFormat = LoadResourceString(AFX_IDS_PRINTPAGENUM);
    // The format is ours ("第 %u 頁"); a missing string shows the bare number.
    if (m_pageFormat.find("%u") == std::string::npos)
        m_pageFormat = "%u";
    ShowWindow(SW_SHOW);
    UpdateWindow();
    if (m_pOwner && m_pOwner->m_hWnd) {
        m_pOwner->EnableWindow(FALSE);
        m_bOwnerDisabled = TRUE;
    }
    return TRUE;
}

void PrintingDialog::ShowPage(UINT page) {
    char text[64] = {};
    std::snprintf(text, sizeof text, m_pageFormat.c_str(), page);
    SetDlgItemText(AFX_IDC_PRINT_PAGENUM, text);
}

BOOL PrintingDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    // Centred over its owner as the other boxes are.
    RECT box{}, owner{};
    GetWindowRect(m_hWnd, &box);
    HWND ownerWnd = m_pOwner ? m_pOwner->m_hWnd : GetDesktopWindow();
    GetWindowRect(ownerWnd ? ownerWnd : GetDesktopWindow(), &owner);
    const int x = owner.left + ((owner.right - owner.left) - (box.right - box.left)) / 2;
    const int y = owner.top + ((owner.bottom - owner.top) - (box.bottom - box.top)) / 2;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void PrintingDialog::OnCancel() {
    s_userAborted = TRUE;
    // The box stays until the job has been cancelled; it is the job's to close.
    EnableWindow(FALSE);
}

BOOL CALLBACK PrintingDialog::AbortProc(HDC, int) {
    if (!s_userAborted && PumpIsDue())
        PumpMessages();
    return !s_userAborted;
}

// The first call of a job always pumps, so the box paints at once.
BOOL PrintingDialog::PumpIsDue() {
    const DWORD now = GetTickCount();
    if (s_hasPumped && now - s_lastPump < kPumpIntervalMs)
        return FALSE;
    s_hasPumped = TRUE;
    s_lastPump = now;
    return TRUE;
}

void PrintingDialog::PumpMessages() {
    MSG msg;
    while (!s_userAborted && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit for the main loop, and end the job.
            PostQuitMessage(static_cast<int>(msg.wParam));
            s_userAborted = TRUE;
            break;
        }
        if (s_active && s_active->m_hWnd && IsDialogMessageA(s_active->m_hWnd, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
