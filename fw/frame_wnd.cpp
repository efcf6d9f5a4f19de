#include "fw/frame_wnd.h"

#include "fw/doc_template.h"
#include "fw/document.h"
#include "fw/fw_ids.h"
#include "fw/runtime_class.h"
#include "fw/view.h"
#include "fw/win_app.h"
#include "eudc/app_state.h"

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_WM_SETFOCUS()
ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() {
    if (m_hAccelTable)
        DestroyAcceleratorTable(m_hAccelTable);
    if (m_hIcon)
        DestroyIcon(m_hIcon);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    return CWnd::PreCreateWindow(cs);
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    HINSTANCE instance = AfxGetResourceHandle();
    m_hMenu = LoadMenuA(instance, MAKEINTRESOURCEA(resourceId));
    m_hAccelTable = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
    m_hIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    const CDocTemplate* docTemplate =
        context && context->m_pCurrentDoc ? context->m_pCurrentDoc->GetDocTemplate() : nullptr;
    std::string title = docTemplate ? docTemplate->GetDocString(CDocTemplate::windowTitle) : "";
    if (title.empty() && AfxGetApp() && AfxGetApp()->m_pszAppName)
        title = AfxGetApp()->m_pszAppName;
    kestra::copyBounded(m_strTitle, title.c_str());

    m_pCreateContext = context;
    // CW_USEDEFAULT in every corner lets the system place and size the frame.
    const RECT createRect = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    const BOOL created = CreateEx(0, nullptr, m_strTitle, style, createRect, parent, m_hMenu);
    m_pCreateContext = nullptr;
    if (!created) {
        // A menu not handed to a window is still ours to destroy.
        if (m_hMenu && !m_hWnd)
            DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
        return FALSE;
    }
    m_bAutoDelete = TRUE;
    if (m_hIcon)
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    OnUpdateFrameTitle(TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA cs) {
    if (!OnCreateClient(cs, m_pCreateContext))
        return -1;
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) {
    if (!context || !context->m_pNewViewClass)
        return TRUE;
    auto* view = dynamic_cast<CView*>(context->m_pNewViewClass->CreateObject());
    if (!view)
        return FALSE;
    view->SetDocument(context->m_pCurrentDoc);
    RECT client{};
    GetClientRect(&client);
    if (!view->CreateEx(WS_EX_CLIENTEDGE, nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)))) {
        delete view;
        return FALSE;
    }
    view->m_bAutoDelete = TRUE;
    SetActiveView(view);
    return TRUE;
}

void CFrameWnd::SetActiveView(CView* view) {
    m_pActiveView = view;
}

CDocument* CFrameWnd::GetActiveDocument() const {
    return m_pActiveView ? m_pActiveView->GetDocument() : nullptr;
}

void CFrameWnd::RecalcLayout() {
    if (!m_hWnd)
        return;
    RECT client{};
    GetClientRect(&client);
    if (m_hPreviewBar && IsWindow(m_hPreviewBar)) {
        RECT bar{};
        ::GetWindowRect(m_hPreviewBar, &bar);
        const int barHeight = bar.bottom - bar.top;
        MoveWindow(m_hPreviewBar, 0, 0, client.right, barHeight, TRUE);
        client.top += barHeight;
    }
    HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
    if (pane)
        MoveWindow(pane, client.left, client.top, client.right - client.left,
                   client.bottom - client.top, TRUE);
}

void CFrameWnd::OnSize(UINT, int, int) {
    RecalcLayout();
}

void CFrameWnd::OnSetFocus(HWND) {
    if (m_pActiveView && m_pActiveView->m_hWnd)
        m_pActiveView->SetFocus();
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    const CDocument* document = GetActiveDocument();
    if (!addToTitle || !document) {
        SetWindowText(m_strTitle);
        return;
    }
    const std::string caption = document->GetTitle() + " - " + m_strTitle;
    SetWindowText(caption.c_str());
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, CCmdUI* cmdUi) {
    if (m_pActiveView && m_pActiveView->OnCmdMsg(id, code, cmdUi))
        return TRUE;
    if (CWnd::OnCmdMsg(id, code, cmdUi))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, code, cmdUi);
}

BOOL CFrameWnd::IsCommandEnabled(UINT id) {
    CCmdUI state;
    state.m_nID = id;
    OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state);
    return state.m_bEnabled;
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    // Menus, accelerators and commands the program sends itself run only
    // when their update handler enables them, whatever the menu shows.
    if (lParam == 0 && !IsCommandEnabled(id))
        return TRUE;
    return CWnd::OnCommand(wParam, lParam);
}

void CFrameWnd::UpdateMenuItems(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(menu, i);
        // Separators (0) and popups (-1) have no command.
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;
        CCmdUI state;
        state.m_nID = id;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_pMenu = menu;
        state.DoUpdate(this, TRUE);
    }
}

void CFrameWnd::OnInitMenuPopup(HMENU popup, UINT, BOOL systemMenu) {
    if (!systemMenu)
        UpdateMenuItems(popup);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST || !m_hAccelTable)
        return FALSE;
    // The system skips an accelerator whose menu item is grey, and the grey
    // may be stale (set when the menu was last opened): refresh it first.
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && m_hMenu) {
        const int popups = GetMenuItemCount(m_hMenu);
        for (int i = 0; i < popups; ++i) {
            if (HMENU popup = GetSubMenu(m_hMenu, i))
                UpdateMenuItems(popup);
        }
    }
    return TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg) != 0;
}

namespace {

// How often a close waits for modal loops to unwind before it gives up, so a
// box that ignores Cancel cannot keep the queue spinning.
constexpr int kCloseAttempts = 50;

// The window a modal loop of this frame is running for: the last active
// popup, followed down the owner chain (a message box owned by a dialog).
HWND innermostPopup(HWND frame) {
    HWND popup = frame;
    for (int depth = 0; depth < 8; ++depth) {
        const HWND next = GetLastActivePopup(popup);
        if (!next || next == popup)
            break;
        popup = next;
    }
    return popup == frame ? nullptr : popup;
}

} // namespace

void CFrameWnd::OnClose() {
    // A dialog, a message box or the printing box runs its own loop on the
    // stack under this message while the frame is disabled; destroying the
    // frame now would pull the windows from under it. Cancel that loop and
    // close again once it has unwound.
    if (!IsWindowEnabled()) {
        if (HWND popup = innermostPopup(m_hWnd))
            ::PostMessageA(popup, WM_COMMAND, IDCANCEL,
                           reinterpret_cast<LPARAM>(::GetDlgItem(popup, IDCANCEL)));
        if (++m_closeAttempts < kCloseAttempts)
            PostMessage(WM_CLOSE);
        else
            m_closeAttempts = 0;
        return;
    }
    m_closeAttempts = 0;
    DestroyWindow();
}

void CFrameWnd::OnDestroy() {
    // The view's window goes next; nothing may route to it any more.
    m_pActiveView = nullptr;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        PostQuitMessage(0);
}

void CFrameWnd::PostNcDestroy() {
    m_pActiveView = nullptr;
    CWinApp* app = AfxGetApp();
    if (app) {
        if (app->m_pMainWnd == this)
            app->m_pMainWnd = nullptr;
        if (CSingleDocTemplate* docTemplate = app->GetDocTemplate())
            docTemplate->FrameDestroyed(this);
    }
    CWnd::PostNcDestroy();
}
