// The real Kestra.exe driven from outside, as a user meets it: the font
// dialog, the range dialog, printing, and what the program does to the
// user's EUDC links in the registry, a kill included. The printed job is kept
// in KESTRA_TEST_OUTPUT, where check_user_flow.sh reads it once Wine exits.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include <dlgs.h>

#include "app/tests/page_pixels.h"
#include "app/tests/program_fixture.h"
#include "app/tests/user_driver.h"
#include "eudc/app_state.h"
#include "fw/fw_ids.h"
#include "fw/tests/wine_test_support.h"
#include "res/resource.h"

namespace {

using namespace userdriver;
using programtest::pagesIn;

const char kEudcKey[] = "EUDC\\950";
const char kCopiesKey[] = "Software\\Kestra\\Removed EUDC links";
const char kHoldersKey[] = "Software\\Kestra\\EUDC link holders";
const char kProgramKey[] = "Software\\Kestra";
const char kDefaultFace[] = "\xB2\xD3\xA9\xFA\xC5\xE9"; // 細明體
// 標準造字 - 列印程式
const char kStandardCaption[] =
    "\xBC\xD0\xB7\xC7\xB3\x79\xA6\x72 - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1";
const char kFaceCaption[] = "AR PL UMing TW - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1";

// Rows of the test bed's font dialog.
constexpr int kStandardRow = 0;
constexpr int kFaceRow = 1;

// The test bed's links, as the first test found them.
const RegistryValues& bedLinks() {
    static const RegistryValues links = valuesOf(kEudcKey);
    return links;
}

class UserFlow : public ::testing::Test {
  protected:
    void SetUp() override {
        bedLinks();
        links = valuesOf(kEudcKey);
        ASSERT_EQ(links.count(kDefaultFace), 1u) << "the test bed links 細明體";
        output = testsupport::printerOutputPath();
        ASSERT_FALSE(output.empty()) << "run through scripts/wine-test.sh";
        DeleteFileA(output.c_str());
    }

    // From start-up through the font dialog to the range dialog, which is
    // answered with `range` or, without one, cancelled. Returns the main window.
    HWND chooseFace(Program& program, int row, const RangeChoice* range, const char* caption) {
        HWND font = program.window(kFontDialogCaption);
        EXPECT_NE(font, nullptr) << "no font dialog";
        if (!font || !chooseFontRow(font, row))
            return nullptr;
        HWND dialog = program.window(kRangeDialogCaption);
        EXPECT_NE(dialog, nullptr) << "no range dialog after the font dialog";
        if (!dialog)
            return nullptr;
        if (range)
            EXPECT_TRUE(chooseRange(dialog, *range));
        else
            pressEscape(dialog);
        EXPECT_TRUE(waitUntilGone(program.id(), kRangeDialogCaption));
        return program.window(caption);
    }

