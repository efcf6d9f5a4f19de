#include "dialogs/print_range_dlg.h"

#include <cstdio>

#include "eudc/app_state.h"
#include "eudc/code_entry.h"
#include "fw/resource_text.h"
#include "res/resource.h"

using kestra::appState;

BEGIN_MESSAGE_MAP(CPrintRangeDlg, CDialog)
ON_BN_CLICKED(IDC_RANGE_ALL, OnRangeAll)
ON_BN_CLICKED(IDC_RANGE_CODES, OnRangeCodes)
ON_CBN_SELCHANGE(IDC_RANGE_COMBO, OnRangeSelChange)
ON_EN_SETFOCUS(IDC_FROM_CODE, OnFromCodeSetFocus)
ON_EN_UPDATE(IDC_FROM_CODE, OnFromCodeUpdate)
ON_EN_SETFOCUS(IDC_TO_CODE, OnToCodeSetFocus)
ON_EN_UPDATE(IDC_TO_CODE, OnToCodeUpdate)
ON_MESSAGE(WM_NEXTDLGCTL, OnNextDlgCtl)
END_MESSAGE_MAP()

namespace {

// Four hexadecimal digits and the NUL.
constexpr int kCodeTextSize = kestra::kCodeTextLength + 1;
// "FA40-FEFE" and the NUL, with room to spare.
constexpr int kRangeTextSize = 16;

} // namespace

CPrintRangeDlg::CPrintRangeDlg() : CDialog(IDD_PRINT_RANGE) {}

BOOL CPrintRangeDlg::OnInitDialog() {
    rangeCount = kestra::kEudcRangeCount;
    fillRangeCombo();
    fillImeList();
    showInitialCode(IDC_FROM_CODE, appState.rangeStartCode);
    showInitialCode(IDC_TO_CODE, appState.rangeEndCode);
    if (appState.printAll) {
        CheckRadioButton(IDC_RANGE_ALL, IDC_RANGE_CODES, IDC_RANGE_ALL);
        enableRangeControls(FALSE);
    } else {
        CheckRadioButton(IDC_RANGE_ALL, IDC_RANGE_CODES, IDC_RANGE_CODES);
    }
    return CDialog::OnInitDialog();
}

