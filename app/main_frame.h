// The main frame: decides the platform family and finds GDI32's EnableEUDC
// when it is constructed. No toolbar, no status bar.
#pragma once

#include "fw/frame_wnd.h"
#include "fw/runtime_class.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)

  public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    DECLARE_MESSAGE_MAP()

  protected:
    int OnCreate(LPCREATESTRUCTA cs);
    LRESULT OnEndSession(WPARAM ending, LPARAM);
};