    // Whatever a test did to the links, the next one starts from the bed's.
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, kCopiesKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kHoldersKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kEudcKey);
        for (const auto& [name, value] : bedLinks())
            setValue(kEudcKey, name.c_str(), value);
    }

    void expectLinksAsBefore(const char* when) {
        EXPECT_EQ(valuesOf(kEudcKey), links) << when;
        HKEY program = nullptr;
        EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &program),
                  ERROR_SUCCESS)
            << when << ": the program's key was left behind";
        if (program)
            RegCloseKey(program);
    }

    // The link is away, its copy kept, and held by `holder` when one is named.
    void expectDefaultLinkRemoved(const char* when, const Program* holder = nullptr) {
        const RegistryValues now = valuesOf(kEudcKey);
        EXPECT_EQ(now.count(kDefaultFace), 0u) << when;
        EXPECT_EQ(now.size(), links.size() - 1) << when << ": only 細明體 is taken away";
        const RegistryValues copies = valuesOf(kCopiesKey);
        ASSERT_EQ(copies.count(kDefaultFace), 1u) << when << ": no copy on disk";
        EXPECT_EQ(copies.at(kDefaultFace), links.at(kDefaultFace)) << when;
        if (!holder)
            return;
        // A holder's record is named "<process id>:<creation time>:<face>".
        const std::string id = std::to_string(holder->id()) + ":";
        const std::string face = std::string(":") + kDefaultFace;
        bool held = false;
        for (const auto& [name, value] : valuesOf(kHoldersKey))
            held |= name.rfind(id, 0) == 0 && name.size() > face.size() &&
                    name.compare(name.size() - face.size(), face.size(), face) == 0;
        EXPECT_TRUE(held) << when << ": not held by the run " << holder->id();
    }

    // Starts the program and looks at the links once its font dialog is up,
    // before anything of the user's could have changed them; then leaves.
    void startAndExpectLinksAsBefore(const char* when) {
        Program program;
        HWND font = program.window(kFontDialogCaption);
        ASSERT_NE(font, nullptr);
        expectLinksAsBefore(when);
        pressEscape(font);
        close(program, program.window(kUntitledCaption));
    }

    // The font command, whose dialog lists the faces with every link back;
    // then cancelled.
    void cancelFontCommand(Program& program, HWND main, const char* when) {
        command(main, ID_SET_FONT);
        HWND font = program.window(kFontDialogCaption);
        ASSERT_NE(font, nullptr);
        expectLinksAsBefore(when);
        pressEscape(font);
        ASSERT_TRUE(waitUntilGone(program.id(), kFontDialogCaption));
    }

    void close(Program& program, HWND main) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.exitCode(), 0u);
    }

    RegistryValues links;
    std::string output;
};

TEST_F(UserFlow, TheWholeRoadEndsOnPaperAndLeavesTheLinksAsTheyWere) {
    Program program;
    const RangeChoice range{"fa40", "fbfe", {0, 1}};
    HWND main = chooseFace(program, kStandardRow, &range, kStandardCaption);
    ASSERT_NE(main, nullptr) << "no main window captioned 標準造字 - 列印程式";
    command(main, ID_FILE_PRINT_DIRECT);
    ASSERT_TRUE(jobFinished(output, 60000)) << "nothing printed";
    // FA40-FBFE is 314 codes; with two input methods a page holds 28.
    const std::string job = testsupport::readFile(output);
    EXPECT_EQ(pagesIn(job), 12);
    CopyFileA(
        output.c_str(),
        testsupport::dosPath(testsupport::environment("KESTRA_TEST_OUTPUT") + "/road.ps").c_str(),
        FALSE);
    close(program, main);
    expectLinksAsBefore("after the run");
    // The framework's settings go where this user may write them.
    EXPECT_TRUE(
        testsupport::fileExists(testsupport::environment("APPDATA") + "\\Kestra\\Kestra.INI"));
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    EXPECT_FALSE(testsupport::fileExists(std::string(windows) + "\\Kestra.INI"));
}

TEST_F(UserFlow, TheStandardRowTakesTheDefaultFacesLinkAwayUntilTheProgramEnds) {
    const RegistryValue kept[] = {
        bedLinks().at(kDefaultFace),
        {REG_EXPAND_SZ, std::string("%SystemRoot%\\Fonts\\EUDCRING.TTE") + '\0'},
        {REG_MULTI_SZ, std::string("C:\\A.TTE\0C:\\B.TTE\0\0", 20)},
        {REG_SZ, "C:\\NO_TERMINATOR.TTE"},
        {REG_SZ, "C:\\" + std::string(251, 'L') + ".TTE" + '\0'}, // 258 characters
    };
    for (const RegistryValue& link : kept) {
        ASSERT_TRUE(setValue(kEudcKey, kDefaultFace, link));
        links = valuesOf(kEudcKey);
        Program program;
        HWND main = chooseFace(program, kStandardRow, nullptr, kStandardCaption);
        ASSERT_NE(main, nullptr) << "no main window captioned 標準造字 - 列印程式";
        expectDefaultLinkRemoved("while the standard row is chosen");
        close(program, main);
        expectLinksAsBefore("after the run, the link with its own type");
    }
}

