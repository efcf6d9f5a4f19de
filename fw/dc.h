// Device contexts. A CDC has an output DC, where drawing goes, and an
// attribute DC, which answers questions (capabilities, text metrics and
// extents). Usually they are one; in print preview the output is a metafile
// while the attribute DC is the printer, so the page is measured as on paper.
#pragma once

#include <windows.h>

class CGdiObject;

class CDC {
  public:
    HDC m_hDC = nullptr;       // output
    HDC m_hAttribDC = nullptr; // attributes

    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Takes hdc as both output and attribute DC; it is deleted with DeleteDC.
    BOOL Attach(HDC hdc);
    HDC Detach();
    void SetOutputDC(HDC hdc) { m_hDC = hdc; }
    void SetAttribDC(HDC hdc) { m_hAttribDC = hdc; }
    void ReleaseOutputDC() { m_hDC = nullptr; }
    void ReleaseAttribDC() { m_hAttribDC = nullptr; }
    // Deletes the attached DC (output and attribute, once each when distinct)
    // if this object owns them.
    BOOL DeleteDC();
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL IsPrinting() const { return m_bPrinting; }
    void SetPrinting(BOOL printing) { m_bPrinting = printing; }

    int SetMapMode(int mapMode);
    int GetMapMode() const;
    int GetDeviceCaps(int index) const;

    // Selects into both DCs; returns the object displaced in the attribute DC
    // (the output DC's when there is no attribute DC).
    HGDIOBJ SelectObject(HGDIOBJ object);
    HGDIOBJ SelectObject(const CGdiObject* object);
    HGDIOBJ SelectStockObject(int index);

    BOOL TextOut(int x, int y, const char* text, int count);
    BOOL TextOut(int x, int y, const char* text);
    BOOL Rectangle(int left, int top, int right, int bottom);
    POINT MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    SIZE GetTextExtent(const char* text, int count) const;
    SIZE GetTextExtent(const char* text) const;
    BOOL GetTextMetrics(TEXTMETRICA* metrics) const;

  protected:
    BOOL m_bOwnsDC = FALSE;
    BOOL m_bPrinting = FALSE;
};

// The DC of one WM_PAINT, between BeginPaint and EndPaint.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(HWND hwnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

  private:
    HWND m_hWnd;
};

// The client-area DC of a window, released at the end of its scope.
class CClientDC : public CDC {
  public:
    explicit CClientDC(HWND hwnd);
    ~CClientDC() override;

  private:
    HWND m_hWnd;
};
