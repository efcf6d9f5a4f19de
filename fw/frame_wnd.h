// The main frame: menu, accelerators, icon and caption from one resource id,
// the client view, and the command routing view -> document -> frame -> app.
#pragma once

#include <windows.h>

#include "fw/wnd.h"

class CDocument;
class CView;
struct CRuntimeClass;

// What the template hands the frame so it can create the view.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
};

class CFrameWnd : public CWnd {
  public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    // Creates the window with menu, accelerators and icon `resourceId`; the
    // caption follows the document. The view comes from the context.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context);
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCmdMsg(UINT id, int code, CCmdUI* cmdUi) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    CView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(CView* view);
    CDocument* GetActiveDocument() const;
    // Caption: "document title - window title".
    virtual void OnUpdateFrameTitle(BOOL addToTitle);
    const char* GetTitle() const { return m_strTitle; }
    // Fires the update handlers for each item of a menu: grey or enabled.
    void UpdateMenuItems(HMENU menu);
    // True when the command would run now: its update handler (if any) enables it.
    BOOL IsCommandEnabled(UINT id);
    // The client area not taken by bars; the preview and the view lie there.
    void RecalcLayout();
    // Print preview replaces the view for a while and keeps its bar above it.
    void SetPreviewBar(HWND bar) {
        m_hPreviewBar = bar;
        RecalcLayout();
    }
    HACCEL GetAccelerators() const { return m_hAccelTable; }

    DECLARE_MESSAGE_MAP()

  protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context);
    int OnCreate(LPCREATESTRUCTA cs);
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    void OnDestroy();
    void OnSetFocus(HWND oldWnd);
    void OnInitMenuPopup(HMENU popup, UINT index, BOOL systemMenu);
    void PostNcDestroy() override;

    CView* m_pActiveView = nullptr;
    HACCEL m_hAccelTable = nullptr;
    HMENU m_hMenu = nullptr;
    HICON m_hIcon = nullptr;
    HWND m_hPreviewBar = nullptr;
    char m_strTitle[256] = {};
    CCreateContext* m_pCreateContext = nullptr;
    // Closes deferred while a modal loop unwinds.
    int m_closeAttempts = 0;
};
