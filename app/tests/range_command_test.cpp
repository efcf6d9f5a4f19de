// The range command through the program's view: what the range dialog's OK
// makes of the print span, and that Cancel keeps it.
#include "app/tests/program_fixture.h"

#include <windows.h>

#include <functional>
#include <thread>

#include "eudc/app_state.h"
#include "fw/tests/wine_test_support.h"
#include "res/resource.h"

namespace {

using kestra::appState;

const char kRangeCaption[] = "\xB3\x5D\xA9\x77\xA6\x43\xA6\x4C\xBD\x64\xB3\xF2"; // 設定列印範圍

void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

struct RangeChoice {
    const char* what;
    std::function<void(HWND)> choose; // ends the dialog
    uint16_t printCount;
    uint16_t printStartIndex;
};

class RangeCommand : public programtest::ProgramTest {};

TEST_F(RangeCommand, OkSetsTheSpanOfTheChosenRangeAndCancelKeepsIt) {
    const RangeChoice choices[] = {
        {"all codes", [](HWND d) { click(d, IDOK); }, 6217, 0},
        {"the first range in code order",
         [](HWND d) {
             click(d, IDC_RANGE_CODES);
             click(d, IDOK);
         },
         785, 5432},
        {"C6A1-C8FE picked",
         [](HWND d) {
             click(d, IDC_RANGE_CODES);
             SendDlgItemMessageA(d, IDC_RANGE_COMBO, CB_SETCURSEL, 3, 0);
             SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_RANGE_COMBO, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_RANGE_COMBO)));
             click(d, IDOK);
         },
         408, 5024},
        {"cancelled", [](HWND d) { click(d, IDCANCEL); }, 600, 0},
    };
    for (const RangeChoice& c : choices) {
        programtest::chooseFace(600);
        appState.rangeStartCode = 0xFA40;
        appState.rangeEndCode = 0xFEFE;
        bool shown = false;
        std::thread user([&] {
            const HWND dialog =
                testsupport::waitForWindow(GetCurrentProcessId(), kRangeCaption, 5000);
            shown = dialog != nullptr;
            if (shown)
                c.choose(dialog);
        });
        command(ID_SET_RANGE);
        user.join();
        ASSERT_TRUE(shown) << c.what;
        EXPECT_EQ(appState.printCount, c.printCount) << c.what;
        EXPECT_EQ(appState.printStartIndex, c.printStartIndex) << c.what;
    }
}

TEST_F(RangeCommand, ClosingTheWindowUnderTheDialogWaitsUntilTheCommandHasReturned) {
    programtest::chooseFace(600);
    const HWND main = frame->m_hWnd;
    std::thread user([&] {
        if (testsupport::waitForWindow(GetCurrentProcessId(), kRangeCaption, 5000))
            PostMessageA(main, WM_CLOSE, 0, 0);
    });
    command(ID_SET_RANGE);
    user.join();
    EXPECT_TRUE(IsWindow(main)) << "destroyed while the command was still running";
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, main, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        << "the close is asked for again once the dialog is gone";
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));
}

} // namespace
