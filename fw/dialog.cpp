#include "fw/dialog.h"

#include "fw/win_app.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    // A modeless box still open is closed with its object.
    if (m_hWnd && !m_bModal)
        ::DestroyWindow(m_hWnd);
}

HWND CDialog::OwnerWindow() const {
    if (m_pParentWnd)
        return m_pParentWnd->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    return main ? main->m_hWnd : nullptr;
}

INT_PTR CDialog::DoModal() {
    m_bModal = TRUE;
    const INT_PTR result =
        DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), OwnerWindow(),
                        DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = FALSE;
    return result;
}

BOOL CDialog::Create(CWnd* parent) {
    if (parent)
        m_pParentWnd = parent;
    m_bModal = FALSE;
    HWND hwnd = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                   OwnerWindow(), DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow();
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    DoDataExchange();
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control)
        GotoDlgCtrl(control->m_hWnd);
}

void CDialog::GotoDlgCtrl(HWND control) {
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = static_cast<CDialog*>(FromHandlePermanent(hwnd));
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(hwnd);
    }
    if (!dialog)
        return FALSE;
    // The dialog manager wants TRUE for handled messages and the result in
    // DWLP_MSGRESULT; WM_INITDIALOG answers the focus question directly.
    const LRESULT result = Dispatch(dialog, hwnd, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        return result;
    if (message == WM_NCDESTROY)
        return FALSE; // the object may be gone
    return dialog->m_lastHandled;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        m_lastHandled = TRUE;
        return OnInitDialog();
    }
    // Messages sent while this one is handled have their own flag.
    BOOL handled = TRUE;
    BOOL* const outer = m_pHandled;
    m_pHandled = &handled;
    const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    m_pHandled = outer;
    m_lastHandled = handled;
    if (handled && m_hWnd)
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return result;
}

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM) {
    // The dialog manager does the default processing when we answer FALSE.
    if (m_pHandled)
        *m_pHandled = FALSE;
    return 0;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (code != BN_CLICKED)
        return FALSE;
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    return m_hWnd && IsDialogMessageA(m_hWnd, msg);
}
