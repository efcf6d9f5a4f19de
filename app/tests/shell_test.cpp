// The program's own frame, document and view, driven by messages: the start-up
// facts, the enabling rule, printing, preview and the window's drawing.
#include "app/tests/program_fixture.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/platform_facts.h"

#include "eudc/app_state.h"
#include "fw/dc.h"
#include "fw/print_info.h"
#include "fw/tests/wine_test_support.h"
#include "res/resource.h"

namespace {

using kestra::appState;

using programtest::app;
using programtest::chooseFace;
using programtest::pagesIn;
using testsupport::BoxCloser;

class Shell : public programtest::ProgramTest {
  protected:
    bool greyed(int popup, UINT id) {
        HMENU menu = GetSubMenu(GetMenu(frame->m_hWnd), popup);
        SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), popup);
        return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
    }
};

TEST_F(Shell, MainFrameLearnsThePlatformEnableEudcAndTheFaceNames) {
    EXPECT_EQ(appState.platform, 2) << "Wine reports the NT family";
    EXPECT_NE(appState.enableEudc, nullptr);
    EXPECT_STREQ(appState.defaultFaceName, "\xB2\xD3\xA9\xFA\xC5\xE9");           // 細明體
    EXPECT_STREQ(appState.standardEudcLabel, "\xBC\xD0\xB7\xC7\xB3\x79\xA6\x72"); // 標準造字
}

TEST_F(Shell, MainFrameDiscoversTheBedsPhoneticAndCangjie) {
    ASSERT_EQ(appState.annotatableImeCount, 2);
    EXPECT_EQ(appState.imeTable[0].layoutId, kestra::kPhoneticLayoutId);
    EXPECT_EQ(appState.imeTable[1].layoutId, kestra::kCangjieLayoutId);
    EXPECT_NE(appState.phoneticRoots[0][0][0], 0) << "FA40 has a reading in the sample dictionary";
}

TEST_F(Shell, RangeAndPrintCommandsAreGreyUntilAFaceIsChosenAndAboutAlways) {
    EXPECT_FALSE(greyed(0, ID_SET_FONT));
    EXPECT_TRUE(greyed(0, ID_SET_RANGE));
    EXPECT_TRUE(greyed(0, ID_FILE_PRINT));
    EXPECT_TRUE(greyed(0, ID_FILE_PRINT_PREVIEW));
    EXPECT_FALSE(greyed(0, ID_FILE_PRINT_SETUP));
    EXPECT_FALSE(greyed(0, ID_APP_EXIT));
    EXPECT_FALSE(greyed(1, ID_NOTES));
    EXPECT_TRUE(greyed(1, ID_APP_ABOUT));

    chooseFace(1);
    EXPECT_FALSE(greyed(0, ID_SET_RANGE));
    EXPECT_FALSE(greyed(0, ID_FILE_PRINT));
    EXPECT_FALSE(greyed(0, ID_FILE_PRINT_PREVIEW));
    EXPECT_TRUE(greyed(1, ID_APP_ABOUT));
}

TEST_F(Shell, PrintDirectPrintsThePagesTheLayoutCounts) {
    chooseFace(200); // 196 cells fit on A4 without annotation: two pages
    SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(view->columns, 7);
    EXPECT_EQ(view->rows, 28);
    EXPECT_EQ(view->cellsPerPage, 196);
    EXPECT_EQ(view->pageCount, 2);
    EXPECT_EQ(view->currentPage, 2);
    ASSERT_TRUE(testsupport::fileExists(output));
    EXPECT_EQ(pagesIn(testsupport::readFile(output)), 2);
}

TEST_F(Shell, PreviewPaginatesLikePaperPrintsNothingAndReturnsToTheWindow) {
    chooseFace(6217);
    app().SetPreviewPageCount(2);
    // Closing the frame while the preview is up ends the preview first.
    PostMessageA(frame->m_hWnd, WM_CLOSE, 0, 0);
    SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    EXPECT_EQ(view->cellsPerPage, 196);
    EXPECT_EQ(view->pageCount, 32);
    EXPECT_FALSE(testsupport::fileExists(output));
    ASSERT_EQ(app().m_pMainWnd, frame);
    EXPECT_TRUE(GetWindowLongA(view->m_hWnd, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(app().GetPreviewPageCount(), 2u) << "the page choice is kept";
}

TEST_F(Shell, PrintDirectIsDroppedWithoutAFace) {
    BoxCloser closer;
    SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    SendMessageA(frame->m_hWnd, WM_COMMAND, ID_APP_ABOUT, 0);
    EXPECT_FALSE(testsupport::fileExists(output));
    EXPECT_EQ(view->pageCount, 0) << "the job never began";
    EXPECT_EQ(closer.closed(), 0) << "no dialog or box appeared";
}

TEST_F(Shell, APageTooSmallForOneCellIsRefusedWithAMessage) {
    chooseFace(10);
    // Thirty-two annotating Phonetic input methods need 4 m of width.
    appState.annotatableImeCount = kestra::kMaxImes;
    for (int i = 0; i < kestra::kMaxImes; ++i) {
        appState.imeTable[i].layoutId = kestra::kPhoneticLayoutId;
        appState.annotate[i] = 1;
    }
    BoxCloser closer;
    SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    testsupport::pumpMessages(300);
    EXPECT_EQ(view->columns, 0);
    EXPECT_FALSE(testsupport::fileExists(output));
    EXPECT_GE(closer.closed(), 1) << "the user is told why";
    EXPECT_TRUE(frame->IsWindowEnabled());
}

TEST_F(Shell, PrintingSwitchesToTenthsOfMillimetresAndTheScreenStaysInPixels) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    CDC dc;
    dc.SetOutputDC(memory);
    dc.SetAttribDC(memory);
    view->OnPrepareDC(&dc);
    EXPECT_EQ(GetMapMode(memory), MM_TEXT);
    dc.SetPrinting(TRUE);
    CPrintInfo info;
    view->OnPrepareDC(&dc, &info);
    EXPECT_EQ(GetMapMode(memory), MM_LOMETRIC);
    dc.ReleaseOutputDC();
    dc.ReleaseAttribDC();
    DeleteDC(memory);
}

// Draws the view into a white bitmap the size of its client area.
int darkPixelsDrawnBy(CKestraView* view) {
    RECT client{};
    view->GetClientRect(&client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, client.right, client.bottom, WHITENESS);
    {
        CDC dc;
        dc.SetOutputDC(memory);
        dc.SetAttribDC(memory);
        view->OnDraw(&dc);
        dc.ReleaseOutputDC();
        dc.ReleaseAttribDC();
    }
    int dark = 0;
    for (int y = 0; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 2)
            dark += GetRValue(GetPixel(memory, x, y)) < 128;
    SelectObject(memory, kept);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return dark;
}

TEST_F(Shell, WindowShowsTheFaceOnlyOnceOneIsChosenAndReleasesItsFont) {
    SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 600, 400, SWP_NOZORDER);
    const DWORD before = testsupport::gdiObjectCount();
    EXPECT_EQ(darkPixelsDrawnBy(view), 0);
    chooseFace(1);
    EXPECT_GT(darkPixelsDrawnBy(view), 20);
    EXPECT_EQ(testsupport::gdiObjectCount(), before);
}

