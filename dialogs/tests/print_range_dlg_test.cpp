// The print range dialog under Wine, driven as a user drives it: the test's
// thread runs it modally while a helper thread types into the code edits,
// presses keys, clicks and picks, and answers the boxes the dialog shows.
#include "dialogs/print_range_dlg.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "eudc/app_state.h"
#include "fw/resource_text.h"
#include "fw/tests/wine_test_support.h"
#include "res/resource.h"

namespace {

using kestra::appState;

const char kCaption[] = "\xB3\x5D\xA9\x77\xA6\x43\xA6\x4C\xBD\x64\xB3\xF2"; // 設定列印範圍
const char kPhonetic[] = "\xAA\x60\xAD\xB5";                                // 注音
const char kCangjie[] = "\xAD\xDC\xBE\x65";                                 // 倉頡
const char kHexDigits[] = "0123456789abcdefABCDEF";

bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
    for (DWORD waited = 0; !done(); waited += 20) {
        if (waited >= timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

// The user's hand on the open dialog, used from the helper thread. Sent
// messages have run their course in the dialog when the call returns.
class Hand {
  public:
    explicit Hand(HWND dialog)
        : dialog_(dialog), thread_(GetWindowThreadProcessId(dialog, nullptr)), boxes_(dialog) {}

    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    // Each key makes the edit report the change, as a real key does.
    void type(int id, const char* keys) {
        for (const char* key = keys; *key; ++key)
            SendMessageA(item(id), WM_CHAR, static_cast<unsigned char>(*key), 1);
    }
    // The focus moved into a control, as a click or a mnemonic moves it.
    void focus(int id) {
        SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(id)), TRUE);
    }
    void click(int id) { SendMessageA(item(id), BM_CLICK, 0, 0); }
    void pickRange(int index) {
        SendMessageA(item(IDC_RANGE_COMBO), CB_SETCURSEL, index, 0);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_RANGE_COMBO, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(item(IDC_RANGE_COMBO)));
    }
    // A key struck on the keyboard, with Alt held when asked: it reaches the
    // focus through the dialog's own loop. Returns once the focus has moved, the
    // focused control's text has changed or the dialog has closed.
    void press(UINT key, bool alt = false) {
        const HWND target = focused();
        const std::string before = windowText(target);
        strike(key, alt);
        EXPECT_TRUE(waitUntil([&] {
            return !IsWindow(dialog_) || focused() != target || windowText(target) != before;
        })) << "key "
            << key << (alt ? " with Alt" : "") << " did nothing";
        // The message that moved the focus may still be running: a sent
        // message is taken only once it is done.
        SendMessageA(dialog_, WM_NULL, 0, 0);
    }
    void typeKeys(const char* keys) {
        for (const char* key = keys; *key; ++key)
            press(static_cast<UINT>(std::toupper(static_cast<unsigned char>(*key))));
    }
    // The same without waiting: its effect is seen through a later key's.
    static void strike(UINT key, bool alt = false) { testsupport::strikeKey(key, alt); }
    void selectIme(int index, bool on) { SendMessageA(item(IDC_IME_LIST), LB_SETSEL, on, index); }

