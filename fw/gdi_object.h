// Owners of GDI objects: each deletes its object when it goes out of scope,
// so a font or pen is released on every path. Select it out of every device
// context before it dies.
#pragma once

#include <windows.h>

class CGdiObject {
  public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    // Deletes the object now; the owner is then empty. TRUE when one was deleted.
    BOOL DeleteObject();

  protected:
    // Takes ownership, deleting what was held before.
    BOOL Attach(HGDIOBJ object);

    HGDIOBJ m_hObject = nullptr;
};

class CFont : public CGdiObject {
  public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                    BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, const char* faceName);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CPen : public CGdiObject {
  public:
    BOOL CreatePen(int style, int width, COLORREF color);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
  public:
    BOOL CreateSolidBrush(COLORREF color);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};