void CPrintRangeDlg::fillRangeCombo() {
    for (int i = 0; i < rangeCount; ++i) {
        char text[kRangeTextSize];
        std::snprintf(text, sizeof text, "%4X-%4X", kestra::kEudcRanges[i].start,
                      kestra::kEudcRanges[i].end);
        SendDlgItemMessage(IDC_RANGE_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessage(IDC_RANGE_COMBO, CB_SETCURSEL, 0);
}

// List item i stands for input method i, so the list stays unsorted.
void CPrintRangeDlg::fillImeList() {
    for (int i = 0; i < appState.annotatableImeCount; ++i) {
        SendDlgItemMessage(IDC_IME_LIST, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(appState.imeTable[i].layoutText));
    }
    for (int i = 0; i < appState.annotatableImeCount; ++i)
        SendDlgItemMessage(IDC_IME_LIST, LB_SETSEL, appState.annotate[i], i);
}

void CPrintRangeDlg::showInitialCode(int editId, uint16_t code) {
    SendDlgItemMessage(editId, EM_LIMITTEXT, kestra::kCodeTextLength);
    if (code != 0)
        setCodeText(editId, code);
}

void CPrintRangeDlg::enableRangeControls(BOOL enable) {
    GetDlgItem(IDC_FROM_CODE)->EnableWindow(enable);
    GetDlgItem(IDC_TO_CODE)->EnableWindow(enable);
    GetDlgItem(IDC_RANGE_COMBO)->EnableWindow(enable);
}

void CPrintRangeDlg::OnRangeAll() {
    enableRangeControls(FALSE);
}

void CPrintRangeDlg::OnRangeCodes() {
    enableRangeControls(TRUE);
}

void CPrintRangeDlg::OnRangeSelChange() {
    const LRESULT picked = SendDlgItemMessage(IDC_RANGE_COMBO, CB_GETCURSEL);
    if (picked < 0 || picked >= rangeCount)
        return;
    setCodeText(IDC_FROM_CODE, kestra::kEudcRanges[picked].start);
    setCodeText(IDC_TO_CODE, kestra::kEudcRanges[picked].end);
}

// A code is always typed afresh.
void CPrintRangeDlg::OnFromCodeSetFocus() {
    setCodeText(IDC_FROM_CODE, "");
}

void CPrintRangeDlg::OnToCodeSetFocus() {
    setCodeText(IDC_TO_CODE, "");
}

void CPrintRangeDlg::OnFromCodeUpdate() {
    checkTypedCode(IDC_FROM_CODE, IDC_TO_CODE);
}

void CPrintRangeDlg::OnToCodeUpdate() {
    checkTypedCode(IDC_TO_CODE, IDOK);
}

// What the dialog writes itself is empty or a valid code and must not be
// taken for typing: some edit controls report such text as an update, and
// the check would then move the focus or refuse it.
void CPrintRangeDlg::setCodeText(int editId, const char* text) {
    const bool outer = writingCodeText;
    writingCodeText = true;
    SetDlgItemText(editId, text);
    // Nor may an undo bring back what the dialog replaced.
    SendDlgItemMessage(editId, EM_EMPTYUNDOBUFFER);
    writingCodeText = outer;
}

void CPrintRangeDlg::setCodeText(int editId, uint16_t code) {
    char text[kCodeTextSize];
    std::snprintf(text, sizeof text, "%4X", code);
    setCodeText(editId, text);
}

// The dialog manager answers a label's mnemonic by focusing the label and
// then asking for the next tab stop. The code edits are no tab stops, so that
// would pass over them: their labels lead straight into them instead.
LRESULT CPrintRangeDlg::OnNextDlgCtl(WPARAM wParam, LPARAM lParam) {
    const bool nextTabStop = wParam == 0 && LOWORD(lParam) == 0;
    const HWND edit = nextTabStop ? codeEditLabelledBy(::GetFocus()) : nullptr;
    if (!edit)
        return DefWindowProc(WM_NEXTDLGCTL, wParam, lParam);
    GotoDlgCtrl(edit);
    return 0;
}

// The edit that comes right after `label` in the template, when it can take
// the focus (in all-codes mode it cannot).
HWND CPrintRangeDlg::codeEditLabelledBy(HWND label) {
    for (int id : {IDC_FROM_CODE, IDC_TO_CODE}) {
        const HWND edit = ::GetDlgItem(m_hWnd, id);
        if (edit && label && ::GetWindow(edit, GW_HWNDPREV) == label)
            return ::IsWindowEnabled(edit) ? edit : nullptr;
    }
    return nullptr;
}

// Runs after every typed, pasted or undone change, before the edit shows it.
void CPrintRangeDlg::checkTypedCode(int editId, int nextId) {
    if (writingCodeText)
        return;
    char text[kCodeTextSize] = {};
    GetDlgItemText(editId, text, sizeof text);
    switch (kestra::checkCodeText(text)) {
    case kestra::CodeText::NotHex:
        takeBackChange(editId);
        break;
    case kestra::CodeText::Complete:
        GotoDlgCtrl(GetDlgItem(nextId));
        break;
    case kestra::CodeText::NotEudc:
        showError(IDS_INVALID_EUDC_CODE);
        setCodeText(editId, "");
        break;
    case kestra::CodeText::Partial:
        break;
    }
}

// Undo restores the text from before the change, which passed this check; the
// undo's own update is not checked again, since undoing an undo would bring the
// character back. Should the control's history not give hexadecimal text (it
// was kept from elsewhere), the code is typed afresh.
void CPrintRangeDlg::takeBackChange(int editId) {
    const bool outer = writingCodeText;
    writingCodeText = true;
    SendDlgItemMessage(editId, EM_UNDO);
    SendDlgItemMessage(editId, EM_EMPTYUNDOBUFFER);
    writingCodeText = outer;
    char text[kCodeTextSize] = {};
    GetDlgItemText(editId, text, sizeof text);
    if (kestra::checkCodeText(text) == kestra::CodeText::NotHex)
        setCodeText(editId, "");
}

void CPrintRangeDlg::OnOK() {
    if (GetCheckedRadioButton(IDC_RANGE_ALL, IDC_RANGE_CODES) == IDC_RANGE_CODES) {
        uint16_t start = 0;
        uint16_t end = 0;
        if (!checkRangeForOk(start, end))
            return;
        appState.printAll = 0;
        appState.rangeStartCode = start;
        appState.rangeEndCode = end;
    } else {
        appState.printAll = 1;
    }
    readAnnotations();
    // The template's controls carry no data exchange of their own.
    EndDialog(IDOK);
}

// Tells the user what keeps the typed range from being taken, if anything.
bool CPrintRangeDlg::checkRangeForOk(uint16_t& start, uint16_t& end) {
    char startText[kCodeTextSize] = {};
    char endText[kCodeTextSize] = {};
    GetDlgItemText(IDC_FROM_CODE, startText, sizeof startText);
    GetDlgItemText(IDC_TO_CODE, endText, sizeof endText);
    switch (kestra::checkRangeTexts(startText, endText, start, end)) {
    case kestra::RangeText::Accepted:
        return true;
    case kestra::RangeText::StartIncomplete:
        showError(IDS_START_CODE_INCOMPLETE);
        return false;
    case kestra::RangeText::EndIncomplete:
        showError(IDS_END_CODE_INCOMPLETE);
        return false;
    case kestra::RangeText::StartInvalid:
    case kestra::RangeText::EndInvalid:
        // Typing cannot leave such a code; refuse it rather than print nothing.
        showError(IDS_INVALID_EUDC_CODE);
        return false;
    case kestra::RangeText::StartAfterEnd:
        showError(IDS_START_AFTER_END);
        return false;
    }
    return false;
}

void CPrintRangeDlg::readAnnotations() {
    for (int i = 0; i < appState.annotatableImeCount; ++i)
        appState.annotate[i] = SendDlgItemMessage(IDC_IME_LIST, LB_GETSEL, i) >= 1 ? 1 : 0;
}

void CPrintRangeDlg::showError(UINT stringId) {
    MessageBox(LoadResourceString(stringId).c_str(), nullptr, MB_OK | MB_ICONERROR);
}
