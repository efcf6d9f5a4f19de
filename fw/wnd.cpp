#include "fw/wnd.h"

#include "fw/frame_wnd.h"
#include "fw/fw_ids.h"
#include "fw/resource_text.h"
#include "fw/win_app.h"

namespace {

// The window whose CreateWindowEx is under way: it takes the messages that
// arrive before WM_NCCREATE (WM_GETMINMAXINFO) and keeps every later one.
CWnd* windowBeingCreated = nullptr;
// The messages being handled, innermost first.
const MSG* currentMessage = nullptr;

const char kPropertyName[] = "KestraFwWnd";

} // namespace

CWnd::~CWnd() {
    if (m_hWnd && m_ownsWindow)
        ::DestroyWindow(m_hWnd);
    Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    return hwnd ? static_cast<CWnd*>(GetPropA(hwnd, kPropertyName)) : nullptr;
}

const MSG* CWnd::GetCurrentMessage() {
    return currentMessage;
}

const char* CWnd::StandardClassName() {
    static const char kClassName[] = "KestraFwWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = StandardWindowProc;
        wc.hInstance = AfxGetResourceHandle();
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        registered = RegisterClassA(&wc) != 0;
    }
    return kClassName;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = StandardClassName();
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, HMENU menuOrChildId) {
    CREATESTRUCTA cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
    cs.cy = rect.bottom == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.hMenu = menuOrChildId;
    cs.hInstance = AfxGetResourceHandle();
    if (!PreCreateWindow(cs))
        return FALSE;
    CWnd* const outer = windowBeingCreated;
    windowBeingCreated = this;
    HWND hwnd =
        CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                        cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, nullptr);
    windowBeingCreated = outer;
    if (!hwnd) {
        // The window may have lived briefly (WM_CREATE returned -1).
        Detach();
        return FALSE;
    }
    m_ownsWindow = TRUE;
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    m_ownsWindow = FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    SetPropA(hwnd, kPropertyName, this);
}

void CWnd::Detach() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        RemovePropA(m_hWnd, kPropertyName);
    m_hWnd = nullptr;
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd && windowBeingCreated && !windowBeingCreated->m_hWnd) {
        wnd = windowBeingCreated;
        wnd->Attach(hwnd);
    }
    if (!wnd)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return Dispatch(wnd, hwnd, message, wParam, lParam);
}

LRESULT CWnd::Dispatch(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{hwnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* const outer = currentMessage;
    currentMessage = &msg;
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    currentMessage = outer;
    if (message == WM_NCDESTROY) {
        wnd->m_controls.clear();
        wnd->Detach();
        wnd->m_ownsWindow = FALSE;
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam))
            return 0;
        return DefWindowProc(message, wParam, lParam);
    }
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const MessageMapEntry* entry = FindMessageEntry(message);
    if (!entry)
        return FALSE;
    *result = entry->onMessage(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Menus report 0 and accelerators 1: both are the plain command.
    const int code = lParam == 0 ? CN_COMMAND : static_cast<int>(HIWORD(wParam));
    return OnCmdMsg(LOWORD(wParam), code, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::PostNcDestroy() {
    if (m_bAutoDelete)
        delete this;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    std::string title;
    if (!caption) {
        title = LoadResourceString(AFX_IDS_APP_TITLE);
        caption = title.c_str();
    }
    return ::MessageBoxA(m_hWnd, text, caption, type);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::ShowWindow(int cmdShow) {
    return ::ShowWindow(m_hWnd, cmdShow);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

void CWnd::Invalidate(BOOL erase) {
    InvalidateRect(m_hWnd, nullptr, erase);
}

void CWnd::GetClientRect(RECT* rect) const {
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::SetWindowText(const char* text) {
    ::SetWindowTextA(m_hWnd, text);
}

std::string CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    return ::EnableWindow(m_hWnd, enable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

HWND CWnd::SetFocus() {
    return ::SetFocus(m_hWnd);
}

CWnd* CWnd::GetParent() const {
    return FromHandlePermanent(::GetParent(m_hWnd));
}

CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND hwnd = m_hWnd; hwnd; hwnd = ::GetParent(hwnd)) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(hwnd)))
            return frame;
    }
    return nullptr;
}

CWnd* CWnd::GetDlgItem(int id) {
    HWND control = ::GetDlgItem(m_hWnd, id);
    if (!control)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(control))
        return permanent;
    std::unique_ptr<CWnd>& wrapper = m_controls[id];
    if (!wrapper)
        wrapper = std::make_unique<CWnd>();
    // A wrapper only names the control: it neither owns nor subclasses it.
    wrapper->m_hWnd = control;
    return wrapper.get();
}

void CWnd::SetDlgItemText(int id, const char* text) {
    ::SetDlgItemTextA(m_hWnd, id, text);
}

int CWnd::GetDlgItemText(int id, char* buffer, int maxCount) const {
    if (!buffer || maxCount <= 0)
        return 0;
    buffer[0] = '\0';
    return static_cast<int>(::GetDlgItemTextA(m_hWnd, id, buffer, maxCount));
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
}

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) {
    ::CheckRadioButton(m_hWnd, firstId, lastId, checkId);
}

int CWnd::GetCheckedRadioButton(int firstId, int lastId) const {
    for (int id = firstId; id <= lastId; ++id) {
        if (IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED)
            return id;
    }
    return 0;
}