TEST_F(UserFlow, TheFontCommandPutsTheLinkBackBeforeItsDialogAndTakesItAgainForTheSameRow) {
    Program program;
    HWND main = chooseFace(program, kStandardRow, nullptr, kStandardCaption);
    ASSERT_NE(main, nullptr);

    command(main, ID_SET_FONT);
    ASSERT_NE(program.window(kFontDialogCaption), nullptr);
    expectLinksAsBefore("while the dialog lists the faces again");
    ASSERT_EQ(chooseFace(program, kStandardRow, nullptr, kStandardCaption), main);
    expectDefaultLinkRemoved("after the same row again");

    // Cancelled, the standard row stays chosen, and its link goes away again.
    cancelFontCommand(program, main, "while the dialog is open again");
    EXPECT_EQ(windowText(main), kStandardCaption) << "cancelling keeps the face";
    // The link goes once the dialog has closed: give the program a moment.
    for (int tries = 0; tries < 50 && valuesOf(kEudcKey).count(kDefaultFace); ++tries)
        Sleep(100);
    expectDefaultLinkRemoved("after the cancelled dialog", &program);

    // Another face: the link is back before the dialog and stays.
    command(main, ID_SET_FONT);
    ASSERT_NE(chooseFace(program, kFaceRow, nullptr, kFaceCaption), nullptr);
    expectLinksAsBefore("after switching to a face of its own");
    close(program, main);
    expectLinksAsBefore("after the run");
}

// A file to name on the command line; /p prints it, so to speak, and ends.
std::string anyFile() {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string file = std::string(folder) + "kestra-any.txt";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(h);
    return file;
}

// A second window chooses the standard row too: the link stays away until
// both have ended, whichever ends first.
TEST_F(UserFlow, TheLinkStaysAwayUntilTheLastRunShowingTheStandardRowEnds) {
    for (bool firstEndsFirst : {true, false}) {
        Program first;
        HWND main = chooseFace(first, kStandardRow, nullptr, kStandardCaption);
        ASSERT_NE(main, nullptr);
        Program second;
        ASSERT_NE(second.window(kFontDialogCaption), nullptr);
        expectDefaultLinkRemoved("when the second run's font dialog opens", &first);
        HWND other = chooseFace(second, kStandardRow, nullptr, kStandardCaption);
        ASSERT_NE(other, nullptr);
        expectDefaultLinkRemoved("once the second run chose it too", &second);
        Program& last = firstEndsFirst ? second : first;
        close(firstEndsFirst ? first : second, firstEndsFirst ? main : other);
        expectDefaultLinkRemoved("after one run ended", &last);
        EXPECT_EQ(windowText(firstEndsFirst ? other : main), kStandardCaption);
        {
            // Explorer's Print verb, which ends at once.
            Program printVerb("/p \"" + anyFile() + "\"");
            EXPECT_EQ(printVerb.exitCode(), 0u);
            expectDefaultLinkRemoved("after a /p run", &last);
        }
        close(last, firstEndsFirst ? other : main);
        expectLinksAsBefore("after both ended");
    }
}

