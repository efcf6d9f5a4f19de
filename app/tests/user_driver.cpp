#include "app/tests/user_driver.h"

#include <cstring>

#include "fw/tests/wine_test_support.h"
#include "fw/fw_ids.h"
#include "res/resource.h"

namespace userdriver {

const char kUntitledCaption[] = "\xA6\xDB\xB3\x79\xA6\x72 - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1";
const char kAppTitle[] = "\xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1";
const char kFontDialogCaption[] = "\xB3\x5D\xA9\x77\xA6\x72\xA7\xCE";
const char kRangeDialogCaption[] = "\xB3\x5D\xA9\x77\xA6\x43\xA6\x4C\xBD\x64\xB3\xF2";

std::string programPath() {
    return testsupport::dosPath(testsupport::environment("KESTRA_BUILD_DIR") + "/app/Kestra.exe");
}

Program::Program(const std::string& arguments) : Program(programPath(), arguments) {}

Program::Program(const std::string& path, const std::string& arguments) {
    // Appended piece by piece: GCC 12 misreads "x" + string as an overlap.
    std::string commandLine(1, '"');
    commandLine.append(path).append(1, '"');
    if (!arguments.empty())
        commandLine.append(1, ' ').append(arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process_);
}

Program::~Program() {
    if (!started_)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
        kill();
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Program::window(const char* caption, DWORD timeoutMs) const {
    return testsupport::waitForWindow(id(), caption, timeoutMs);
}

DWORD Program::exitCode(DWORD timeoutMs) const {
    WaitForSingleObject(process_.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void Program::kill() {
    TerminateProcess(process_.hProcess, 137);
    WaitForSingleObject(process_.hProcess, 15000);
}

bool chooseFontRow(HWND dialog, int row) {
    HWND list = GetDlgItem(dialog, IDC_FONT_LIST);
    if (!list || SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0) == LB_ERR)
        return false;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FONT_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0) != 0;
}

void pressEscape(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL,
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

void typeInto(HWND dialog, int editId, const char* text) {
    HWND edit = GetDlgItem(dialog, editId);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    for (const char* c = text; *c; ++c)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

bool chooseRange(HWND dialog, const RangeChoice& choice) {
    const int mode = choice.from ? IDC_RANGE_CODES : IDC_RANGE_ALL;
    SendMessageA(GetDlgItem(dialog, mode), BM_CLICK, 0, 0);
    if (choice.from) {
        typeInto(dialog, IDC_FROM_CODE, choice.from);
        typeInto(dialog, IDC_TO_CODE, choice.to);
    }
    HWND list = GetDlgItem(dialog, IDC_IME_LIST);
    for (int item : choice.inputMethods) {
        if (SendMessageA(list, LB_SETSEL, TRUE, item) == LB_ERR)
            return false;
    }
    return PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0) != 0;
}

void command(HWND mainWindow, UINT id) {
    PostMessageA(mainWindow, WM_COMMAND, id, 0);
}

std::string windowText(HWND hwnd) {
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

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

bool waitUntilGone(DWORD processId, const char* caption, DWORD timeoutMs) {
    const DWORD end = GetTickCount() + timeoutMs;
    while (testsupport::waitForWindow(processId, caption, 0)) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0)
            return false;
        Sleep(100);
    }
    return true;
}

HWND waitForDialogWith(DWORD processId, int knownBy, DWORD timeoutMs) {
    struct Search {
        DWORD processId;
        int knownBy;
        HWND found;
    };
    const DWORD end = GetTickCount() + timeoutMs;
    for (;;) {
        Search search{processId, knownBy, nullptr};
        EnumWindows(
            [](HWND hwnd, LPARAM lParam) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lParam);
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                char cls[16] = {};
                GetClassNameA(hwnd, cls, sizeof cls);
                if (owner != s->processId || !IsWindowVisible(hwnd) ||
                    std::string(cls) != "#32770" || !GetDlgItem(hwnd, s->knownBy))
                    return TRUE;
                s->found = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found || static_cast<LONG>(end - GetTickCount()) <= 0)
            return search.found;
        Sleep(100);
    }
}

testsupport::WindowShot captureClientOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return testsupport::captureScreenArea(client);
}

