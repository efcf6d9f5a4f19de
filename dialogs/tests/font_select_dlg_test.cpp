// The font dialog run modally on the test bed while a helper thread plays the
// user. Each test changes "EUDC\950" in this program's own prefix copy and
// the fixture puts the bed's links back.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dialogs/font_select_dlg.h"
#include "eudc/app_state.h"
#include "fw/resource_text.h"
#include "fw/tests/wine_test_support.h"
#include "res/resource.h"

namespace {

using kestra::appState;
using testsupport::WindowShot;

constexpr char kEudcKey[] = "EUDC\\950";
constexpr char kStandardLabel[] = "\xBC\xD0\xB7\xC7\xB3\x79\xA6\x72"; // 標準造字
constexpr char kAppTitle[] = "\xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1";      // 列印程式
constexpr char kDialogTitle[] = "\xB3\x5D\xA9\x77\xA6\x72\xA7\xCE";   // 設定字形
constexpr char kDefaultFace[] = "\xB2\xD3\xA9\xFA\xC5\xE9";           // 細明體
constexpr char kSquare[] = "C:\\windows\\Fonts\\EUDC.TTE";
constexpr char kRing[] = "C:\\windows\\Fonts\\EUDCRING.TTE";
constexpr int kRowHeight = 20;
// A message box's text is its static control 0xFFFF; the font dialog is
// known by its list.
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kMessageBoxIcon = 0x0440;

using Rows = std::vector<std::pair<std::string, std::string>>;

// Records the rows and every row painting before handing it on.
class ObservedFontDialog : public CFontSelectDlg {
  public:
    Rows rows() const {
        Rows all;
        for (int k = 0; k < entryCount; ++k) {
            const kestra::FontEntry* row = rowAt(static_cast<UINT>(k));
            all.emplace_back(row->faceName, row->eudcFile);
        }
        return all;
    }
    void OnDrawItem(int controlId, LPDRAWITEMSTRUCT draw) {
        ++drawn;
        CFontSelectDlg::OnDrawItem(controlId, draw);
    }
    std::atomic<int> drawn{0};

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ObservedFontDialog, CFontSelectDlg)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

// Plays the user on the next visible dialog box of this process that has
// control `knownBy`, from a thread of its own.
class UserAt {
  public:
    UserAt(int knownBy, std::function<void(HWND)> act)
        : knownBy_(knownBy), act_(std::move(act)), thread_([this] { run(); }) {}
    ~UserAt() { acted(); }
    UserAt(const UserAt&) = delete;
    UserAt& operator=(const UserAt&) = delete;
    // Call once the dialog has ended.
    bool acted() {
        if (thread_.joinable())
            thread_.join();
        return acted_;
    }

  private:
    static BOOL CALLBACK match(HWND hwnd, LPARAM lParam) {
        auto* self = reinterpret_cast<UserAt*>(lParam);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        char cls[16] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (owner != GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
            std::string(cls) != "#32770" || !GetDlgItem(hwnd, self->knownBy_))
            return TRUE;
        self->found_ = hwnd;
        return FALSE;
    }
    void run() {
        for (int tries = 0; tries < 200 && !found_; ++tries) {
            EnumWindows(match, reinterpret_cast<LPARAM>(this));
            if (!found_)
                Sleep(50);
        }
        if (!found_)
            return;
        Sleep(300); // let it paint
        act_(found_);
        acted_ = true;
    }

    int knownBy_;
    std::function<void(HWND)> act_;
    HWND found_ = nullptr;
    std::atomic<bool> acted_{false};
    std::thread thread_;
};

void pressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
void pressOk(HWND dialog) {
    pressButton(dialog, IDOK);
}
void selectRow(HWND dialog, int row) {
    SendDlgItemMessageA(dialog, IDC_FONT_LIST, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}
std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class FontDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        appState.platform = 2;
        kestra::copyBounded(appState.standardEudcLabel, kStandardLabel);
    }
    // The bed's own links, whatever the test did to the key.
    void TearDown() override {
        deleteKey();
        link("SystemDefaultEUDCFont", kSquare);
        link("AR PL UMing TW", kRing);
        link(kDefaultFace, kRing);
    }