TEST_F(UserFlow, TheEndOfTheWindowsSessionPutsTheLinkBack) {
    Program program;
    HWND main = chooseFace(program, kStandardRow, nullptr, kStandardCaption);
    ASSERT_NE(main, nullptr);
    expectDefaultLinkRemoved("before the session ends", &program);
    SendMessageA(main, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(main, WM_ENDSESSION, TRUE, 0);
    expectLinksAsBefore("once the program was told the session ends");
    // Windows may then end the process without more ado.
    program.kill();
    expectLinksAsBefore("after the end");
}

TEST_F(UserFlow, AKilledRunsLinkIsBackBeforeTheNextFontDialog) {
    {
        Program killed;
        ASSERT_NE(chooseFace(killed, kStandardRow, nullptr, kStandardCaption), nullptr);
        expectDefaultLinkRemoved("before the kill");
        killed.kill();
    }
    EXPECT_EQ(valuesOf(kEudcKey).count(kDefaultFace), 0u) << "the kill ran no code of ours";

    startAndExpectLinksAsBefore("when the next run's font dialog opens");
}

// The run that took the link away is killed while another shows the standard
// row too: that one puts the link back at its next font command, or at its end.
TEST_F(UserFlow, ARunningRunTakesOverFromAKilledHolder) {
    for (bool atFontCommand : {true, false}) {
        Program killed;
        ASSERT_NE(chooseFace(killed, kStandardRow, nullptr, kStandardCaption), nullptr);
        Program running;
        HWND main = chooseFace(running, kStandardRow, nullptr, kStandardCaption);
        ASSERT_NE(main, nullptr);
        killed.kill();
        expectDefaultLinkRemoved("after the kill", &running);
        if (atFontCommand)
            cancelFontCommand(running, main, "while its font dialog lists the faces");
        close(running, main);
        expectLinksAsBefore("after its end");
    }
}

TEST_F(UserFlow, ALinkTheUserMadeMeanwhileIsNeverOverwritten) {
    ASSERT_TRUE(setValue(kCopiesKey, kDefaultFace, {REG_SZ, std::string("C:\\OLD.TTE") + '\0'}));
    startAndExpectLinksAsBefore("at start-up");
}

TEST_F(UserFlow, AWriteBackThatFailsIsTriedAgainAtExit) {
    Program program;
    HWND main = chooseFace(program, kStandardRow, nullptr, kStandardCaption);
    ASSERT_NE(main, nullptr);
    // The whole key goes, so the font command cannot write the link back;
    // its dialog then finds no link at all and says so.
    const RegistryValues others = valuesOf(kEudcKey);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, kEudcKey), ERROR_SUCCESS);
    command(main, ID_SET_FONT);
    HWND box = program.window(kAppTitle, 20000);
    ASSERT_NE(box, nullptr) << "no message that no link is set up";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntilGone(program.id(), kAppTitle));
    EXPECT_EQ(valuesOf(kCopiesKey).count(kDefaultFace), 1u) << "the copy stays while held";

    for (const auto& [name, value] : others)
        ASSERT_TRUE(setValue(kEudcKey, name.c_str(), value));
    close(program, main);
    expectLinksAsBefore("after the exit");
}

TEST_F(UserFlow, ClosingWhileTheRangeDialogIsOpenEndsCleanlyAndPutsTheLinkBack) {
    Program program;
    HWND font = program.window(kFontDialogCaption);
    ASSERT_NE(font, nullptr);
    ASSERT_TRUE(chooseFontRow(font, kStandardRow));
    ASSERT_NE(program.window(kRangeDialogCaption), nullptr);
    HWND main = program.window(kStandardCaption);
    ASSERT_NE(main, nullptr);
    expectDefaultLinkRemoved("while the range dialog is open");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0u);
    expectLinksAsBefore("after the close");
}

TEST_F(UserFlow, ClosingWhileAPreviewIsOpenEndsCleanlyAndPutsTheLinkBack) {
    Program program;
    const RangeChoice all;
    HWND main = chooseFace(program, kStandardRow, &all, kStandardCaption);
    ASSERT_NE(main, nullptr);
    command(main, ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(waitForControl(main, AFX_ID_PREVIEW_CLOSE), nullptr) << "no preview";
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0u);
    expectLinksAsBefore("after the close");
}

// The preview of the demo's flow, pictured while it shows.
pagepixels::Shot g_preview;

