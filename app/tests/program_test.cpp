// Runs Kestra.exe as a user would and watches it from outside.
#include <gtest/gtest.h>

#include <string>

#include "app/tests/user_driver.h"
#include "fw/fw_ids.h"
#include "fw/tests/wine_test_support.h"
#include "res/resource.h"

namespace {

using namespace userdriver;

// 造字列印-註解
const char kNotesCaption[] = "\xB3\x79\xA6\x72\xA6\x43\xA6\x4C-\xB5\xF9\xB8\xD1";

// The main window once the start-up font dialog has been cancelled: the
// program then runs with no face chosen.
HWND withoutAFace(const Program& program) {
    HWND main = program.window(kUntitledCaption);
    HWND font = program.window(kFontDialogCaption);
    EXPECT_NE(font, nullptr) << "the font dialog opens at start-up";
    if (font) {
        pressEscape(font);
        EXPECT_TRUE(waitUntilGone(program.id(), kFontDialogCaption));
    }
    return main;
}

TEST(Program, OpensWithTheUntitledCaptionAndEndsCleanlyWhenClosed) {
    Program program;
    ASSERT_TRUE(program.started()) << programPath();
    HWND main = withoutAFace(program);
    ASSERT_NE(main, nullptr) << "no main window captioned 自造字 - 列印程式";
    EXPECT_NE(GetMenu(main), nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0u);
}

TEST(Program, NotesBoxOpensWithoutBlockingTheMainWindow) {
    Program program;
    HWND main = withoutAFace(program);
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_COMMAND, ID_NOTES, 0);
    HWND notes = program.window(kNotesCaption, 10000);
    ASSERT_NE(notes, nullptr) << "no box captioned 造字列印-註解";
    EXPECT_EQ(GetWindow(notes, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_NE(GetDlgItem(notes, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(notes, IDCANCEL), nullptr) << "one OK button only";
    PostMessageA(notes, WM_COMMAND, IDOK, 0);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0u);
}

TEST(Program, PrintCommandsDoNothingBeforeAFaceIsChosen) {
    const std::string output = testsupport::printerOutputPath();
    ASSERT_FALSE(output.empty());
    DeleteFileA(output.c_str());
    Program program;
    HWND main = withoutAFace(program);
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(ID_FILE_PRINT, 1), 0); // Ctrl+P
    PostMessageA(main, WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    PostMessageA(main, WM_COMMAND, ID_APP_ABOUT, 0);
    PostMessageA(main, WM_COMMAND, ID_SET_RANGE, 0);
    testsupport::pumpMessages(3000);
    EXPECT_EQ(visibleWindowsOf(program.id()), 1) << "no dialog, preview or printing box";
    EXPECT_FALSE(testsupport::fileExists(output));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0u);
}

TEST(Program, PrintSwitchEndsWithoutWindowOrPage) {
    const std::string output = testsupport::printerOutputPath();
    DeleteFileA(output.c_str());
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string file = std::string(folder) + "kestra-print-switch.txt";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    for (const char* tail : {"", " \"Kestra Test Printer\" wineps.drv FILE:"}) {
        const std::string command = tail[0] ? "/pt" : "/p";
        Program program(command + " \"" + file + "\"" + tail);
        EXPECT_EQ(program.exitCode(), 0u) << command;
        EXPECT_FALSE(testsupport::fileExists(output)) << command;
    }
    DeleteFileA(file.c_str());
}

TEST(Program, AFileThatCannotBeOpenedIsReportedAndEndsTheProgram) {
    Program program("Z:\\no\\such\\file.txt");
    HWND box = program.window(kAppTitle, 30000);
    ASSERT_NE(box, nullptr) << "the failure is reported in a box with the application title";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_NE(program.exitCode(), STILL_ACTIVE);
    EXPECT_EQ(visibleWindowsOf(program.id()), 0);
}

} // namespace
