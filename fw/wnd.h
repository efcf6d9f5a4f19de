// A window as a C++ object: one window procedure for every class sends each
// message to the object's WindowProc, which looks it up in the message map.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "fw/cmd_target.h"

class CFrameWnd;

class CWnd : public CCmdTarget {
  public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object of a window this framework created, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);
    // The message being handled now (the innermost one when handlers nest).
    static const MSG* GetCurrentMessage();

    // Creates the window of a class that PreCreateWindow may adjust. A null
    // class name takes the framework's own window class.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, HMENU menuOrChildId);
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    BOOL DestroyWindow();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Last message a window gets: the object deletes itself when it was made
    // to (frames and views, once their window exists).
    virtual void PostNcDestroy();

    BOOL m_bAutoDelete = FALSE;
    // Gives a window the chance to translate a queued message (accelerators,
    // dialog keys) before it is dispatched. TRUE when consumed.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // A caption of null takes the application title.
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL ShowWindow(int cmdShow);
    void UpdateWindow();
    void Invalidate(BOOL erase = TRUE);
    void GetClientRect(RECT* rect) const;
    void SetWindowText(const char* text);
    std::string GetWindowText() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    HWND SetFocus();
    CWnd* GetParent() const;
    // The frame this window lies in (itself for a frame), or null.
    CFrameWnd* GetParentFrame() const;

    // A wrapper of a child control; it lives as long as this window.
    CWnd* GetDlgItem(int id);
    void SetDlgItemText(int id, const char* text);
    // Copies at most maxCount - 1 bytes and terminates; returns the length.
    int GetDlgItemText(int id, char* buffer, int maxCount) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void CheckRadioButton(int firstId, int lastId, int checkId);
    // The checked button of firstId..lastId, or 0.
    int GetCheckedRadioButton(int firstId, int lastId) const;

  protected:
    // Runs the map's handler of a non-command message. FALSE when none.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Ties this object to hwnd and routes its messages here. For windows
    // whose procedure is not the framework's (dialogs), nothing is subclassed.
    void Attach(HWND hwnd);
    void Detach();

    // The procedure of every window class the framework registers.
    static LRESULT CALLBACK StandardWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam);
    static const char* StandardClassName();
    // Handles one message with `message` recorded as the current one.
    static LRESULT Dispatch(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    std::map<int, std::unique_ptr<CWnd>> m_controls;
    BOOL m_ownsWindow = FALSE;
};