// The pages under the preview's bar, whose white buttons are no paper.
void keepPreview(const char* step, HWND window) {
    if (std::string(step) != "preview")
        return;
    RECT pages{}, bar{};
    GetClientRect(window, &pages);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&pages), 2);
    GetWindowRect(GetParent(findControl(window, AFX_ID_PREVIEW_CLOSE)), &bar);
    pages.top = bar.bottom;
    g_preview = pagepixels::Shot(testsupport::captureScreenArea(pages));
    testsupport::keepShot(g_preview, "flow-preview");
}

// The printable area of the test bed's printer, in page units.
kestra::PageSize printerPage() {
    kestra::PageSize page;
    if (HDC printer = testsupport::createDefaultPrinterDc()) {
        page.cx = GetDeviceCaps(printer, HORZSIZE) * 10;
        page.cy = GetDeviceCaps(printer, VERTSIZE) * 10;
        DeleteDC(printer);
    }
    return page;
}

void keepJobAs(const std::string& output, const char* name) {
    const std::string kept =
        testsupport::dosPath(testsupport::environment("KESTRA_TEST_OUTPUT") + "/" + name);
    EXPECT_TRUE(CopyFileA(output.c_str(), kept.c_str(), FALSE)) << "no job to keep as " << name;
}

TEST_F(UserFlow, TheDemoFlowPreviewsRingsInTheirBoxesAndPrintsTheRange) {
    Program program;
    FirstFlow flow;
    ASSERT_TRUE(runFirstFlow(program, output, keepPreview, flow))
        << "stopped at " << flow.failedStep;
    EXPECT_EQ(pagesIn(testsupport::readFile(output)), 12);
    keepJobAs(output, "first.ps");
    expectLinksAsBefore("after the run");

    const kestra::PageSize page = printerPage();
    const uint32_t annotating[] = {kestra::kPhoneticLayoutId, kestra::kCangjieLayoutId};
    const pagepixels::SheetMap map{
        g_preview.white(), page,
        kestra::computePageLayout(page, kestra::columnWidthFor(annotating, 2), 314)};
    ASSERT_GT(map.sheet.bottom - map.sheet.top, 300) << "no sheet of paper in the preview";
    const RECT ring = map.boxInside(0);
    const int inside = (ring.right - ring.left) * (ring.bottom - ring.top);
    EXPECT_GT(g_preview.darkIn(ring), inside / 10) << "no ring in the box of FA40";
    EXPECT_GT(map.edgeRows(g_preview, 0), (ring.bottom - ring.top) * 3 / 4) << "no box";
}

TEST_F(UserFlow, AFaceWithEveryCodeStaysAsItWasWhenTheFontCommandIsCancelled) {
    Program program;
    const RangeChoice all;
    HWND main = chooseFace(program, kFaceRow, &all, kFaceCaption);
    ASSERT_NE(main, nullptr);
    command(main, ID_FILE_PRINT_DIRECT);
    ASSERT_TRUE(jobFinished(output, 60000));
    EXPECT_EQ(pagesIn(testsupport::readFile(output)), 32);

    command(main, ID_SET_FONT);
    HWND font = program.window(kFontDialogCaption);
    ASSERT_NE(font, nullptr);
    pressEscape(font);
    ASSERT_TRUE(waitUntilGone(program.id(), kFontDialogCaption));
    EXPECT_EQ(windowText(main), kFaceCaption);
    DeleteFileA(output.c_str());
    command(main, ID_FILE_PRINT_DIRECT);
    ASSERT_TRUE(jobFinished(output, 60000));
    EXPECT_EQ(pagesIn(testsupport::readFile(output)), 32) << "the choice changed";
    close(program, main);
    expectLinksAsBefore("after the run");
}

TEST_F(UserFlow, ANewDocumentRetitlesTheWindowAndKeepsTheChoice) {
    Program program;
    const RangeChoice range{"fa40", "fa7e", {}};
    HWND main = chooseFace(program, kFaceRow, &range, kFaceCaption);
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(ID_FILE_NEW, 1), 0); // Ctrl+N
    ASSERT_NE(program.window(kUntitledCaption, 10000), nullptr) << "the title did not go back";
    command(main, ID_FILE_PRINT_DIRECT);
    ASSERT_TRUE(jobFinished(output, 60000)) << "printing went with the title";
    EXPECT_EQ(pagesIn(testsupport::readFile(output)), 1) << "FA40-FA7E is 63 codes, one page";
    close(program, main);
}

