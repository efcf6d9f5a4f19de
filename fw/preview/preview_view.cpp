#include "fw/preview/preview_view.h"

#include <string>

#include "fw/fw_ids.h"
#include "fw/preview/preview_pages.h"
#include "fw/resource_text.h"

namespace {

constexpr int kMargin = 8; // around and between the sheets, in pixels
constexpr int kShadow = 3;
constexpr int kLabelGap = 1; // between a sheet's shadow and its number, and below it
constexpr int kScrollLine = 16;

// "第 %u 頁" for page; the template is the program's own string.
std::string pageLabel(UINT page) {
    const std::string format = LoadResourceString(AFX_IDS_PRINTPAGENUM);
    char text[1025] = {};
    if (!format.empty())
        wsprintfA(text, format.c_str(), page);
    return text;
}

} // namespace

CPreviewView::CPreviewView(PreviewPages& pages, UINT firstPage, UINT lastPage)
    : m_pages(pages), m_firstPage(firstPage),
      m_lastPage(lastPage < firstPage ? firstPage : lastPage), m_page(firstPage) {}

BOOL CPreviewView::Create(CWnd* parent, UINT childId) {
    const RECT rect{0, 0, 0, 0};
    if (!CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP,
                  rect, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(childId))))
        return FALSE;
    MeasureLabel();
    UpdateCaption();
    UpdateScrollBars();
    return TRUE;
}

// The font grows with the screen's dots per inch, and so must the band.
void CPreviewView::MeasureLabel() {
    HDC dc = ::GetDC(m_hWnd);
    const HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    m_labelHeight = kShadow + kLabelGap + metrics.tmHeight + metrics.tmExternalLeading + kLabelGap;
}

void CPreviewView::GoTo(UINT page) {
    if (page < m_firstPage || page > m_lastPage || page == m_page)
        return;
    m_page = page;
    UpdateCaption();
    Invalidate();
}

void CPreviewView::SetPageCount(UINT count) {
    m_pageCount = count == 2 ? 2 : 1;
    m_scroll = POINT{0, 0};
    UpdateScrollBars();
    Invalidate();
}

void CPreviewView::SetZoom(int zoom) {
    if (zoom < 0 || zoom >= kZoomLevels || zoom == m_zoom)
        return;
    m_zoom = zoom;
    m_scroll = POINT{0, 0};
    UpdateScrollBars();
    Invalidate();
}

void CPreviewView::UpdateCaption() {
    SetWindowText(pageLabel(m_page).c_str());
}

SIZE CPreviewView::SheetSize() const {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const SIZE paper = m_pages.PaperMillimetres();
    const LONG paperW = paper.cx > 0 ? paper.cx : 1;
    const LONG paperH = paper.cy > 0 ? paper.cy : 1;
    const LONG shown = static_cast<LONG>(PagesShown());
    // Fit the height first; narrower when the sheets side by side would not fit.
    LONG height = client.bottom - 2 * kMargin - m_labelHeight;
    LONG width = MulDiv(height, paperW, paperH);
    const LONG roomW = (client.right - (shown + 1) * kMargin) / shown;
    if (width > roomW) {
        width = roomW;
        height = MulDiv(width, paperH, paperW);
    }
    const LONG scale = m_zoom + 1;
    return SIZE{width > 1 ? width * scale : 1, height > 1 ? height * scale : 1};
}

SIZE CPreviewView::ContentSize() const {
    const SIZE sheet = SheetSize();
    const LONG shown = static_cast<LONG>(PagesShown());
    return SIZE{shown * sheet.cx + (shown + 1) * kMargin, sheet.cy + 2 * kMargin + m_labelHeight};
}

void CPreviewView::UpdateScrollBars() {
    if (!m_hWnd)
        return;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const SIZE content = m_zoom == 0 ? SIZE{0, 0} : ContentSize();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = content.cx;
    info.nPage = static_cast<UINT>(client.right);
    info.nPos = m_scroll.x;
    SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    info.nMax = content.cy;
    info.nPage = static_cast<UINT>(client.bottom);
    info.nPos = m_scroll.y;
    SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

void CPreviewView::Scroll(int bar, UINT request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(m_hWnd, bar, &info);
    int pos = info.nPos;
    switch (request) {
    case SB_LINEUP:
        pos -= kScrollLine;
        break;
    case SB_LINEDOWN:
        pos += kScrollLine;
        break;
    case SB_PAGEUP:
        pos -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        pos += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = info.nTrackPos;
        break;
    default:
        return;
    }
    const int maxPos = info.nMax - static_cast<int>(info.nPage) + 1;
    pos = pos > maxPos ? maxPos : pos;
    pos = pos < 0 ? 0 : pos;
    (bar == SB_HORZ ? m_scroll.x : m_scroll.y) = pos;
    SetScrollPos(m_hWnd, bar, pos, TRUE);
    Invalidate(FALSE);
}

void CPreviewView::DrawPage(HDC dc, UINT page, const RECT& sheet) {
    RECT shadow = sheet;
    OffsetRect(&shadow, kShadow, kShadow);
    FillRect(dc, &shadow, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    FillRect(dc, &sheet, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (HENHMETAFILE picture = m_pages.Page(page))
        PlayEnhMetaFile(dc, picture, &sheet);
    const std::string label = pageLabel(page);
    RECT labelRect{sheet.left, sheet.bottom + kShadow + kLabelGap, sheet.right,
                   sheet.bottom + m_labelHeight};
    DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &labelRect,
              DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CPreviewView::OnPaint() {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));

    const SIZE sheet = SheetSize();
    const SIZE content = ContentSize();
    const UINT shown = PagesShown();
    // Centred while it fits, scrolled when enlarged beyond the window.
    const LONG left = content.cx < client.right ? (client.right - content.cx) / 2 : -m_scroll.x;
    const LONG top = content.cy < client.bottom ? (client.bottom - content.cy) / 2 : -m_scroll.y;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (UINT i = 0; i < shown && m_page + i <= m_lastPage; ++i) {
        const LONG x = left + kMargin + static_cast<LONG>(i) * (sheet.cx + kMargin);
        const RECT rect{x, top + kMargin, x + sheet.cx, top + kMargin + sheet.cy};
        DrawPage(dc, m_page + i, rect);
    }
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    EndPaint(m_hWnd, &ps);
}

LRESULT CPreviewView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_SIZE:
        UpdateScrollBars();
        Invalidate(FALSE);
        return 0;
    case WM_HSCROLL:
        Scroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        Scroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus();
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
