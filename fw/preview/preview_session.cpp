#include "fw/preview/preview_session.h"

#include "fw/frame_wnd.h"
#include "fw/fw_ids.h"
#include "fw/print_info.h"
#include "fw/resource_text.h"
#include "fw/view.h"
#include "fw/win_app.h"

#include <algorithm>
#include <vector>

PreviewSession* PreviewSession::s_current = nullptr;

namespace {

// The view steps aside under this id while the preview takes its place.
constexpr UINT kHiddenViewId = AFX_IDW_PANE_FIRST + 1;

UINT firstPageOf(const CPrintInfo* info) {
    return info->GetMinPage() >= 1 ? info->GetMinPage() : 1;
}

UINT lastPageOf(const CPrintInfo* info) {
    const UINT last = info->GetMaxPage();
    return last >= firstPageOf(info) ? last : firstPageOf(info);
}

wchar_t upperCase(WPARAM character) {
    // Given a character rather than a string, CharUpperW returns it upper-cased.
    return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
        CharUpperW(reinterpret_cast<wchar_t*>(static_cast<UINT_PTR>(character & 0xFFFF)))));
}

// The letter after the '&' of a button's text, upper-cased; 0 when it has none.
wchar_t mnemonicOf(HWND button) {
    wchar_t text[64] = {};
    GetWindowTextW(button, text, 64);
    for (const wchar_t* c = text; *c; ++c) {
        if (*c != L'&')
            continue;
        if (c[1] != L'&')
            return upperCase(c[1]);
        ++c; // "&&" is an ampersand shown as such
    }
    return 0;
}

// The bar's buttons a key can reach now, in the order they stand.
std::vector<HWND> usableButtons(HWND bar) {
    std::vector<HWND> buttons;
    for (HWND child = GetWindow(bar, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && IsWindowEnabled(child))
            buttons.push_back(child);
    return buttons;
}

} // namespace

PreviewSession::PreviewSession(CView* view, CPrintInfo* info, CFrameWnd* frame)
    : m_view(view), m_info(info), m_frame(frame), m_frameHwnd(frame->m_hWnd), m_pages(view, info),
      m_window(m_pages, firstPageOf(info), lastPageOf(info)) {}

PreviewSession::~PreviewSession() {
    Close();
}

BOOL PreviewSession::Run() {
    if (s_current)
        return FALSE; // one preview at a time
    s_current = this;
    if (Open())
        Loop();
    Close();
    return TRUE;
}

BOOL PreviewSession::Open() {
    m_bar = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(AFX_IDD_PREVIEW_TOOLBAR),
                               m_frameHwnd, BarProc, reinterpret_cast<LPARAM>(this));
    // The view steps aside; the preview window takes its id, so the frame
    // lays it out below the bar.
    m_viewId = GetWindowLongPtrA(m_view->m_hWnd, GWLP_ID);
    ShowWindow(m_view->m_hWnd, SW_HIDE);
    SetWindowLongPtrA(m_view->m_hWnd, GWLP_ID, kHiddenViewId);
    if (!m_window.Create(m_frame, AFX_IDW_PANE_FIRST))
        return FALSE;
    m_window.SetPageCount(m_info->m_nNumPreviewPages);
    // The frame's menu and its close box would run commands under the
    // preview; while it is open they close the preview instead.
    m_frameMenu = GetMenu(m_frameHwnd);
    SetMenu(m_frameHwnd, nullptr);
    m_frameProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_frameHwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc)));
    m_frame->SetPreviewBar(m_bar);
    SetPageCountText();
    UpdateBar();
    m_window.SetFocus();
    return TRUE;
}

void PreviewSession::Close() {
    if (s_current != this)
        return;
    const BOOL frameAlive = IsWindow(m_frameHwnd);
    if (frameAlive && m_frameProc) {
        SetWindowLongPtrA(m_frameHwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_frameProc));
        m_frameProc = nullptr;
    }
    if (m_window.m_hWnd)
        m_window.DestroyWindow();
    if (m_bar) {
        DestroyWindow(m_bar);
        m_bar = nullptr;
    }
    m_pages.Clear();
    if (frameAlive) {
        if (m_frameMenu)
            SetMenu(m_frameHwnd, m_frameMenu);
        SetWindowLongPtrA(m_view->m_hWnd, GWLP_ID, m_viewId);
        ShowWindow(m_view->m_hWnd, SW_SHOW);
        m_frame->SetPreviewBar(nullptr);
        m_view->SetFocus();
    }
    s_current = nullptr;
}