    HWND focused() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(thread_, &info);
        return info.hwndFocus;
    }
    int focusedId() const { return GetDlgCtrlID(focused()); }
    std::string text(int id) const {
        char text[64] = {};
        GetWindowTextA(item(id), text, sizeof text);
        return text;
    }
    bool enabled(int id) const { return IsWindowEnabled(item(id)); }
    bool checked(int id) const { return SendMessageA(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::string comboItem(int index) const {
        return itemText(IDC_RANGE_COMBO, CB_GETLBTEXT, index);
    }
    int imeCount() const {
        return static_cast<int>(SendMessageA(item(IDC_IME_LIST), LB_GETCOUNT, 0, 0));
    }
    std::string ime(int index) const { return itemText(IDC_IME_LIST, LB_GETTEXT, index); }
    bool imeSelected(int index) const {
        return SendMessageA(item(IDC_IME_LIST), LB_GETSEL, index, 0) > 0;
    }
    // Boxes the dialog has shown (and that were answered) so far, and the last one's text.
    int boxes() const { return boxes_.closed(); }
    std::string lastBox() const { return boxes_.lastText(); }
    bool open() const { return IsWindow(dialog_); }
    HWND dialog() const { return dialog_; }

  private:
    static std::string windowText(HWND hwnd) {
        char text[64] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        return text;
    }
    // Read as Unicode and brought back to the ANSI code page: list texts asked
    // for with the ANSI message come back cut short across threads.
    std::string itemText(int id, UINT message, int index) const {
        wchar_t wide[64] = {};
        SendMessageW(item(id), message, index, reinterpret_cast<LPARAM>(wide));
        char text[128] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        return text;
    }

    HWND dialog_;
    DWORD thread_;
    testsupport::BoxCloser boxes_;
};

class RangeDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        appState = kestra::AppState{};
        faceAccepted();
    }
    // The choices as accepting a face leaves them.
    static void faceAccepted() {
        appState.printAll = 1;
        appState.rangeStartCode = 0xFA40;
        appState.rangeEndCode = 0xFEFE;
        appState.printCount = 6217;
        appState.printStartIndex = 0;
    }
    static void rangeChosen(uint16_t start, uint16_t end) {
        appState.printAll = 0;
        appState.rangeStartCode = start;
        appState.rangeEndCode = end;
    }
    // How the dialog ended and the choice it left in the state.
    static void expectEnded(INT_PTR result, INT_PTR expected, int printAll, uint16_t start,
                            uint16_t end) {
        EXPECT_EQ(result, expected);
        EXPECT_EQ(appState.printAll, printAll);
        EXPECT_EQ(appState.rangeStartCode, start);
        EXPECT_EQ(appState.rangeEndCode, end);
    }
    static void twoImes(int phonetic, int cangjie) {
        appState.annotatableImeCount = 2;
        kestra::copyBounded(appState.imeTable[0].layoutText, kPhonetic);
        kestra::copyBounded(appState.imeTable[1].layoutText, kCangjie);
        appState.annotate[0] = phonetic;
        appState.annotate[1] = cangjie;
    }

    // Runs the dialog on this thread while `user` plays the user on another;
    // DoModal's result.
    static INT_PTR run(const std::function<void(Hand&)>& user) {
        std::thread helper([&user] {
            const HWND dialog = testsupport::waitForWindow(GetCurrentProcessId(), kCaption, 5000);
            if (!dialog) {
                ADD_FAILURE() << "the dialog did not open";
                return;
            }
            // The hand stays, answering boxes, until the dialog has closed.
            Hand hand(dialog);
            if (waitUntil([&] { return hand.focused() != nullptr; }))
                user(hand);
            else
                ADD_FAILURE() << "nothing in the dialog has the focus";
            if (!waitUntil([&] { return !IsWindow(dialog); })) {
                ADD_FAILURE() << "the dialog stayed open";
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                waitUntil([&] { return !IsWindow(dialog); });
            }
        });
        CPrintRangeDlg dialog;
        const INT_PTR result = dialog.DoModal();
        helper.join();
        return result;
    }
};