HWND findControl(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            if (GetDlgCtrlID(hwnd) != s->id || !IsWindowVisible(hwnd))
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForControl(HWND parent, int id, DWORD timeoutMs) {
    const DWORD end = GetTickCount() + timeoutMs;
    for (;;) {
        if (HWND control = findControl(parent, id))
            return control;
        if (static_cast<LONG>(end - GetTickCount()) <= 0)
            return nullptr;
        Sleep(100);
    }
}

bool jobFinished(const std::string& path, DWORD timeoutMs) {
    const DWORD end = GetTickCount() + timeoutMs;
    do {
        if (testsupport::readFile(path).find("%%EOF") != std::string::npos)
            return true;
        Sleep(200);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
    return false;
}

namespace {

// The test bed's face with a link of its own, its row in the font dialog, and
// the caption once it is chosen.
constexpr int kLinkedFaceRow = 1;
const char kLinkedFaceCaption[] = "AR PL UMing TW - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1"; // 列印程式

bool failed(FirstFlow& flow, const char* step) {
    flow.failedStep = step;
    return false;
}

// Lets the window finish painting before it is pictured.
void settle(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(500);
}

} // namespace

bool runFirstFlow(Program& program, const std::string& printerFile,
                  void (*atStep)(const char* step, HWND window), FirstFlow& flow) {
    HWND font = program.window(kFontDialogCaption);
    if (!font)
        return failed(flow, "font-dialog");
    // Chosen before it is pictured, so the picture shows the row taken.
    SendDlgItemMessageA(font, IDC_FONT_LIST, LB_SETCURSEL, kLinkedFaceRow, 0);
    settle(font);
    atStep("font-dialog", font);
    if (!chooseFontRow(font, kLinkedFaceRow))
        return failed(flow, "font-dialog row");
    HWND range = program.window(kRangeDialogCaption);
    if (!range)
        return failed(flow, "range-dialog");
    SendMessageA(GetDlgItem(range, IDC_RANGE_CODES), BM_CLICK, 0, 0);
    typeInto(range, IDC_FROM_CODE, "FA40");
    typeInto(range, IDC_TO_CODE, "FBFE");
    for (int item : {0, 1})
        SendMessageA(GetDlgItem(range, IDC_IME_LIST), LB_SETSEL, TRUE, item);
    settle(range);
    atStep("range-dialog", range);
    PostMessageA(GetDlgItem(range, IDOK), BM_CLICK, 0, 0);
    if (!waitUntilGone(program.id(), kRangeDialogCaption))
        return failed(flow, "range-dialog OK");
    HWND main = program.window(kLinkedFaceCaption);
    if (!main)
        return failed(flow, "main-window");
    flow.printedCaption = windowText(main);
    settle(main);
    atStep("main-window", main);
    command(main, ID_FILE_PRINT_PREVIEW);
    HWND close = waitForControl(main, AFX_ID_PREVIEW_CLOSE);
    if (!close)
        return failed(flow, "preview");
    settle(main);
    atStep("preview", main);
    SendMessageA(close, BM_CLICK, 0, 0);
    DeleteFileA(printerFile.c_str());
    command(main, ID_FILE_PRINT_DIRECT);
    if (!jobFinished(printerFile, 60000))
        return failed(flow, "print");
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (program.exitCode() != 0)
        return failed(flow, "exit");
    return true;
}

RegistryValues valuesOf(const char* key) {
    RegistryValues values;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256] = {};
        BYTE data[1024] = {};
        DWORD nameSize = sizeof name;
        DWORD size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(handle, i, name, &nameSize, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        values[name] = {type, std::string(reinterpret_cast<char*>(data), size)};
    }
    RegCloseKey(handle);
    return values;
}

bool setValue(const char* key, const char* name, const RegistryValue& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG rc = RegSetValueExA(handle, name, 0, value.type,
                                   reinterpret_cast<const BYTE*>(value.data.data()),
                                   static_cast<DWORD>(value.data.size()));
    RegCloseKey(handle);
    return rc == ERROR_SUCCESS;
}

} // namespace userdriver
