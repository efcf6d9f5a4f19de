// Runs Kestra.exe as a user would and watches it from outside.
#include <gtest/gtest.h>

#include <string>

#include "fw/fw_ids.h"
#include "fw/tests/wine_test_support.h"
#include "res/resource.h"

namespace {

// 自造字 - 列印程式
const char kUntitledCaption[] = "\xA6\xDB\xB3\x79\xA6\x72 - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1";
// 列印程式
const char kAppTitle[] = "\xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1";
// 造字列印-註解
const char kNotesCaption[] = "\xB3\x79\xA6\x72\xA6\x43\xA6\x4C-\xB5\xF9\xB8\xD1";

std::string programPath() {
    return testsupport::dosPath(testsupport::environment("KESTRA_BUILD_DIR") + "/app/Kestra.exe");
}

class Program {
  public:
    explicit Program(const std::string& arguments = "") {
        // Appended piece by piece: GCC 12 misreads "x" + string as an overlap.
        std::string commandLine(1, '"');
        commandLine.append(programPath()).append(1, '"');
        if (!arguments.empty())
            commandLine.append(1, ' ').append(arguments);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_);
    }
    ~Program() {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool started() const { return started_; }
    DWORD id() const { return process_.dwProcessId; }
    HWND window(const char* caption, DWORD timeoutMs = 30000) const {
        return testsupport::waitForWindow(id(), caption, timeoutMs);
    }
    // The exit code, or STILL_ACTIVE when it has not ended within the time.
    DWORD exitCode(DWORD timeoutMs = 15000) const {
        WaitForSingleObject(process_.hProcess, timeoutMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

int visibleWindowsOf(DWORD processId) {
    struct Count {
        DWORD id;
        int n;
    } count{processId, 0};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* c = reinterpret_cast<Count*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == c->id && IsWindowVisible(hwnd))
                ++c->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}

TEST(Program, OpensWithTheUntitledCaptionAndEndsCleanlyWhenClosed) {
    Program program;
    ASSERT_TRUE(program.started()) << programPath();
    HWND main = program.window(kUntitledCaption);
    ASSERT_NE(main, nullptr) << "no main window captioned 自造字 - 列印程式";
    EXPECT_NE(GetMenu(main), nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0u);
}

TEST(Program, NotesBoxOpensWithoutBlockingTheMainWindow) {
    Program program;
    HWND main = program.window(kUntitledCaption);
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
    HWND main = program.window(kUntitledCaption);
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
    Program program("/p \"" + file + "\"");
    EXPECT_EQ(program.exitCode(), 0u);
    EXPECT_FALSE(testsupport::fileExists(output));
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