    static void link(const std::string& face, const std::string& path) {
        EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kEudcKey, face.c_str(), REG_SZ, path.c_str(),
                                  static_cast<DWORD>(path.size() + 1)),
                  ERROR_SUCCESS);
    }
    static void deleteKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kEudcKey); }
    static void emptyKey() {
        deleteKey();
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kEudcKey, &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

TEST_F(FontDialog, ListsTheStandardRowFirstThenTheLinkedBig5FacesInByteOrder) {
    link("Kestra EUDC Ring", kRing);
    link("AR PL UMing TW MBE", kRing);
    link("AR PL UMing HK", "%SystemRoot%\\Fonts\\EUDC.TTE");
    // Never listed: a vertical face, a face without Big5, a face not installed.
    link("@AR PL UMing TW", kRing);
    link("Liberation Sans", kRing);
    link("Kestra Not Installed", kRing);

    LRESULT count = -1, selected = -1;
    LONG listStyle = 0;
    std::string caption;
    UserAt user(IDC_FONT_LIST, [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_FONT_LIST);
        count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
        listStyle = GetWindowLongA(list, GWL_STYLE);
        caption = windowText(dialog);
        pressOk(dialog);
    });
    ObservedFontDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_TRUE(user.acted()) << "the dialog did not appear";

    // 細明體 has a value but is only a substitute on the bed, not a face of its own.
    EXPECT_EQ(dialog.rows(), (Rows{{kStandardLabel, kSquare},
                                   {"AR PL UMing HK", kSquare},
                                   {"AR PL UMing TW", kRing},
                                   {"AR PL UMing TW MBE", kRing},
                                   {"Kestra EUDC Ring", kRing}}));
    EXPECT_EQ(count, 5);
    EXPECT_EQ(selected, 0);
    EXPECT_STREQ(dialog.chosenFace, kStandardLabel);
    EXPECT_STREQ(dialog.chosenEudcFile, kSquare);

    EXPECT_EQ(caption, kDialogTitle);
    // Not WS_BORDER: Wine's list takes that bit off and draws the border itself.
    const LONG wanted =
        LBS_OWNERDRAWFIXED | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
    EXPECT_EQ(listStyle & wanted, wanted);
    EXPECT_EQ(listStyle & LBS_HASSTRINGS, 0) << "the list keeps no strings";
}

TEST_F(FontDialog, TheSystemDefaultFontAloneGivesOneRowUnlessItsLabelIsMissing) {
    emptyKey();
    link("SystemDefaultEUDCFont", kSquare);
    UserAt user(IDC_FONT_LIST, [](HWND dialog) { pressOk(dialog); });
    ObservedFontDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_TRUE(user.acted());
    EXPECT_EQ(dialog.rows(), (Rows{{kStandardLabel, kSquare}}));
    EXPECT_STREQ(dialog.chosenFace, kStandardLabel);

    // Without EnableEUDC the program leaves the label empty: no row to offer.
    link("AR PL UMing TW", kRing);
    appState.standardEudcLabel[0] = '\0';
    UserAt again(IDC_FONT_LIST, [](HWND dialog) { pressOk(dialog); });
    ObservedFontDialog without;
    EXPECT_EQ(without.DoModal(), IDOK);
    ASSERT_TRUE(again.acted());
    EXPECT_EQ(without.rows(), (Rows{{"AR PL UMing TW", kRing}}));
}

TEST_F(FontDialog, OkReturnsTheSelectedRowWithSystemRootExpandedOnTheNtFamilyOnly) {
    link("AR PL UMing HK", "%SYSTEMROOT%\\Fonts\\Eudc.tte");
    for (const int platform : {1, 2}) {
        SCOPED_TRACE(platform);
        appState.platform = platform;
        UserAt user(IDC_FONT_LIST, [](HWND dialog) {
            selectRow(dialog, 1);
            pressOk(dialog);
        });
        ObservedFontDialog dialog;
        EXPECT_EQ(dialog.DoModal(), IDOK);
        ASSERT_TRUE(user.acted());
        EXPECT_STREQ(dialog.chosenFace, "AR PL UMing HK");
        EXPECT_STREQ(dialog.chosenEudcFile, platform == 2 ? "C:\\windows\\Fonts\\Eudc.tte"
                                                          : "%SYSTEMROOT%\\Fonts\\Eudc.tte");
    }
}

