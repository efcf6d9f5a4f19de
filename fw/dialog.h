// Dialogs from templates in the program's resources. Modal ones run with
// DoModal; the printing progress box is modeless (Create/DestroyWindow).
#pragma once

#include <windows.h>

#include "fw/wnd.h"

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog and returns what EndDialog was given (IDOK, IDCANCEL,
    // ...), or -1 when it could not be created. Without a parent the main
    // window owns it.
    virtual INT_PTR DoModal();
    // Modeless: the caller destroys it with DestroyWindow.
    BOOL Create(CWnd* parent = nullptr);
    void EndDialog(INT_PTR result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange() {}

    // Moves the focus to a control as the dialog manager does (WM_NEXTDLGCTL).
    void GotoDlgCtrl(CWnd* control);
    void GotoDlgCtrl(HWND control);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    DECLARE_MESSAGE_MAP()

  protected:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerWindow() const;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    BOOL m_bModal = FALSE;
    BOOL* m_pHandled = nullptr; // the flag of the message being handled
    BOOL m_lastHandled = FALSE; // whether the last message needs no default processing
};
