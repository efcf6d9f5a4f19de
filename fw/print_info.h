// What one print or preview job knows: the print dialog's choices, the page
// range, the page being drawn and whether the job goes on.
#pragma once

#include <windows.h>

#include <string>

class CPrintInfo {
  public:
    CPrintInfo();
    // Deletes the job's printer DC (m_pd.hDC).
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    // The print dialog's block: page range, flags, devmode/devnames handles
    // (borrowed from the application, never freed here) and the printer DC
    // (owned here).
    PRINTDLGA m_pd{};
    PRINTDLGA* m_pPD = &m_pd;

    BOOL m_bDirect = FALSE;  // print direct: no dialog, current printer
    BOOL m_bPreview = FALSE; // print preview
    // Cleared by OnBeginPrinting or OnPrepareDC to refuse or end the job: the
    // framework then starts no further page, and a job refused in
    // OnBeginPrinting is never sent to the printer (nor previewed).
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1; // 1 or 2, kept by print preview
    RECT m_rectDraw{};           // printable area in logical units of the page
    void* m_lpUserData = nullptr;
    std::string m_strPageDesc;   // preview page description format
    std::string m_strOutputFile; // a file chosen with "print to file", else empty

    void SetMinPage(UINT page) { m_pd.nMinPage = static_cast<WORD>(page); }
    // Stored as the dialog stores it, in 16 bits.
    void SetMaxPage(UINT page) { m_pd.nMaxPage = static_cast<WORD>(page); }
    UINT GetMinPage() const { return m_pd.nMinPage; }
    UINT GetMaxPage() const { return m_pd.nMaxPage; }
    // The range chosen in the print dialog, or all pages.
    UINT GetFromPage() const;
    UINT GetToPage() const;
};