TEST_F(RangeDialog, AfterAFaceItOpensOnAllCodesShowingTheFirstRangeAndOkKeepsIt) {
    twoImes(0, 0);
    const INT_PTR result = run([](Hand& hand) {
        EXPECT_TRUE(hand.checked(IDC_RANGE_ALL));
        EXPECT_FALSE(hand.checked(IDC_RANGE_CODES));
        EXPECT_EQ(hand.text(IDC_FROM_CODE), "FA40");
        EXPECT_EQ(hand.text(IDC_TO_CODE), "FEFE");
        for (int id : {IDC_FROM_CODE, IDC_TO_CODE, IDC_RANGE_COMBO})
            EXPECT_FALSE(hand.enabled(id)) << id;
        const char* ranges[] = {"FA40-FEFE", "8E40-A0FE", "8140-8DFE", "C6A1-C8FE"};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(hand.comboItem(i), ranges[i]);
        EXPECT_EQ(hand.text(IDC_RANGE_COMBO), "FA40-FEFE");
        EXPECT_EQ(hand.imeCount(), 2);
        EXPECT_FALSE(hand.imeSelected(0) || hand.imeSelected(1));
        EXPECT_EQ(hand.focusedId(), IDOK);
        hand.press(VK_RETURN);
    });
    expectEnded(result, IDOK, 1, 0xFA40, 0xFEFE);
    EXPECT_EQ(appState.annotate[0] + appState.annotate[1], 0);
}

TEST_F(RangeDialog, CodesModeEnablesTheRangeControlsAndOkTakesTheShownRange) {
    appState.annotate[0] = 1; // no input method annotates, so no entry is written
    const INT_PTR result = run([](Hand& hand) {
        hand.click(IDC_RANGE_CODES);
        for (int id : {IDC_FROM_CODE, IDC_TO_CODE, IDC_RANGE_COMBO})
            EXPECT_TRUE(hand.enabled(id)) << id;
        EXPECT_EQ(hand.text(IDC_FROM_CODE), "FA40");
        EXPECT_EQ(hand.text(IDC_TO_CODE), "FEFE");
        EXPECT_EQ(hand.imeCount(), 0);
        hand.click(IDOK);
    });
    expectEnded(result, IDOK, 0, 0xFA40, 0xFEFE);
    EXPECT_EQ(appState.annotate[0], 1);
}

TEST_F(RangeDialog, ValidCodesTypedInEitherCaseMoveTheFocusOnAndEnterTakesThem) {
    rangeChosen(0x8140, 0x8DFE);
    const INT_PTR result = run([](Hand& hand) {
        hand.focus(IDC_FROM_CODE);
        EXPECT_EQ(hand.text(IDC_FROM_CODE), "") << "emptied on entry";
        hand.type(IDC_FROM_CODE, "fa40");
        EXPECT_EQ(hand.focusedId(), IDC_TO_CODE);
        EXPECT_EQ(hand.text(IDC_TO_CODE), "") << "emptied on entry";
        hand.type(IDC_TO_CODE, "FeFe");
        EXPECT_EQ(hand.focusedId(), IDOK);
        EXPECT_EQ(hand.boxes(), 0);
        hand.press(VK_RETURN);
    });
    expectEnded(result, IDOK, 0, 0xFA40, 0xFEFE);
}

TEST_F(RangeDialog, TheLabelsMnemonicsTakeTheKeyboardIntoTheCodeEdits) {
    const INT_PTR result = run([](Hand& hand) {
        // All codes: no edit to enter, and the focus stays on a tab stop.
        Hand::strike('F', true);
        Hand::strike(VK_TAB);
        EXPECT_TRUE(waitUntil([&] { return hand.focusedId() == IDCANCEL; }));
        hand.press('D', true);
        EXPECT_TRUE(hand.checked(IDC_RANGE_CODES));
        EXPECT_EQ(hand.text(IDC_FROM_CODE), "FA40");
        hand.press('F', true);
        EXPECT_EQ(hand.focusedId(), IDC_FROM_CODE);
        EXPECT_EQ(hand.text(IDC_FROM_CODE), "") << "emptied on entry";
        hand.typeKeys("8140");
        EXPECT_EQ(hand.focusedId(), IDC_TO_CODE);
        hand.typeKeys("8d");
        hand.press('T', true);
        EXPECT_EQ(hand.focusedId(), IDC_TO_CODE);
        EXPECT_EQ(hand.text(IDC_TO_CODE), "") << "emptied on entry";
        hand.typeKeys("8dfe");
        EXPECT_EQ(hand.focusedId(), IDOK);
        hand.press(VK_RETURN);
    });
    expectEnded(result, IDOK, 0, 0x8140, 0x8DFE);
}

