// The printing paths that go through the common dialogs: Print Setup's choice
// of paper used by later jobs, the Print dialog's page range, and "print to
// file" with its Save dialog. A helper thread plays the user: it waits for each
// dialog of this process, sets its controls and presses OK while the test's
// thread sits in the dialog's modal loop. Each job is kept in
// KESTRA_TEST_OUTPUT, where check_dialog_jobs.sh reads its pages' text once
// Wine has exited.
#include "app/tests/program_fixture.h"

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "eudc/app_state.h"
#include "fw/fw_ids.h"
#include "fw/tests/wine_test_support.h"
#include "print/page_layout.h"
#include "res/resource.h"

namespace {

using kestra::appState;
using programtest::pagesIn;

std::string keptPath(const char* name) {
    return testsupport::dosPath(testsupport::environment("KESTRA_TEST_OUTPUT") + "/" + name);
}

// Each dialog is known by a control only it has (ids as Wine's templates give them).
constexpr int kPrintDialog = cmb4; // the printer list of the Print dialog
constexpr int kSetupDialog = cmb3; // the paper source of Print Setup
constexpr int kSaveDialog = cmb13; // the file name of the Explorer-style Save dialog

// What the helper thread does with one dialog; runs on that thread.
struct Step {
    int knownBy;
    std::function<void(HWND)> act;
};

// Plays the user for a sequence of dialogs, each in turn, and stops at the
// first one that does not appear within a few seconds.
class DialogUser {
  public:
    explicit DialogUser(std::vector<Step> steps)
        : steps_(std::move(steps)), thread_([this] { run(); }) {}
    ~DialogUser() { done(); }
    DialogUser(const DialogUser&) = delete;
    DialogUser& operator=(const DialogUser&) = delete;
    // Call after the command has returned.
    int done() {
        if (thread_.joinable())
            thread_.join();
        return done_;
    }

  private:
    struct Search {
        int knownBy;
        HWND found;
    };
    static BOOL CALLBACK match(HWND hwnd, LPARAM lParam) {
        auto* search = reinterpret_cast<Search*>(lParam);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        char cls[16] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (owner != GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
            std::string(cls) != "#32770" || !GetDlgItem(hwnd, search->knownBy))
            return TRUE;
        search->found = hwnd;
        return FALSE;
    }
    static HWND waitFor(int knownBy) {
        for (int tries = 0; tries < 200; ++tries) {
            Search search{knownBy, nullptr};
            EnumWindows(match, reinterpret_cast<LPARAM>(&search));
            if (search.found)
                return search.found;
            Sleep(50);
        }
        return nullptr;
    }
    void run() {
        for (const Step& step : steps_) {
            const HWND dialog = waitFor(step.knownBy);
            if (!dialog)
                return;
            // Let the dialog finish filling its controls first.
            Sleep(300);
            step.act(dialog);
            ++done_;
            for (int tries = 0; tries < 200 && IsWindow(dialog); ++tries)
                Sleep(50);
        }
    }

    std::vector<Step> steps_;
    std::atomic<int> done_{0};
    std::thread thread_;
};

void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
void pressOk(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}
void pressCancel(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}
std::string textOf(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}
// Chooses the entry `text` of combo box `id`, as a
// user's pick notifies the dialog.
bool pick(HWND dialog, int id, const char* text) {
    const HWND combo = GetDlgItem(dialog, id);
    const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text));
    if (index == CB_ERR)
        return false;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return true;
}
// The edit inside the Save dialog's file name box (a ComboBoxEx32 in Explorer style).
HWND fileNameEdit(HWND dialog) {
    HWND box = GetDlgItem(dialog, kSaveDialog);
    for (HWND inner = box; inner; inner = GetWindow(inner, GW_CHILD)) {
        char cls[16] = {};
        GetClassNameA(inner, cls, sizeof cls);
        if (std::string(cls) == "Edit")
            return inner;
    }
    return box;
}

class PrintDialogs : public programtest::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        programtest::chooseFace(600); // 196 cells a page on A4: four pages
        chooseA4Portrait();
    }
    // Wine's driver lets a setup dialog change the printer's defaults for the
    // whole process, so each test chooses its paper itself.
    void chooseA4Portrait() {
        bool listed = false;
        DialogUser user({{kSetupDialog, [&](HWND setup) {
                              listed = pick(setup, cmb2, "A4");
                              click(setup, rad1);
                              pressOk(setup);
                          }}});
        command(ID_FILE_PRINT_SETUP);
        ASSERT_EQ(user.done(), 1) << "no Print Setup dialog";
        ASSERT_TRUE(listed) << "the printer offers no A4";
    }
    // Prints directly; the job is kept as KESTRA_TEST_OUTPUT/<name>.
    std::string printDirectAs(const char* name) {
        DeleteFileA(output.c_str());
        command(ID_FILE_PRINT_DIRECT);
        EXPECT_TRUE(CopyFileA(output.c_str(), keptPath(name).c_str(), FALSE))
            << "no job was written";
        return testsupport::readFile(output);
    }
    void expectLayoutOf(kestra::PageSize size) {
        const kestra::PageLayout layout = kestra::computePageLayout(size, appState);
        EXPECT_EQ(view->columns, layout.columns);
        EXPECT_EQ(view->rows, layout.rows);
        EXPECT_EQ(view->pageCount, layout.pageCount);
    }
};

