// The print range dialog, IDD_PRINT_RANGE: every EUDC code, or one range of
// codes typed in hexadecimal or picked from the four ranges, and the input
// methods whose radicals annotate each printed cell. It reads and writes the
// application state directly, and only on OK.
#pragma once

#include <cstdint>

#include "fw/dialog.h"

class CPrintRangeDlg : public CDialog {
  public:
    CPrintRangeDlg();
    ~CPrintRangeDlg() override = default;

    void DoDataExchange() override {}
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnRangeAll();
    void OnRangeCodes();
    void OnRangeSelChange();
    void OnFromCodeSetFocus();
    void OnToCodeSetFocus();
    void OnFromCodeUpdate();
    void OnToCodeUpdate();
    LRESULT OnNextDlgCtl(WPARAM wParam, LPARAM lParam);

    // Entries of the code space's range table that the dialog offers and accepts.
    int rangeCount = 0;

    DECLARE_MESSAGE_MAP()

  private:
    void fillRangeCombo();
    void fillImeList();
    void showInitialCode(int editId, uint16_t code);
    void enableRangeControls(BOOL enable);
    void setCodeText(int editId, const char* text);
    void setCodeText(int editId, uint16_t code);
    void checkTypedCode(int editId, int nextId);
    void takeBackChange(int editId);
    bool checkRangeForOk(uint16_t& start, uint16_t& end);
    void readAnnotations();
    void showError(UINT stringId);
    HWND codeEditLabelledBy(HWND label);

    // True while the dialog changes an edit's text itself: setting it or undoing a change.
    bool writingCodeText = false;
};