// Run at 96 dpi and again at 144 (dialogs/CMakeLists.txt).
TEST_F(RangeDialog, EveryLabelShowsItsWholeTextBesideItsControl) {
    const INT_PTR result = run([](Hand& hand) {
        EXPECT_EQ(testsupport::cutOrCoveredLabels(hand.dialog()), std::vector<std::string>{});
        hand.press(VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(RangeDialog, CodesOutsideTheSpaceAreRefusedAndEmptiedAndNonHexKeysTakenBack) {
    rangeChosen(0x8140, 0x8DFE);
    const std::string refusal = LoadResourceString(IDS_INVALID_EUDC_CODE);
    const INT_PTR result = run([&](Hand& hand) {
        const std::vector<const char*> refused[] = {{"C640", "813F", "FF40"}, {"c6a0"}};
        for (int edit : {IDC_FROM_CODE, IDC_TO_CODE}) {
            for (const char* code : refused[edit - IDC_FROM_CODE]) {
                const int before = hand.boxes();
                hand.focus(edit);
                hand.type(edit, code);
                EXPECT_GT(hand.boxes(), before) << code;
                EXPECT_EQ(hand.lastBox(), refusal) << code;
                EXPECT_EQ(hand.text(edit), "") << code;
                EXPECT_EQ(hand.focusedId(), edit) << code;
            }
            for (const char* keys : {"G", "8G", "81z", "8 "}) {
                hand.focus(edit);
                hand.type(edit, keys);
                EXPECT_EQ(hand.text(edit).find_first_not_of(kHexDigits), std::string::npos)
                    << keys << " left " << hand.text(edit);
            }
            hand.focus(edit);
            hand.type(edit, "G");
            EXPECT_EQ(hand.text(edit), "");
        }
        hand.press(VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(appState.rangeStartCode, 0x8140);
    EXPECT_EQ(appState.rangeEndCode, 0x8DFE);
}

TEST_F(RangeDialog, PickingARangeFillsBothEditsWithoutMovingTheFocus) {
    const INT_PTR result = run([](Hand& hand) {
        hand.click(IDC_RANGE_CODES);
        const int focus = hand.focusedId();
        hand.pickRange(3);
        EXPECT_EQ(hand.text(IDC_FROM_CODE), "C6A1");
        EXPECT_EQ(hand.text(IDC_TO_CODE), "C8FE");
        EXPECT_EQ(hand.focusedId(), focus);
        EXPECT_EQ(hand.boxes(), 0);
        hand.click(IDOK);
    });
    expectEnded(result, IDOK, 0, 0xC6A1, 0xC8FE);
}

TEST_F(RangeDialog, OpensOnATypedRangeAndTabNeverEntersTheCodeEdits) {
    rangeChosen(0x8140, 0x8DFE);
    const INT_PTR result = run([](Hand& hand) {
        EXPECT_TRUE(hand.checked(IDC_RANGE_CODES));
        EXPECT_EQ(hand.text(IDC_FROM_CODE), "8140");
        EXPECT_EQ(hand.text(IDC_TO_CODE), "8DFE");
        EXPECT_TRUE(hand.enabled(IDC_FROM_CODE) && hand.enabled(IDC_TO_CODE));
        EXPECT_EQ(hand.focusedId(), IDOK) << "the shown codes moved no focus";
        std::vector<int> visited;
        for (int i = 0; i < 5; ++i) {
            hand.press(VK_TAB);
            visited.push_back(hand.focusedId());
        }
        ASSERT_EQ(visited.size(), 5u);
        EXPECT_EQ(visited[0], IDCANCEL);
        EXPECT_EQ(visited[1], IDC_IME_LIST);
        EXPECT_TRUE(visited[2] == IDC_RANGE_ALL || visited[2] == IDC_RANGE_CODES) << visited[2];
        EXPECT_EQ(visited[3], IDC_RANGE_COMBO);
        EXPECT_EQ(visited[4], IDOK);
        EXPECT_EQ(hand.text(IDC_FROM_CODE), "8140");
        hand.press(VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
}

struct RefusedRange {
    const char* from;
    const char* to;
    UINT message;
};

TEST_F(RangeDialog, OkRefusesAnUnfinishedOrReversedRangeAndStaysOpen) {
    const RefusedRange cases[] = {
        {"81", "8DFE", IDS_START_CODE_INCOMPLETE},
        {"8", "8", IDS_START_CODE_INCOMPLETE}, // the start is looked at first
        {"8140", "8D", IDS_END_CODE_INCOMPLETE},
        {"8DFE", "8140", IDS_START_AFTER_END},
    };
    const INT_PTR result = run([&](Hand& hand) {
        hand.click(IDC_RANGE_CODES);
        for (const RefusedRange& c : cases) {
            hand.focus(IDC_FROM_CODE);
            hand.type(IDC_FROM_CODE, c.from);
            if (hand.focusedId() != IDC_TO_CODE)
                hand.focus(IDC_TO_CODE);
            hand.type(IDC_TO_CODE, c.to);
            const int before = hand.boxes();
            hand.click(IDOK);
            EXPECT_GT(hand.boxes(), before) << c.from << ' ' << c.to;
            EXPECT_EQ(hand.lastBox(), LoadResourceString(c.message)) << c.from << ' ' << c.to;
            ASSERT_TRUE(hand.open());
            EXPECT_EQ(hand.text(IDC_FROM_CODE), c.from);
            EXPECT_EQ(hand.text(IDC_TO_CODE), c.to);
        }
        hand.press(VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(appState.printAll, 1);
}

TEST_F(RangeDialog, TypedRangeIsDroppedWhenAllCodesIsChosenAgain) {
    const INT_PTR result = run([](Hand& hand) {
        hand.click(IDC_RANGE_CODES);
        hand.focus(IDC_FROM_CODE);
        hand.type(IDC_FROM_CODE, "8140");
        hand.type(IDC_TO_CODE, "8DFE");
        hand.click(IDC_RANGE_ALL);
        for (int id : {IDC_FROM_CODE, IDC_TO_CODE, IDC_RANGE_COMBO})
            EXPECT_FALSE(hand.enabled(id)) << id;
        hand.click(IDOK);
    });
    expectEnded(result, IDOK, 1, 0xFA40, 0xFEFE);
}

TEST_F(RangeDialog, ImeListShowsTheAnnotatingMethodsAndOkWritesItsSelection) {
    twoImes(0, 1);
    appState.annotate[2] = 1; // beyond the annotating methods: left alone
    const INT_PTR result = run([](Hand& hand) {
        ASSERT_EQ(hand.imeCount(), 2);
        EXPECT_EQ(hand.ime(0), kPhonetic);
        EXPECT_EQ(hand.ime(1), kCangjie);
        EXPECT_FALSE(hand.imeSelected(0));
        EXPECT_TRUE(hand.imeSelected(1));
        hand.selectIme(0, true);
        hand.selectIme(1, false);
        hand.click(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(appState.annotate[0], 1);
    EXPECT_EQ(appState.annotate[1], 0);
    EXPECT_EQ(appState.annotate[2], 1);
}

TEST_F(RangeDialog, EscapeLeavesEveryChoiceAsItWas) {
    twoImes(1, 0);
    const INT_PTR result = run([](Hand& hand) {
        hand.click(IDC_RANGE_CODES);
        hand.pickRange(2);
        hand.selectIme(0, false);
        hand.selectIme(1, true);
        hand.focus(IDOK);
        hand.press(VK_ESCAPE);
    });
    expectEnded(result, IDCANCEL, 1, 0xFA40, 0xFEFE);
    EXPECT_EQ(appState.printCount, 6217);
    EXPECT_EQ(appState.annotate[0], 1);
    EXPECT_EQ(appState.annotate[1], 0);
}

} // namespace
