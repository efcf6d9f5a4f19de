// The box shown while a job prints: document, printer, port and page, with a
// Cancel button that ends the job. While it is up, the frame is disabled.
#pragma once

#include <string>

#include "fw/dialog.h"

class PrintingDialog : public CDialog {
  public:
    explicit PrintingDialog(CWnd* owner);
    ~PrintingDialog() override;

    // Fills in the fixed lines and shows the box.
    BOOL Open(const char* documentName, const char* printerName, const char* portLine);
    void ShowPage(UINT page);
    BOOL UserAborted() const { return s_userAborted; }

    // The printer driver calls this between bands, and the print loop after
    // every page; it keeps the box responsive and answers FALSE once Cancel
    // was pressed.
    static BOOL CALLBACK AbortProc(HDC dc, int error);

    BOOL OnInitDialog() override;
    void OnCancel() override;

  private:
    static BOOL PumpIsDue();
    static void PumpMessages();

    CWnd* m_pOwner;
    BOOL m_bOwnerDisabled = FALSE;
    std::string m_pageFormat;
    static BOOL s_userAborted;
    static BOOL s_hasPumped;
    static DWORD s_lastPump;
    static PrintingDialog* s_active;
};
