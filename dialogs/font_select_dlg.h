// The font selection dialog, IDD_FONT_SELECT: the Big5 TrueType faces that
// "EUDC\950" links to an EUDC file, plus the system default EUDC font, in an
// owner-drawn list. On OK the chosen row is in chosenFace and chosenEudcFile.
#pragma once

#include <windows.h>

#include "dialogs/font_list_rules.h"
#include "eudc/app_state.h"
#include "fw/dialog.h"

class CFontSelectDlg : public CDialog {
  public:
    CFontSelectDlg();
    ~CFontSelectDlg() override;

    void DoDataExchange() override {}
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDrawItem(int controlId, LPDRAWITEMSTRUCT draw);

    // Results, empty until OK.
    char chosenFace[kestra::kFaceNameSize] = {};
    char chosenEudcFile[kestra::kPathSize] = {};

    DECLARE_MESSAGE_MAP()

  protected:
    static int CALLBACK FontEnumProc(const LOGFONTA* font, const TEXTMETRICA* metrics,
                                     DWORD fontType, LPARAM list);

    // Face names in 32-byte slots, grown by the enumeration; slot 0 is the
    // system default EUDC font's value name.
    HGLOBAL fontNameList = nullptr;
    short fontNameCount = 0;
    // fontNameCount rows, of which the first entryCount are the list's items.
    HGLOBAL fontEntries = nullptr;
    int entryCount = 0;

    // The row of the item at `position`, or null when there is none.
    const kestra::FontEntry* rowAt(UINT position) const;

  private:
    bool gatherFaceNames(HDC dc);
    bool appendFaceName(const char* faceName);
    bool createEntries();
    void readEudcLinks();
    void addEntry(const char* valueName, const char* value, const char* standardLabel);
    void fillList();
    // Warns that `path` is not there; true when the user goes on all the same.
    bool goOnWithoutFile(const char* path);
    // Both arrays stay locked from initialisation to the destructor.
    kestra::FaceSlot* m_slots = nullptr;
    kestra::FontEntry* m_entries = nullptr;
};