// Stand-ins for the modules GDI32 is looked for in, noting each name asked.
std::vector<std::string> namesAsked;
UINT bedSystemDirectory(char* buffer, UINT size) {
    return GetSystemDirectoryA(buffer, size);
}
// The system folder of a 32-bit program on 64-bit Windows: not where its GDI32 is.
UINT otherSystemDirectory(char* buffer, UINT size) {
    lstrcpynA(buffer, "C:\\windows\\system32-elsewhere", static_cast<int>(size));
    return static_cast<UINT>(lstrlenA(buffer));
}
HMODULE loadedHandle(const char* name) {
    namesAsked.push_back(name);
    return GetModuleHandleA(name);
}
HMODULE noHandle(const char* name) {
    namesAsked.push_back(name);
    return nullptr;
}

TEST(EnableEudcLookup, ByFullPathFirstThenByNameAloneAndOtherwiseNone) {
    const auto real =
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("gdi32.dll"), "EnableEUDC"));
    ASSERT_NE(real, nullptr);
    struct Case {
        const char* what;
        LoadedModules modules;
        bool found;
        size_t namesAsked;
    };
    const Case cases[] = {
        {"found by its path", {bedSystemDirectory, loadedHandle}, true, 1},
        {"found by its name only", {otherSystemDirectory, loadedHandle}, true, 2},
        {"found by neither", {bedSystemDirectory, noHandle}, false, 2},
    };
    for (const Case& c : cases) {
        namesAsked.clear();
        const auto found = reinterpret_cast<void (*)()>(findEnableEudc(c.modules));
        EXPECT_EQ(found, c.found ? real : nullptr) << c.what;
        ASSERT_EQ(namesAsked.size(), c.namesAsked) << c.what;
        EXPECT_NE(namesAsked[0].find("\\GDI32.DLL"), std::string::npos) << c.what;
        if (c.namesAsked == 2) {
            EXPECT_EQ(namesAsked[1], "GDI32.DLL") << c.what;
        }
    }
}

const LoadedModules kNoModules{bedSystemDirectory, noHandle};

// A start on a system whose GDI32 offers no EnableEUDC.
class StartWithoutEnableEudc : public programtest::ProgramTest {
  protected:
    void SetUp() override {
        startUpModules = &kNoModules;
        {
            BoxCloser closer;
            ProgramTest::SetUp();
            boxes = closer.closed();
            boxText = closer.lastText();
        }
        startUpModules = &kSystemModules;
    }
    int boxes = 0;
    std::string boxText;
};

const char kFontCaption[] = "\xB3\x5D\xA9\x77\xA6\x72\xA7\xCE";                  // 設定字形
const char kRangeCaption[] = "\xB3\x5D\xA9\x77\xA6\x43\xA6\x4C\xBD\x64\xB3\xF2"; // 設定列印範圍

TEST_F(StartWithoutEnableEudc, SaysSoThenOffersNoStandardRowAndNoInputMethod) {
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(boxText, "EnableEUDC function failure!");
    EXPECT_EQ(appState.enableEudc, nullptr);
    EXPECT_EQ(appState.annotatableImeCount, 0) << "no input method discovered";

    LRESULT rows = -1, inputMethods = -1;
    std::thread user([&] {
        const DWORD self = GetCurrentProcessId();
        if (HWND font = testsupport::waitForWindow(self, kFontCaption, 5000)) {
            rows = SendDlgItemMessageA(font, IDC_FONT_LIST, LB_GETCOUNT, 0, 0);
            PostMessageA(font, WM_COMMAND, IDOK, 0);
        }
        if (HWND range = testsupport::waitForWindow(self, kRangeCaption, 5000)) {
            inputMethods = SendDlgItemMessageA(range, IDC_IME_LIST, LB_GETCOUNT, 0, 0);
            PostMessageA(range, WM_COMMAND, IDCANCEL, 0);
        }
    });
    command(ID_SET_FONT);
    user.join();
    // The bed links "SystemDefaultEUDCFont" and one face of its own.
    EXPECT_EQ(rows, 1) << "the face alone, without 標準造字";
    EXPECT_STREQ(appState.fontFace, "AR PL UMing TW");
    EXPECT_EQ(inputMethods, 0);
}

} // namespace
