#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fw/dialog.h"
#include "fw/tests/test_classes.h"
#include "fw/tests/test_ids.h"

namespace fwtest {
namespace {

// Drives itself: OnInitDialog sets its controls up and posts the clicks and
// keys a user would make; the handlers record what they see.
class SelfDrivingDialog : public CDialog {
  public:
    SelfDrivingDialog() : CDialog(IDD_TESTDIALOG) {}

    std::vector<std::string> seen;
    int checkedAtClick = 0;
    std::string editAtClick;
    bool cancelAtEnd = false;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        CheckRadioButton(IDC_TEST_FIRST_RADIO, IDC_TEST_SECOND_RADIO, IDC_TEST_SECOND_RADIO);
        SetDlgItemText(IDC_TEST_EDIT, "FA40");
        SendDlgItemMessage(IDC_TEST_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
        SendDlgItemMessage(IDC_TEST_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
        GetDlgItem(IDC_TEST_COMBO)->EnableWindow(FALSE);
        HWND button = GetDlgItem(IDC_TEST_BUTTON)->m_hWnd;
        PostMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED),
                    reinterpret_cast<LPARAM>(button));
        return TRUE;
    }

    void OnGo() {
        // Setting the edit's text during initialisation notifies as well;
        // only what follows the click counts here.
        seen.clear();
        seen.push_back("clicked");
        checkedAtClick = GetCheckedRadioButton(IDC_TEST_FIRST_RADIO, IDC_TEST_SECOND_RADIO);
        char text[8] = {};
        GetDlgItemText(IDC_TEST_EDIT, text, sizeof text);
        editAtClick = text;
        if (GetDlgItem(IDC_TEST_COMBO)->IsWindowEnabled())
            seen.push_back("combo enabled");
        // Focus into the edit, then a typed key: both notifications follow.
        GotoDlgCtrl(GetDlgItem(IDC_TEST_EDIT));
        ::PostMessageA(GetDlgItem(IDC_TEST_EDIT)->m_hWnd, WM_CHAR, 'B', 0);
        SendDlgItemMessage(IDC_TEST_COMBO, CB_SETCURSEL, 1);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_COMBO, CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(GetDlgItem(IDC_TEST_COMBO)->m_hWnd));
        PostMessage(WM_COMMAND, MAKEWPARAM(cancelAtEnd ? IDCANCEL : IDOK, BN_CLICKED), 0);
    }
    void OnEditFocus() { seen.push_back("edit focus"); }
    void OnEditUpdate() { seen.push_back("edit update"); }
    void OnComboChange() {
        seen.push_back("combo " + std::to_string(SendDlgItemMessage(IDC_TEST_COMBO, CB_GETCURSEL)));
    }
    void OnOK() override {
        seen.push_back("ok");
        EndDialog(42);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfDrivingDialog, CDialog)
ON_BN_CLICKED(IDC_TEST_BUTTON, OnGo)
ON_EN_SETFOCUS(IDC_TEST_EDIT, OnEditFocus)
ON_EN_UPDATE(IDC_TEST_EDIT, OnEditUpdate)
ON_CBN_SELCHANGE(IDC_TEST_COMBO, OnComboChange)
END_MESSAGE_MAP()

TEST(Dialog, NotificationsReachTheirHandlersAndOkEndsWithItsResult) {
    testApp();
    SelfDrivingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_EQ(dialog.checkedAtClick, IDC_TEST_SECOND_RADIO);
    EXPECT_EQ(dialog.editAtClick, "FA40");
    ASSERT_GE(dialog.seen.size(), 4u);
    EXPECT_EQ(dialog.seen.front(), "clicked");
    EXPECT_EQ(dialog.seen.back(), "ok");
    auto saw = [&](const char* what) {
        for (const std::string& s : dialog.seen) {
            if (s == what)
                return true;
        }
        return false;
    };
    EXPECT_FALSE(saw("combo enabled")) << "the control was disabled";
    EXPECT_TRUE(saw("edit focus"));
    EXPECT_TRUE(saw("edit update"));
    EXPECT_TRUE(saw("combo 1"));
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "the window is gone once DoModal returns";
}

TEST(Dialog, CancelEndsWithIdCancelWithoutOk) {
    testApp();
    SelfDrivingDialog dialog;
    dialog.cancelAtEnd = true;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_FALSE(dialog.seen.empty());
    EXPECT_NE(dialog.seen.back(), "ok");
}

TEST(Dialog, GetDlgItemTextIsBoundedAndTerminated) {
    testApp();
    class Probe : public CDialog {
      public:
        Probe() : CDialog(IDD_TESTDIALOG) {}
        char small[4] = {'x', 'x', 'x', 'x'};
        int length = -1;
        BOOL OnInitDialog() override {
            SetDlgItemText(IDC_TEST_EDIT, "ABCDEFGH");
            length = GetDlgItemText(IDC_TEST_EDIT, small, sizeof small);
            EndDialog(IDOK);
            return TRUE;
        }
    } probe;
    EXPECT_EQ(probe.DoModal(), IDOK);
    EXPECT_EQ(probe.length, 3);
    EXPECT_STREQ(probe.small, "ABC");
}

} // namespace
} // namespace fwtest