// The user may go on (Yes) or choose again (No, then Cancel here).
TEST_F(FontDialog, AMissingEudcFileIsSaidWhenItsRowIsChosen) {
    link("AR PL UMing HK", "C:\\windows\\Fonts\\GONE.TTE");
    for (const int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer);
        std::string said;
        UserAt user(IDC_FONT_LIST, [](HWND dialog) {
            selectRow(dialog, 1);
            pressOk(dialog);
        });
        UserAt box(kMessageBoxIcon, [&](HWND box) {
            said = windowText(GetDlgItem(box, kMessageBoxText));
            const HWND dialog = GetWindow(box, GW_OWNER);
            pressButton(box, answer);
            Sleep(300);
            if (IsWindow(dialog))
                pressButton(dialog, IDCANCEL);
        });
        ObservedFontDialog dialog;
        EXPECT_EQ(dialog.DoModal(), answer == IDYES ? IDOK : IDCANCEL);
        ASSERT_TRUE(box.acted());
        EXPECT_NE(said.find("GONE.TTE"), std::string::npos) << said;
        EXPECT_STREQ(dialog.chosenFace, answer == IDYES ? "AR PL UMing HK" : "");
    }
}

TEST_F(FontDialog, ValuesWhosePathDoesNotFitGiveNoRow) {
    const std::string folder = "C:\\windows\\Fonts\\";
    const auto pathOf = [&](size_t length) {
        return folder + std::string(length - folder.size(), 'A');
    };
    link("AR PL UMing HK", pathOf(300));     // more than the registry read takes
    link("Kestra EUDC Ring", pathOf(256));   // read whole, yet one byte too long to keep
    link("AR PL UMing TW MBE", pathOf(255)); // fits exactly
    // 257 bytes as written, 255 once "%SystemRoot%" is "C:\windows".
    const std::string relative = "%SystemRoot%" + pathOf(255).substr(10);
    link("AR PL UMing CN", relative);

    UserAt user(IDC_FONT_LIST, [](HWND dialog) { pressButton(dialog, IDCANCEL); });
    ObservedFontDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_TRUE(user.acted());
    EXPECT_EQ(dialog.rows(), (Rows{{kStandardLabel, kSquare},
                                   {"AR PL UMing CN", pathOf(255)},
                                   {"AR PL UMing TW", kRing},
                                   {"AR PL UMing TW MBE", pathOf(255)}}));
}

TEST_F(FontDialog, CancelEscapeCloseBoxAndOkWithoutSelectionEndAsCancelledWithEmptyResults) {
    const std::vector<std::pair<const char*, std::function<void(HWND)>>> ways = {
        {"Cancel", [](HWND dialog) { pressButton(dialog, IDCANCEL); }},
        {"Escape",
         [](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"OK without a selection",
         [](HWND dialog) {
             selectRow(dialog, -1);
             pressOk(dialog);
         }},
    };
    for (const auto& [name, act] : ways) {
        SCOPED_TRACE(name);
        UserAt user(IDC_FONT_LIST, act);
        ObservedFontDialog dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        ASSERT_TRUE(user.acted());
        EXPECT_STREQ(dialog.chosenFace, "");
        EXPECT_STREQ(dialog.chosenEudcFile, "");
    }
}

TEST_F(FontDialog, WithoutAnyLinkedRowItSaysSoAndCancelsUnshown) {
    const std::vector<std::pair<const char*, std::function<void()>>> beds = {
        {"no values", [] { emptyKey(); }},
        {"no key", [] { deleteKey(); }},
        {"values only for faces never listed",
         [] {
             emptyKey();
             link(kDefaultFace, kRing);
             link("@AR PL UMing TW", kRing);
             link("Liberation Sans", kRing);
         }},
    };
    for (const auto& [name, arrange] : beds) {
        SCOPED_TRACE(name);
        arrange();
        std::string text, caption;
        bool ownedByHiddenDialog = false, errorIcon = false, cancelShown = true;
        UserAt box(kMessageBoxText, [&](HWND shown) {
            char line[256] = {};
            GetDlgItemTextA(shown, kMessageBoxText, line, sizeof line);
            text = line;
            caption = windowText(shown);
            const HWND owner = GetWindow(shown, GW_OWNER);
            ownedByHiddenDialog = GetDlgItem(owner, IDC_FONT_LIST) && !IsWindowVisible(owner);
            errorIcon = SendDlgItemMessageA(shown, kMessageBoxIcon, STM_GETICON, 0, 0) ==
                        reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_HAND));
            cancelShown = IsWindowVisible(GetDlgItem(shown, IDCANCEL));
            pressOk(shown);
        });
        ObservedFontDialog dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        ASSERT_TRUE(box.acted()) << "no message box";
        EXPECT_EQ(text, LoadResourceString(IDS_NO_EUDC_ASSOCIATION));
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(caption, kAppTitle);
        EXPECT_TRUE(ownedByHiddenDialog);
        EXPECT_TRUE(errorIcon);
        EXPECT_FALSE(cancelShown);
        EXPECT_TRUE(dialog.rows().empty());
        EXPECT_STREQ(dialog.chosenFace, "");
    }
}

