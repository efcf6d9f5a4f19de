#include "dialogs/font_select_dlg.h"

#include <climits>
#include <cstring>
#include <string>

#include "fw/gdi_object.h"
#include "fw/resource_text.h"
#include "fw/win_app.h"
#include "eudc/big5_string.h"
#include "res/resource.h"

static_assert(ODA_DRAWENTIRE == kestra::kDrawEntire && ODA_SELECT == kestra::kDrawSelect &&
              ODA_FOCUS == kestra::kDrawFocus);
static_assert(ODS_SELECTED == kestra::kStateSelected && ODS_DISABLED == kestra::kStateDisabled &&
              ODS_FOCUS == kestra::kStateFocus);
static_assert(kestra::kFaceSlotSize == LF_FACESIZE);
static_assert(sizeof(kestra::FontEntry) == 288);

namespace {

constexpr char kEudcKey[] = "EUDC\\950";
// The registry value is read with MAX_PATH bytes; the path kept is shorter.
constexpr DWORD kValueCapacity = MAX_PATH;

constexpr int kRowHeight = 20;
constexpr int kMarkLeft = 2;
constexpr int kMarkSize = 20;
constexpr int kFaceNameLeft = 26;
constexpr int kFileNameRightMargin = 2;

// Deletes a GDI object at the end of its scope; select it out first.
class GdiObjectKeeper {
  public:
    explicit GdiObjectKeeper(HGDIOBJ object) : m_object(object) {}
    ~GdiObjectKeeper() {
        if (m_object)
            DeleteObject(m_object);
    }
    GdiObjectKeeper(const GdiObjectKeeper&) = delete;
    GdiObjectKeeper& operator=(const GdiObjectKeeper&) = delete;

  private:
    HGDIOBJ m_object;
};

template <typename T> void releaseBlock(HGLOBAL& block, T*& locked) {
    if (block) {
        if (locked)
            GlobalUnlock(block);
        GlobalFree(block);
    }
    block = nullptr;
    locked = nullptr;
}

bool isFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The path as the system finds the file: environment variables (a value of
// type REG_EXPAND_SZ, or "%SystemRoot%" on Windows 9x) expanded, and a bare
// file name looked for in the fonts folder.
bool eudcFileExists(const char* path) {
    char expanded[MAX_PATH] = {};
    const DWORD length = ExpandEnvironmentStringsA(path, expanded, sizeof expanded);
    if (length == 0 || length > sizeof expanded)
        return isFile(path);
    if (isFile(expanded))
        return true;
    if (std::strpbrk(expanded, "\\/:"))
        return false;
    char fonts[MAX_PATH] = {};
    const UINT folder = GetWindowsDirectoryA(fonts, sizeof fonts);
    return folder > 0 && folder < sizeof fonts &&
           isFile((std::string(fonts) + "\\Fonts\\" + expanded).c_str());
}

void blitMark(HDC dc, HBITMAP mark, int x, int y) {
    if (!mark)
        return;
    const HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    const HGDIOBJ displaced = SelectObject(memory, mark);
    BitBlt(dc, x, y, kMarkSize, kMarkSize, memory, 0, 0, MERGECOPY);
    SelectObject(memory, displaced);
    DeleteDC(memory);
}

void drawShortFileName(HDC dc, const char* eudcFile, int right, int y) {
    char work[kestra::kPathSize] = {};
    kestra::copyBounded(work, eudcFile);
    CharUpperA(work);
    const char* name = kestra::cutToShortFileName(work);
    const int length = static_cast<int>(std::strlen(name));
    SIZE extent{};
    GetTextExtentPoint32A(dc, name, length, &extent);
    TextOutA(dc, right - extent.cx - kFileNameRightMargin, y, name, length);
}

} // namespace

BEGIN_MESSAGE_MAP(CFontSelectDlg, CDialog)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CFontSelectDlg::CFontSelectDlg() : CDialog(IDD_FONT_SELECT) {}

CFontSelectDlg::~CFontSelectDlg() {
    releaseBlock(fontNameList, m_slots);
    releaseBlock(fontEntries, m_entries);
}

BOOL CFontSelectDlg::OnInitDialog() {
    entryCount = 0;
    const HDC dc = ::GetDC(m_hWnd);
    // Without memory for the lists there is nothing to offer, and saying that
    // no EUDC file is linked would be untrue: the dialog just ends.
    const bool listsReady = gatherFaceNames(dc) && createEntries();
    if (listsReady) {
        kestra::sortFaceSlots(m_slots, fontNameCount);
        kestra::copyBounded(m_slots[0], LoadResourceString(IDS_SYSTEM_DEFAULT_EUDC).c_str());
        readEudcLinks();
    }
    if (entryCount == 0) {
        if (listsReady)
            MessageBox(LoadResourceString(IDS_NO_EUDC_ASSOCIATION).c_str(), nullptr,
                       MB_OK | MB_ICONERROR);
        OnCancel();
    } else {
        fillList();
    }
    if (dc)
        ::ReleaseDC(m_hWnd, dc);
    return TRUE;
}

bool CFontSelectDlg::gatherFaceNames(HDC dc) {
    // A dialog object run a second time starts its lists afresh.
    releaseBlock(fontNameList, m_slots);
    releaseBlock(fontEntries, m_entries);
    fontNameList = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kestra::kFaceSlotSize);
    if (!fontNameList)
        return false;
    fontNameCount = 1;
    if (dc)
        EnumFontsA(dc, nullptr, FontEnumProc, reinterpret_cast<LPARAM>(this));
    return true;
}