TEST_F(UserFlow, LandscapeChosenInPrintSetupGivesLandscapeSheetsInThePreview) {
    Program program;
    const RangeChoice all;
    HWND main = chooseFace(program, kFaceRow, &all, kFaceCaption);
    ASSERT_NE(main, nullptr);
    command(main, ID_FILE_PRINT_SETUP);
    HWND setup = waitForDialogWith(program.id(), rad2);
    ASSERT_NE(setup, nullptr) << "no Print Setup dialog";
    Sleep(300);
    SendMessageA(GetDlgItem(setup, rad2), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(setup, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitUntilGone(program.id(), windowText(setup).c_str()));

    command(main, ID_FILE_PRINT_PREVIEW);
    HWND closeButton = waitForControl(main, AFX_ID_PREVIEW_CLOSE);
    ASSERT_NE(closeButton, nullptr) << "no preview";
    Sleep(500);
    const pagepixels::Shot shot(captureClientOnScreen(main));
    const RECT sheet = shot.white();
    EXPECT_GT(sheet.right - sheet.left, (sheet.bottom - sheet.top) * 5 / 4)
        << "the sheet is not lying on its side";
    SendMessageA(closeButton, BM_CLICK, 0, 0);
    close(program, main);
}

// Keys struck as a user strikes them, with the preview's pages under the
// keyboard's focus at first; each is followed by what it must do.
TEST_F(UserFlow, ThePreviewAnswersTheKeyboardAloneEveryButtonByItsMnemonic) {
    Program program;
    const RangeChoice all;
    HWND main = chooseFace(program, kFaceRow, &all, kFaceCaption);
    ASSERT_NE(main, nullptr);
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    auto focus = [thread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(thread, &info);
        return info.hwndFocus;
    };
    auto page = [&] { return windowText(findControl(main, AFX_IDW_PANE_FIRST)); };
    auto button = [&](int id) { return findControl(main, id); };
    auto pageIs = [&](const char* number) {
        return [&, number] { return page() == std::string("\xB2\xC4 ") + number + " \xAD\xB6"; };
    };
    struct Key {
        UINT key;
        bool alt, shift;
        std::function<bool()> done;
    };
    const Key keys[] = {
        {'N', true, false, pageIs("2")},
        {'V', true, false, pageIs("1")},
        {VK_END, false, false, pageIs("32")},
        {VK_HOME, false, false, pageIs("1")},
        // 一頁(&P): two pages show
        {'T', true, false,
         [&] { return windowText(button(AFX_ID_PREVIEW_NUMPAGE)) == "\xA4\x40\xAD\xB6(&P)"; }},
        {'I', true, false, [&] { return IsWindowEnabled(button(AFX_ID_PREVIEW_ZOOMOUT)); }},
        {'O', true, false, [&] { return !IsWindowEnabled(button(AFX_ID_PREVIEW_ZOOMOUT)); }},
        // Two buttons share P now: the letter only moves the focus between them.
        {'P', true, false, [&] { return focus() == button(AFX_ID_PREVIEW_PRINT); }},
        {'P', true, false, [&] { return focus() == button(AFX_ID_PREVIEW_NUMPAGE); }},
        {VK_RETURN, false, false,
         [&] { return windowText(button(AFX_ID_PREVIEW_NUMPAGE)) == "\xA8\xE2\xAD\xB6(&T)"; }},
        {VK_F6, false, false, [&] { return focus() == findControl(main, AFX_IDW_PANE_FIRST); }},
        {VK_TAB, false, false, [&] { return focus() == button(AFX_ID_PREVIEW_PRINT); }},
        {VK_TAB, false, true, [&] { return focus() == findControl(main, AFX_IDW_PANE_FIRST); }},
        {VK_F6, false, false, [&] { return focus() == button(AFX_ID_PREVIEW_PRINT); }},
        {'C', true, false, [&] { return !button(AFX_ID_PREVIEW_CLOSE); }},
    };
    command(main, ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(waitForControl(main, AFX_ID_PREVIEW_CLOSE), nullptr) << "no preview";
    SetForegroundWindow(main);
    for (size_t i = 0; i < std::size(keys); ++i) {
        testsupport::strikeKey(keys[i].key, keys[i].alt, keys[i].shift);
        const DWORD end = GetTickCount() + 5000;
        while (!keys[i].done() && static_cast<LONG>(end - GetTickCount()) > 0)
            Sleep(50);
        EXPECT_TRUE(keys[i].done()) << "key " << i << " (" << keys[i].key << ") did nothing";
    }
    // From a new preview, Alt+P prints: the Print dialog opens.
    command(main, ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(waitForControl(main, AFX_ID_PREVIEW_CLOSE), nullptr);
    SetForegroundWindow(main);
    testsupport::strikeKey('P', true);
    HWND print = waitForDialogWith(program.id(), rad1, 10000);
    ASSERT_NE(print, nullptr) << "no Print dialog";
    pressEscape(print);
    ASSERT_TRUE(waitUntilGone(program.id(), windowText(print).c_str()));
    close(program, main);
}

struct TextLine {
    LONG top, bottom, left, right;
};
// The rows of a picture that hold dark pixels, grouped into lines of text; a
// gap of a few rows (above the dot of an i) stays inside a line.
std::vector<TextLine> textLines(const pagepixels::Shot& shot) {
    constexpr LONG kGapInsideALine = 8;
    std::vector<TextLine> lines;
    LONG lastInk = -kGapInsideALine - 1;
    for (LONG y = 0; y < shot.height; ++y) {
        LONG left = shot.width, right = -1;
        for (LONG x = 0; x < shot.width; ++x)
            if (shot.dark(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        if (right < 0)
            continue;
        if (y - lastInk > kGapInsideALine)
            lines.push_back({y, y, left, right});
        TextLine& line = lines.back();
        line.bottom = y;
        line.left = std::min(line.left, left);
        line.right = std::max(line.right, right);
        lastInk = y;
    }
    return lines;
}

void expectTwoCentredLines(HWND main, const char* when) {
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Sleep(500);
    // The view's own client area, inside the frame's edge.
    const pagepixels::Shot shot(captureClientOnScreen(findControl(main, AFX_IDW_PANE_FIRST)));
    testsupport::keepShot(shot, when);
    const std::vector<TextLine> lines = textLines(shot);
    ASSERT_EQ(lines.size(), 2u) << when << ": the face and its file, nothing else";
    for (const TextLine& line : lines)
        EXPECT_NEAR((line.left + line.right) / 2, shot.width / 2, 4) << when;
    EXPECT_GT(lines[1].right - lines[1].left, lines[0].right - lines[0].left)
        << when << ": the path is the longer line";
    EXPECT_NEAR((lines[0].top + lines[1].bottom) / 2, shot.height / 2, 20) << when;
}

TEST_F(UserFlow, TheWindowShowsTheFaceAndItsFileCentredAndAfterAResize) {
    Program program;
    const RangeChoice all;
    HWND main = chooseFace(program, kFaceRow, &all, kFaceCaption);
    ASSERT_NE(main, nullptr);
    SetWindowPos(main, HWND_TOP, 0, 0, 800, 500, SWP_SHOWWINDOW);
    expectTwoCentredLines(main, "800 x 500");
    SetWindowPos(main, HWND_TOP, 0, 0, 1000, 700, SWP_SHOWWINDOW);
    expectTwoCentredLines(main, "1000 x 700");
    close(program, main);
}

} // namespace