DWORD pixelAt(const WindowShot& shot, int x, int y) {
    return shot
        .pixels[static_cast<size_t>(y) * static_cast<size_t>(shot.width) + static_cast<size_t>(x)];
}
constexpr int kRightOfMark = 2 + 20;

// What lies right of the mark in one row: the columns that hold anything but
// the fill, and the extreme red values. The text is smoothed, so its pixels
// lie between its colour and the fill.
struct RowText {
    std::vector<int> columns;
    DWORD darkest = 0xFF;
    DWORD brightest = 0;
};
RowText rowText(const WindowShot& shot, int row, DWORD fill) {
    RowText text;
    for (int x = kRightOfMark; x < shot.width; ++x) {
        bool inked = false;
        for (int y = row * kRowHeight; y < (row + 1) * kRowHeight; ++y) {
            const DWORD pixel = pixelAt(shot, x, y);
            inked = inked || pixel != fill;
            text.darkest = std::min(text.darkest, pixel >> 16);
            text.brightest = std::max(text.brightest, pixel >> 16);
        }
        if (inked)
            text.columns.push_back(x);
    }
    return text;
}

constexpr DWORD kNavyPixel = 0x000080;
constexpr DWORD kWhitePixel = 0xFFFFFF;
constexpr DWORD kBlackPixel = 0x000000;
constexpr DWORD kGreyPixel = 0xC0C0C0;

// One row of a list capture: its fill, its mark drawn pixel for pixel at
// (2, top), its face name from x 26 and its short file name ending 2 pixels
// before the right edge, in the row's text colour.
void expectRowLook(const WindowShot& shot, int row, bool highlighted) {
    SCOPED_TRACE("row " + std::to_string(row));
    const int top = row * kRowHeight;
    const DWORD fill = highlighted ? kNavyPixel : kWhitePixel;
    EXPECT_EQ(pixelAt(shot, 0, top + 1), fill);
    EXPECT_EQ(pixelAt(shot, 2, top), fill) << "the mark's background";
    EXPECT_EQ(pixelAt(shot, 2 + 3, top + 3), kGreyPixel) << "the grey T's serif";
    EXPECT_EQ(pixelAt(shot, 2 + 7, top + 13), kGreyPixel) << "the grey T's stem";
    EXPECT_EQ(pixelAt(shot, 2 + 15, top + 8), kBlackPixel) << "the black T's serif";
    EXPECT_EQ(pixelAt(shot, 2 + 14, top + 16), kBlackPixel) << "the black T's foot";
    EXPECT_EQ(pixelAt(shot, 2 + 16, top + 16), fill);
    const RowText text = rowText(shot, row, fill);
    // White on navy; black on white, darker than a disabled row's grey could be.
    EXPECT_TRUE(highlighted ? text.brightest >= 0xC0 : text.darkest < 0x78)
        << "text not in the row's colour";
    ASSERT_FALSE(text.columns.empty()) << "no text";
    EXPECT_GE(text.columns.front(), 26) << "face name left of its place";
    EXPECT_LE(text.columns.front(), 30) << "face name right of its place";
    EXPECT_LE(text.columns.back(), shot.width - 3) << "file name not right-aligned 2 pixels in";
    EXPECT_GE(text.columns.back(), shot.width - 8) << "file name not right-aligned 2 pixels in";
}

TEST_F(FontDialog, PaintsTheSelectedRowWhiteOnNavyWithTheHighlightedMarkAndFollowsAClick) {
    link("AR PL UMing HK", "C:\\windows\\Fonts\\ABCDEFGHIJKLMNOPQRST.TTE");
    link("Kestra EUDC Ring", "%SystemRoot%\\Fonts\\EUDCRING.TTE");
    WindowShot opened, clicked, whole;
    UserAt user(IDC_FONT_LIST, [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_FONT_LIST);
        opened = testsupport::captureClient(list);
        whole = testsupport::captureClient(dialog);
        const LPARAM row2 = MAKELPARAM(60, 2 * kRowHeight + kRowHeight / 2);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, row2);
        PostMessageA(list, WM_LBUTTONUP, 0, row2);
        Sleep(300);
        clicked = testsupport::captureClient(list);
        pressOk(dialog);
    });
    ObservedFontDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_TRUE(user.acted());
    testsupport::keepShot(whole, "font_dialog");
    EXPECT_STREQ(dialog.chosenFace, "AR PL UMing TW") << "the clicked row";

    ASSERT_GE(opened.height, 4 * kRowHeight);
    expectRowLook(opened, 0, true);
    for (int row = 1; row < 4; ++row)
        expectRowLook(opened, row, false);
    expectRowLook(clicked, 0, false);
    expectRowLook(clicked, 1, false);
    expectRowLook(clicked, 2, true);
    EXPECT_EQ(pixelAt(opened, 1, 4 * kRowHeight + 2), kWhitePixel) << "below the rows";
}