int CALLBACK CFontSelectDlg::FontEnumProc(const LOGFONTA* font, const TEXTMETRICA*, DWORD fontType,
                                          LPARAM list) {
    if (!kestra::isListedFace(font->lfCharSet, fontType, font->lfFaceName))
        return 1;
    // Out of memory (or of slots the count can number): offer what was gathered.
    return reinterpret_cast<CFontSelectDlg*>(list)->appendFaceName(font->lfFaceName) ? 1 : 0;
}

bool CFontSelectDlg::appendFaceName(const char* faceName) {
    if (fontNameCount == SHRT_MAX)
        return false;
    const SIZE_T grownSize = static_cast<SIZE_T>(fontNameCount + 1) * kestra::kFaceSlotSize;
    const HGLOBAL grown = GlobalReAlloc(fontNameList, grownSize, GMEM_MOVEABLE);
    if (!grown)
        return false; // the old block is still ours, names and all
    fontNameList = grown;
    auto* names = static_cast<kestra::FaceSlot*>(GlobalLock(fontNameList));
    if (!names)
        return false;
    kestra::copyBounded(names[fontNameCount], kestra::kFaceSlotSize, faceName);
    GlobalUnlock(fontNameList);
    ++fontNameCount;
    return true;
}

bool CFontSelectDlg::createEntries() {
    m_slots = static_cast<kestra::FaceSlot*>(GlobalLock(fontNameList));
    if (!m_slots)
        return false;
    const SIZE_T size = static_cast<SIZE_T>(fontNameCount) * sizeof(kestra::FontEntry);
    fontEntries = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!fontEntries)
        return false;
    m_entries = static_cast<kestra::FontEntry*>(GlobalLock(fontEntries));
    return m_entries != nullptr;
}

void CFontSelectDlg::readEudcLinks() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kEudcKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    // Without EnableEUDC the default face's own link cannot be taken away,
    // so a table of the system default EUDC font could not be printed true:
    // the program then left the label empty, and the row is not offered.
    const char* standardLabel = kestra::appState.standardEudcLabel;
    for (int k = 0; k < fontNameCount; ++k) {
        // One byte more than offered, so data of any type ends in a NUL.
        char value[kValueCapacity + 1] = {};
        DWORD size = kValueCapacity;
        if (RegQueryValueExA(key, m_slots[k], nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                             &size) == ERROR_SUCCESS)
            addEntry(m_slots[k], value, standardLabel);
    }
    RegCloseKey(key);
}

