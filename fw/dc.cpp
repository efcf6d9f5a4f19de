#include "fw/dc.h"

#include <cstring>

#include "fw/gdi_object.h"

CDC::~CDC() {
    DeleteDC();
}

BOOL CDC::Attach(HDC hdc) {
    DeleteDC();
    m_hDC = hdc;
    m_hAttribDC = hdc;
    m_bOwnsDC = hdc != nullptr;
    return m_bOwnsDC;
}

HDC CDC::Detach() {
    HDC hdc = m_hDC;
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
    m_bOwnsDC = FALSE;
    return hdc;
}

BOOL CDC::DeleteDC() {
    if (!m_bOwnsDC)
        return FALSE;
    BOOL deleted = FALSE;
    if (m_hDC)
        deleted = ::DeleteDC(m_hDC);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        ::DeleteDC(m_hAttribDC);
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
    m_bOwnsDC = FALSE;
    return deleted;
}

int CDC::SetMapMode(int mapMode) {
    int previous = 0;
    if (m_hDC && m_hDC != m_hAttribDC)
        previous = ::SetMapMode(m_hDC, mapMode);
    if (m_hAttribDC)
        previous = ::SetMapMode(m_hAttribDC, mapMode);
    return previous;
}

int CDC::GetMapMode() const {
    return ::GetMapMode(m_hAttribDC ? m_hAttribDC : m_hDC);
}

int CDC::GetDeviceCaps(int index) const {
    return ::GetDeviceCaps(m_hAttribDC ? m_hAttribDC : m_hDC, index);
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
    if (!object)
        return nullptr;
    HGDIOBJ displaced = nullptr;
    if (m_hDC && m_hDC != m_hAttribDC)
        displaced = ::SelectObject(m_hDC, object);
    if (m_hAttribDC)
        displaced = ::SelectObject(m_hAttribDC, object);
    return displaced;
}

HGDIOBJ CDC::SelectObject(const CGdiObject* object) {
    return object ? SelectObject(object->GetSafeHandle()) : nullptr;
}

HGDIOBJ CDC::SelectStockObject(int index) {
    return SelectObject(GetStockObject(index));
}

BOOL CDC::TextOut(int x, int y, const char* text, int count) {
    return ::TextOutA(m_hDC, x, y, text, count);
}

BOOL CDC::TextOut(int x, int y, const char* text) {
    return TextOut(x, y, text, static_cast<int>(std::strlen(text)));
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    return ::Rectangle(m_hDC, left, top, right, bottom);
}

POINT CDC::MoveTo(int x, int y) {
    POINT previous{};
    if (m_hDC && m_hDC != m_hAttribDC)
        MoveToEx(m_hDC, x, y, &previous);
    if (m_hAttribDC)
        MoveToEx(m_hAttribDC, x, y, &previous);
    return previous;
}

BOOL CDC::LineTo(int x, int y) {
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        MoveToEx(m_hAttribDC, x, y, nullptr);
    return ::LineTo(m_hDC, x, y);
}

SIZE CDC::GetTextExtent(const char* text, int count) const {
    SIZE size{};
    GetTextExtentPoint32A(m_hAttribDC ? m_hAttribDC : m_hDC, text, count, &size);
    return size;
}

SIZE CDC::GetTextExtent(const char* text) const {
    return GetTextExtent(text, static_cast<int>(std::strlen(text)));
}

BOOL CDC::GetTextMetrics(TEXTMETRICA* metrics) const {
    return ::GetTextMetricsA(m_hAttribDC ? m_hAttribDC : m_hDC, metrics);
}

CPaintDC::CPaintDC(HWND hwnd) : m_hWnd(hwnd) {
    HDC hdc = BeginPaint(hwnd, &m_ps);
    m_hDC = hdc;
    m_hAttribDC = hdc;
}

CPaintDC::~CPaintDC() {
    EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
}

CClientDC::CClientDC(HWND hwnd) : m_hWnd(hwnd) {
    HDC hdc = GetDC(hwnd);
    m_hDC = hdc;
    m_hAttribDC = hdc;
}

CClientDC::~CClientDC() {
    if (m_hDC)
        ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
}
