// The window that stands in for the view during print preview: one or two
// pages on a grey ground, each with its number below it, fitted to the window
// or enlarged in two steps with scroll bars.
#pragma once

#include <windows.h>

#include "fw/wnd.h"

class PreviewPages;

class CPreviewView : public CWnd {
  public:
    static constexpr int kZoomLevels = 3; // whole page, twice, three times

    CPreviewView(PreviewPages& pages, UINT firstPage, UINT lastPage);

    BOOL Create(CWnd* parent, UINT childId);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT CurrentPage() const { return m_page; }
    UINT FirstPage() const { return m_firstPage; }
    UINT LastPage() const { return m_lastPage; }
    UINT PagesShown() const { return m_zoom == 0 ? m_pageCount : 1; }
    UINT PageCount() const { return m_pageCount; }
    int Zoom() const { return m_zoom; }

    BOOL CanGoNext() const { return m_page < m_lastPage; }
    BOOL CanGoPrevious() const { return m_page > m_firstPage; }
    void GoTo(UINT page);
    void SetPageCount(UINT count); // 1 or 2
    void SetZoom(int zoom);

  private:
    void OnPaint();
    void DrawPage(HDC dc, UINT page, const RECT& sheet);
    // Where the sheets of paper lie, before scrolling.
    SIZE SheetSize() const;
    SIZE ContentSize() const;
    void UpdateScrollBars();
    // The band under each sheet that holds its number, in the label's font.
    void MeasureLabel();
    void Scroll(int bar, UINT request);
    void UpdateCaption();

    PreviewPages& m_pages;
    UINT m_firstPage;
    UINT m_lastPage;
    UINT m_page;
    UINT m_pageCount = 1;
    int m_zoom = 0;
    POINT m_scroll{0, 0};
    int m_labelHeight = 0;
};