void CFontSelectDlg::addEntry(const char* valueName, const char* value, const char* standardLabel) {
    // Slot 0 holds the value name of the system default EUDC font.
    const bool standard = kestra::equalsIgnoringAsciiCase(valueName, m_slots[0]);
    if (standard && standardLabel[0] == '\0')
        return;
    kestra::FontEntry& row = m_entries[entryCount];
    char windowsDirectory[kestra::kPathSize] = {};
    const char* directory = nullptr;
    if (kestra::needsSystemRootExpansion(value, kestra::appState.platform)) {
        const UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
        if (length > 0 && length < sizeof windowsDirectory)
            directory = windowsDirectory;
    }
    if (!kestra::formEudcFilePath(value, kestra::appState.platform, directory, row.eudcFile))
        return;
    kestra::copyBounded(row.faceName, standard ? standardLabel : valueName);
    ++entryCount;
}

void CFontSelectDlg::fillList() {
    SendDlgItemMessage(IDC_FONT_LIST, LB_SETITEMHEIGHT, 0, kRowHeight);
    // The list holds no strings: item k stands for row k.
    for (int k = 0; k < entryCount; ++k)
        SendDlgItemMessage(IDC_FONT_LIST, LB_ADDSTRING, 0, k);
    SendDlgItemMessage(IDC_FONT_LIST, LB_SETCURSEL, 0);
}

const kestra::FontEntry* CFontSelectDlg::rowAt(UINT position) const {
    if (!m_entries || position >= static_cast<UINT>(entryCount))
        return nullptr;
    return &m_entries[position];
}

void CFontSelectDlg::OnOK() {
    const LRESULT position = SendDlgItemMessage(IDC_FONT_LIST, LB_GETCURSEL);
    const kestra::FontEntry* row =
        position == LB_ERR ? nullptr : rowAt(static_cast<UINT>(position));
    if (!row) {
        OnCancel();
        return;
    }
    // The table of a face whose file is gone would name that file and show
    // no glyph: the user hears of it while another row can still be chosen.
    if (!eudcFileExists(row->eudcFile) && !goOnWithoutFile(row->eudcFile))
        return;
    kestra::copyBounded(chosenFace, row->faceName);
    kestra::copyBounded(chosenEudcFile, row->eudcFile);
    EndDialog(IDOK);
}

bool CFontSelectDlg::goOnWithoutFile(const char* path) {
    const std::string text = FormatResourceString1(IDS_EUDC_FILE_MISSING, path);
    return MessageBox(text.c_str(), nullptr, MB_YESNO | MB_ICONWARNING) == IDYES;
}

void CFontSelectDlg::OnDrawItem(int, LPDRAWITEMSTRUCT draw) {
    // An empty list's focus rectangle (item -1) is no row: nothing to draw.
    const kestra::FontEntry* row =
        draw && draw->CtlID == IDC_FONT_LIST ? rowAt(draw->itemID) : nullptr;
    if (!row)
        return;
    const HDC dc = draw->hDC;
    const RECT& item = draw->rcItem;

    CBrush navy;
    navy.CreateSolidBrush(kestra::kNavy);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);

    const kestra::RowLook look = kestra::chooseRowLook(draw->itemAction, draw->itemState);
    const HBRUSH fill = look.highlighted ? static_cast<HBRUSH>(navy)
                                         : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    FillRect(dc, &item, fill);
    const HBITMAP mark =
        LoadBitmapA(AfxGetResourceHandle(), look.highlighted ? "TTFLOGO2" : "TTFLOGO1");
    const GdiObjectKeeper markKeeper(mark);
    const COLORREF oldColour = SetTextColor(dc, look.textColour);

    blitMark(dc, mark, item.left + kMarkLeft, item.top);
    const int dy = (item.bottom - item.top + 1 - metrics.tmHeight) / 2;
    TextOutA(dc, item.left + kFaceNameLeft, item.top + dy, row->faceName,
             static_cast<int>(std::strlen(row->faceName)));
    drawShortFileName(dc, row->eudcFile, item.right, item.top + dy);

    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}