// A page of its own to send WM_DRAWITEM requests with, filled beforehand with
// a colour no row uses.
class DrawPage {
  public:
    static constexpr int kWidth = 200;
    static constexpr DWORD kUnused = 0x00FF00;
    DrawPage() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kRowHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        kept_ = SelectObject(dc_, bitmap_);
    }
    ~DrawPage() {
        SelectObject(dc_, kept_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    DrawPage(const DrawPage&) = delete;
    DrawPage& operator=(const DrawPage&) = delete;

    // Sends the request to the dialog and returns the page's pixels.
    std::vector<DWORD> draw(HWND dialog, UINT itemId, UINT action, UINT state) {
        DWORD* pixels = static_cast<DWORD*>(bits_);
        GdiFlush();
        std::fill(pixels, pixels + kWidth * kRowHeight, kUnused);
        DRAWITEMSTRUCT request{ODT_LISTBOX,
                               IDC_FONT_LIST,
                               itemId,
                               action,
                               state,
                               GetDlgItem(dialog, IDC_FONT_LIST),
                               dc_,
                               {0, 0, kWidth, kRowHeight},
                               0};
        SendMessageA(dialog, WM_DRAWITEM, IDC_FONT_LIST, reinterpret_cast<LPARAM>(&request));
        GdiFlush();
        return std::vector<DWORD>(pixels, pixels + kWidth * kRowHeight);
    }

  private:
    void* bits_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ kept_ = nullptr;
};

bool contains(const std::vector<DWORD>& pixels, DWORD colour) {
    return std::find(pixels.begin(), pixels.end(), colour) != pixels.end();
}

TEST_F(FontDialog, RequestsForItemsThatAreNoRowsDrawNothingAndPaintingLeavesNoGdiObject) {
    ObservedFontDialog dialog; // rows 0 and 1 on the bed
    bool untouched = true, plainWhenSelectedAndFocused = false, greyWhenDisabled = false,
         navyOnFocus = false;
    DWORD before = 0, after = 0;
    int drawnMeanwhile = 0;
    UserAt user(IDC_FONT_LIST, [&](HWND shown) {
        DrawPage page;
        for (const UINT item : {static_cast<UINT>(-1), 2u, 9u}) {
            for (const UINT action : {ODA_DRAWENTIRE, ODA_FOCUS, ODA_SELECT}) {
                const std::vector<DWORD> pixels = page.draw(shown, item, action, ODS_FOCUS);
                untouched =
                    untouched && std::count(pixels.begin(), pixels.end(), DrawPage::kUnused) ==
                                     static_cast<long>(pixels.size());
            }
        }
        plainWhenSelectedAndFocused =
            page.draw(shown, 0, ODA_DRAWENTIRE, ODS_SELECTED | ODS_FOCUS)[0] == kWhitePixel;
        greyWhenDisabled = contains(page.draw(shown, 1, ODA_DRAWENTIRE, ODS_DISABLED), 0x808080);
        navyOnFocus = page.draw(shown, 1, ODA_FOCUS, 0)[0] == kNavyPixel;

        const HWND list = GetDlgItem(shown, IDC_FONT_LIST);
        const auto repaint = [&] {
            RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            page.draw(shown, 0, ODA_DRAWENTIRE, ODS_SELECTED);
            page.draw(shown, 1, ODA_FOCUS, 0);
        };
        repaint(); // whatever the system makes on first use is made now
        before = testsupport::gdiObjectCount();
        const int drawnBefore = dialog.drawn;
        for (int i = 0; i < 100; ++i)
            repaint();
        drawnMeanwhile = dialog.drawn - drawnBefore;
        after = testsupport::gdiObjectCount();
        pressButton(shown, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_TRUE(user.acted());
    EXPECT_TRUE(untouched) << "an item that is no row was drawn";
    EXPECT_TRUE(plainWhenSelectedAndFocused);
    EXPECT_TRUE(greyWhenDisabled);
    EXPECT_TRUE(navyOnFocus);
    EXPECT_GE(drawnMeanwhile, 100 * 4) << "the list was not repainted";
    EXPECT_GT(before, 0u);
    EXPECT_EQ(after, before) << "painting rows leaks GDI objects";
}

} // namespace
