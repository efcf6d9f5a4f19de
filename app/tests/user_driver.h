// Drives the real Kestra.exe from another process as a user would: through
// its windows, keys and clicks, the registry and the printed file. Nothing of
// the program is linked in. Shared by the end-to-end tests and the demo.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "fw/tests/wine_test_support.h"

namespace userdriver {

// Big5 captions of the program's windows.
extern const char kUntitledCaption[];    // 自造字 - 列印程式
extern const char kAppTitle[];           // 列印程式
extern const char kFontDialogCaption[];  // 設定字形
extern const char kRangeDialogCaption[]; // 設定列印範圍

// Kestra.exe of the build under test (KESTRA_BUILD_DIR).
std::string programPath();

// One run of the program; a run still going when the object dies is ended.
class Program {
  public:
    explicit Program(const std::string& arguments = "");
    // A copy of the program elsewhere: installed, or unpacked from its zip.
    Program(const std::string& path, const std::string& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return process_.dwProcessId; }
    // The first visible top-level window with that caption, or null. The
    // times are generous: on a busy machine a start or an end under Wine has
    // been seen to take more than 30 and 15 seconds.
    HWND window(const char* caption, DWORD timeoutMs = 60000) const;
    // The exit code, or STILL_ACTIVE when it has not ended within the time.
    DWORD exitCode(DWORD timeoutMs = 30000) const;
    // Ends it at once, as a crash or a kill would: none of its code runs.
    void kill();

  private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// The font dialog: selects row `row` as a click would, then presses OK.
bool chooseFontRow(HWND dialog, int row);
// Any dialog: Escape.
void pressEscape(HWND dialog);

// The range dialog, filled in as a user does: all codes, or a range typed
// into the code edits, and the input methods of the list ticked by position.
struct RangeChoice {
    const char* from = nullptr; // null: all codes
    const char* to = nullptr;
    std::vector<int> inputMethods;
};
bool chooseRange(HWND dialog, const RangeChoice& choice);
// Gives an edit of a dialog the focus, as Alt and the label's letter would,
// and types `text` into it key by key.
void typeInto(HWND dialog, int editId, const char* text);

// A menu item or an accelerator of the main window.
void command(HWND mainWindow, UINT id);
std::string windowText(HWND hwnd);
int visibleWindowsOf(DWORD processId);
// Waits until the process shows no window with that caption.
bool waitUntilGone(DWORD processId, const char* caption, DWORD timeoutMs = 30000);

// A dialog of the process that has a control `knownBy` (a common dialog's
// radio button, say), or null.
HWND waitForDialogWith(DWORD processId, int knownBy, DWORD timeoutMs = 30000);
// What the screen shows of a window's client area.
testsupport::WindowShot captureClientOnScreen(HWND window);

// A control anywhere inside `parent` (the preview bar's buttons, say), or null.
HWND findControl(HWND parent, int id);
// Waits until `id` is a control inside `parent`.
HWND waitForControl(HWND parent, int id, DWORD timeoutMs = 30000);

// The demo's flow, which the end-to-end test runs too: start-up, the row of
// the face "AR PL UMing TW" (whose linked file Wine draws on screen as the
// pages' header names it; the standard row's removed link it cannot show),
// the range FA40-FBFE with both input methods, the main window, a preview
// page, printed directly, then the end. `atStep` is called with each
// step's window while it shows ("font-dialog", "range-dialog", "main-window",
// "preview"). Returns false, with the step that failed in `failedStep`, when
// a window did not come.
struct FirstFlow {
    std::string failedStep;
    std::string printedCaption; // of the main window after the choice
};
bool runFirstFlow(Program& program, const std::string& printerFile,
                  void (*atStep)(const char* step, HWND window), FirstFlow& flow);
// Waits for the printer's file to hold a finished job.
bool jobFinished(const std::string& path, DWORD timeoutMs);

// A registry value as the program would read it: its type and its bytes.
struct RegistryValue {
    DWORD type = 0;
    std::string data;
    bool operator==(const RegistryValue&) const = default;
};
using RegistryValues = std::map<std::string, RegistryValue>;
// Every value of HKEY_CURRENT_USER\<key>; empty when the key is missing.
RegistryValues valuesOf(const char* key);
bool setValue(const char* key, const char* name, const RegistryValue& value);

} // namespace userdriver