TEST_F(PrintDialogs, PrintSetupChoiceOfOrientationAndPaperIsWhatLaterJobsUse) {
    const std::string portrait = printDirectAs("portrait.ps");
    EXPECT_EQ(view->pageSize.cx, 1990);
    EXPECT_EQ(view->pageSize.cy, 2870);
    EXPECT_EQ(view->columns, 7);
    EXPECT_EQ(view->rows, 28);

    DialogUser landscape({{kSetupDialog, [](HWND setup) {
                               click(setup, rad2);
                               pressOk(setup);
                           }}});
    command(ID_FILE_PRINT_SETUP);
    ASSERT_EQ(landscape.done(), 1) << "no Print Setup dialog";
    const std::string wide = printDirectAs("landscape.ps");
    EXPECT_EQ(view->pageSize.cx, 2870);
    EXPECT_EQ(view->pageSize.cy, 1990);
    expectLayoutOf({2870, 1990});
    EXPECT_GT(view->columns, 7);
    EXPECT_LT(view->rows, 28);
    EXPECT_EQ(pagesIn(wide), view->pageCount);
    EXPECT_NE(wide.find("%%Orientation: Landscape"), std::string::npos);
    EXPECT_EQ(portrait.find("%%Orientation: Landscape"), std::string::npos);

    // The next setup starts from the kept choice: still landscape, now on Letter.
    bool wasLandscape = false, letterListed = false;
    DialogUser letter({{kSetupDialog, [&](HWND setup) {
                            wasLandscape = SendMessageA(GetDlgItem(setup, rad2), BM_GETCHECK, 0,
                                                        0) == BST_CHECKED;
                            letterListed = pick(setup, cmb2, "Letter");
                            click(setup, rad1);
                            pressOk(setup);
                        }}});
    command(ID_FILE_PRINT_SETUP);
    ASSERT_EQ(letter.done(), 1);
    EXPECT_TRUE(wasLandscape) << "Print Setup forgot the orientation chosen before";
    ASSERT_TRUE(letterListed);
    const std::string onLetter = printDirectAs("letter.ps");
    // Letter's printable area: 576 x 756 points.
    EXPECT_EQ(view->pageSize.cx, 2030);
    EXPECT_EQ(view->pageSize.cy, 2660);
    expectLayoutOf({2030, 2660});
    EXPECT_NE(onLetter.find("[612 792]"), std::string::npos) << "not printed on Letter";
}

TEST_F(PrintDialogs, PageRangeChosenInThePrintDialogPrintsOnlyThosePages) {
    DialogUser user({{kPrintDialog, [](HWND print) {
                          click(print, rad3);
                          SetDlgItemTextA(print, edt1, "2");
                          SetDlgItemTextA(print, edt2, "3");
                          pressOk(print);
                      }}});
    command(ID_FILE_PRINT);
    ASSERT_EQ(user.done(), 1) << "no Print dialog";
    ASSERT_TRUE(CopyFileA(output.c_str(), keptPath("pages2to3.ps").c_str(), FALSE))
        << "no job was written";
    EXPECT_EQ(pagesIn(testsupport::readFile(output)), 2);
    EXPECT_EQ(view->pageSize.cy, 2870) << "not on the paper chosen in Print Setup";
    EXPECT_EQ(view->pageCount, 4);
    EXPECT_EQ(view->currentPage, 3) << "the job did not end on page 3";
}

TEST_F(PrintDialogs, PrintToFileWritesTheChosenFileAndNotThePrintersOwn) {
    const std::string chosen = keptPath("tofile.prn");
    std::string caption, offered, filter;
    DialogUser user({{kPrintDialog,
                      [](HWND print) {
                          click(print, chx1);
                          pressOk(print);
                      }},
                     {kSaveDialog, [&](HWND save) {
                          caption = textOf(save);
                          offered = textOf(fileNameEdit(save));
                          filter = textOf(GetDlgItem(save, cmb1));
                          SetWindowTextA(fileNameEdit(save), chosen.c_str());
                          pressOk(save);
                      }}});
    command(ID_FILE_PRINT);
    ASSERT_EQ(user.done(), 2) << "the Print or the Save dialog did not appear";
    EXPECT_EQ(caption, "\xA6\x43\xA6\x4C\xA6\xDC\xC0\xC9\xAE\xD7"); // 列印至檔案
    EXPECT_EQ(offered, "Output.prn");
    EXPECT_EQ(filter, "Printer Files (*.prn)");
    ASSERT_TRUE(testsupport::fileExists(chosen)) << "nothing written to " << chosen;
    const std::string job = testsupport::readFile(chosen);
    EXPECT_EQ(job.rfind("%!PS-Adobe", 0), 0u) << "not PostScript";
    EXPECT_EQ(pagesIn(job), 4);
    EXPECT_FALSE(testsupport::fileExists(output)) << "the job also went to the printer";
}

TEST_F(PrintDialogs, CancellingThePrintOrTheSaveDialogPrintsNothing) {
    DialogUser printCancelled({{kPrintDialog, pressCancel}});
    command(ID_FILE_PRINT);
    ASSERT_EQ(printCancelled.done(), 1);
    DialogUser saveCancelled({{kPrintDialog,
                               [](HWND print) {
                                   click(print, chx1);
                                   pressOk(print);
                               }},
                              {kSaveDialog, pressCancel}});
    command(ID_FILE_PRINT);
    ASSERT_EQ(saveCancelled.done(), 2);
    EXPECT_FALSE(testsupport::fileExists(output));
    EXPECT_EQ(view->pageCount, 0) << "a job began";
}

} // namespace
