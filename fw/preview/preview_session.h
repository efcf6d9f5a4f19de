// One print preview: the bar of buttons above, the pages below in place of
// the view, and a message loop of its own that ends when the preview closes.
#pragma once

#include <windows.h>

#include "fw/preview/preview_pages.h"
#include "fw/preview/preview_view.h"

class CFrameWnd;
class CView;
class CPrintInfo;

class PreviewSession {
  public:
    PreviewSession(CView* view, CPrintInfo* info, CFrameWnd* frame);
    ~PreviewSession();
    PreviewSession(const PreviewSession&) = delete;
    PreviewSession& operator=(const PreviewSession&) = delete;

    // Shows the preview and runs it until it is closed. FALSE when it could
    // not be shown.
    BOOL Run();
    // A bar button or its keyboard equivalent.
    void OnCommand(UINT id);
    // The user asked for the job to be printed from the preview.
    BOOL PrintRequested() const { return m_printRequested; }
    // The preview that is open now, or null.
    static PreviewSession* Current() { return s_current; }
    HWND Bar() const { return m_bar; }
    CPreviewView& Pages() { return m_window; }

  private:
    BOOL Open();
    void Close();
    void Loop();
    BOOL HandleKey(const MSG& msg);
    // Alt and a button's underlined letter.
    BOOL PressMnemonic(WPARAM character);
    // Tab and Shift+Tab: round the pages and the bar's buttons; F6: between
    // the pages and the bar.
    void MoveFocus(BOOL backwards);
    void SwitchPane();
    void Focus(HWND control);
    void UpdateBar();
    void SetPageCountText();
    static INT_PTR CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    CView* m_view;
    CPrintInfo* m_info;
    CFrameWnd* m_frame;
    HWND m_frameHwnd;
    PreviewPages m_pages;
    CPreviewView m_window;
    HWND m_bar = nullptr;
    HMENU m_frameMenu = nullptr;
    WNDPROC m_frameProc = nullptr;
    LONG_PTR m_viewId = 0;
    BOOL m_done = FALSE;
    BOOL m_printRequested = FALSE;

    static PreviewSession* s_current;
};