void PreviewSession::Loop() {
    while (!m_done) {
        MSG msg{};
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // for the loop outside
            return;
        }
        if (got == -1 || !IsWindow(m_frameHwnd))
            return;
        if (HandleKey(msg))
            continue;
        if (m_bar && IsDialogMessageA(m_bar, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (!IsWindow(m_frameHwnd) || !m_window.m_hWnd)
            return;
    }
}

BOOL PreviewSession::HandleKey(const MSG& msg) {
    // The bar is a dialog of its own, which sees only the keys sent to it:
    // these keys work wherever the focus is, on the pages or on a button.
    if (msg.message == WM_SYSCHAR)
        return PressMnemonic(msg.wParam);
    if (msg.message != WM_KEYDOWN)
        return FALSE;
    switch (msg.wParam) {
    case VK_ESCAPE:
        OnCommand(AFX_ID_PREVIEW_CLOSE);
        return TRUE;
    case VK_NEXT:
        OnCommand(AFX_ID_PREVIEW_NEXT);
        return TRUE;
    case VK_PRIOR:
        OnCommand(AFX_ID_PREVIEW_PREV);
        return TRUE;
    case VK_HOME:
    case VK_END:
        m_window.GoTo(msg.wParam == VK_HOME ? m_window.FirstPage() : m_window.LastPage());
        UpdateBar();
        return TRUE;
    case VK_TAB:
        MoveFocus(GetKeyState(VK_SHIFT) < 0);
        return TRUE;
    case VK_F6:
        SwitchPane();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL PreviewSession::PressMnemonic(WPARAM character) {
    if (!m_bar)
        return FALSE;
    const wchar_t key = upperCase(character);
    std::vector<HWND> matching;
    for (HWND button : usableButtons(m_bar))
        if (mnemonicOf(button) == key)
            matching.push_back(button);
    if (matching.empty())
        return FALSE;
    if (matching.size() == 1) {
        SendMessageA(matching.front(), BM_CLICK, 0, 0);
        return TRUE;
    }
    // As in any dialog, a letter two buttons share moves the focus between
    // them, and Enter or the space bar presses the one it rests on.
    const auto focused = std::find(matching.begin(), matching.end(), GetFocus());
    Focus(focused == matching.end() || focused + 1 == matching.end() ? matching.front()
                                                                     : *(focused + 1));
    return TRUE;
}

void PreviewSession::MoveFocus(BOOL backwards) {
    std::vector<HWND> stops{m_window.m_hWnd};
    if (m_bar)
        for (HWND button : usableButtons(m_bar))
            if (GetWindowLongA(button, GWL_STYLE) & WS_TABSTOP)
                stops.push_back(button);
    const auto at = std::find(stops.begin(), stops.end(), GetFocus());
    const size_t here = at == stops.end() ? 0 : static_cast<size_t>(at - stops.begin());
    const size_t count = stops.size();
    Focus(stops[(here + (backwards ? count - 1 : 1)) % count]);
}

void PreviewSession::SwitchPane() {
    const HWND focus = GetFocus();
    const std::vector<HWND> buttons = m_bar ? usableButtons(m_bar) : std::vector<HWND>{};
    if (buttons.empty() || (focus && IsChild(m_bar, focus)))
        Focus(m_window.m_hWnd);
    else
        Focus(buttons.front());
}

void PreviewSession::Focus(HWND control) {
    // Through the bar, so that it shows which button Enter would press.
    if (m_bar && IsChild(m_bar, control))
        SendMessageA(m_bar, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    else
        SetFocus(control);
}

void PreviewSession::OnCommand(UINT id) {
    switch (id) {
    case AFX_ID_PREVIEW_CLOSE:
        m_done = TRUE;
        return;
    case AFX_ID_PREVIEW_PRINT:
        m_printRequested = TRUE;
        m_done = TRUE;
        return;
    case AFX_ID_PREVIEW_NEXT:
        m_window.GoTo(m_window.CurrentPage() + 1);
        break;
    case AFX_ID_PREVIEW_PREV:
        m_window.GoTo(m_window.CurrentPage() - 1);
        break;
    case AFX_ID_PREVIEW_NUMPAGE:
        m_info->m_nNumPreviewPages = m_window.PageCount() == 1 ? 2 : 1;
        m_window.SetPageCount(m_info->m_nNumPreviewPages);
        SetPageCountText();
        break;
    case AFX_ID_PREVIEW_ZOOMIN:
        m_window.SetZoom(m_window.Zoom() + 1);
        break;
    case AFX_ID_PREVIEW_ZOOMOUT:
        m_window.SetZoom(m_window.Zoom() - 1);
        break;
    default:
        return;
    }
    UpdateBar();
}

// The button offers the other choice: "兩頁" while one page shows, "一頁" while two do.
void PreviewSession::SetPageCountText() {
    if (!m_bar)
        return;
    const UINT id = m_window.PageCount() == 1 ? AFX_IDS_TWOPAGE : AFX_IDS_ONEPAGE;
    SetDlgItemTextA(m_bar, AFX_ID_PREVIEW_NUMPAGE, LoadResourceString(id).c_str());
}

void PreviewSession::UpdateBar() {
    if (!m_bar)
        return;
    // Disabling the button that has the focus would leave the keyboard nowhere.
    HWND focus = GetFocus();
    auto enable = [&](int id, BOOL on) {
        HWND button = GetDlgItem(m_bar, id);
        if (!button)
            return;
        if (!on && focus == button)
            m_window.SetFocus();
        EnableWindow(button, on);
    };
    enable(AFX_ID_PREVIEW_NEXT, m_window.CanGoNext());
    enable(AFX_ID_PREVIEW_PREV, m_window.CanGoPrevious());
    enable(AFX_ID_PREVIEW_NUMPAGE, m_window.Zoom() == 0);
    enable(AFX_ID_PREVIEW_ZOOMIN, m_window.Zoom() < CPreviewView::kZoomLevels - 1);
    enable(AFX_ID_PREVIEW_ZOOMOUT, m_window.Zoom() > 0);
}

INT_PTR CALLBACK PreviewSession::BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(bar, DWLP_USER, lParam);
        return FALSE;
    }
    auto* session = reinterpret_cast<PreviewSession*>(GetWindowLongPtrA(bar, DWLP_USER));
    if (message == WM_COMMAND && session && HIWORD(wParam) == BN_CLICKED) {
        session->OnCommand(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK PreviewSession::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PreviewSession* session = s_current;
    // Closing the window ends the preview first, then the frame closes as
    // usual once the preview's loop has unwound.
    if (session && message == WM_CLOSE) {
        session->OnCommand(AFX_ID_PREVIEW_CLOSE);
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    }
    WNDPROC original = session ? session->m_frameProc : nullptr;
    if (!original)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return CallWindowProcA(original, hwnd, message, wParam, lParam);
}
