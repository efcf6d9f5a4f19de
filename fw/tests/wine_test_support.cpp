#include "fw/tests/wine_test_support.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace testsupport {

std::string dosPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string environment(const char* name) {
    char value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string printerOutputPath() {
    const std::string out = environment("KESTRA_TEST_OUTPUT");
    return out.empty() ? std::string() : dosPath(out + "/printer.ps");
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void pumpMessages(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* caption;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !IsWindowVisible(hwnd))
        return TRUE;
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (search->caption ? std::string(text) == search->caption : text[0] != '\0') {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND waitForWindow(DWORD processId, const char* caption, DWORD timeoutMs) {
    const DWORD end = GetTickCount() + timeoutMs;
    do {
        WindowSearch search{processId, caption, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        pumpMessages(50);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
    return nullptr;
}

DWORD gdiObjectCount() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted > 0)
        return counted;
    // Wine answers 0 here. Its handle table still answers for a bare table
    // index (a handle without its upper word), so the live entries are counted
    // one by one; objects the system makes on first use count as well.
    DWORD live = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)))
            ++live;
    }
    return live;
}

BoxCloser::BoxCloser(HWND owner) : owner_(owner), thread_([this] { run(); }) {}

BoxCloser::~BoxCloser() {
    stop_ = true;
    thread_.join();
}

std::string BoxCloser::lastText() const {
    std::lock_guard<std::mutex> lock(textLock_);
    return lastText_;
}

void BoxCloser::run() {
    while (!stop_) {
        EnumWindows(closeBox, reinterpret_cast<LPARAM>(this));
        Sleep(100);
    }
}

BOOL CALLBACK BoxCloser::closeBox(HWND hwnd, LPARAM self) {
    auto* closer = reinterpret_cast<BoxCloser*>(self);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (owner != GetCurrentProcessId() || !IsWindowVisible(hwnd) || std::string(cls) != "#32770")
        return TRUE;
    if (closer->owner_ && GetWindow(hwnd, GW_OWNER) != closer->owner_)
        return TRUE;
    // A message box's text is its static control 0xFFFF.
    char text[256] = {};
    GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof text);
    {
        std::lock_guard<std::mutex> lock(closer->textLock_);
        closer->lastText_ = text;
    }
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    ++closer->closed_;
    return TRUE;
}

HDC createDefaultPrinterDc() {
    char name[256] = {};
    DWORD size = sizeof name;
    if (!GetDefaultPrinterA(name, &size))
        return nullptr;
    return CreateDCA("WINSPOOL", name, nullptr, nullptr);
}

namespace {

BITMAPINFOHEADER topDownHeader(const WindowShot& shot) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = shot.width;
    header.biHeight = -shot.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    return header;
}

} // namespace

// Copies `width` x `height` pixels of `window`'s DC (the screen's when null)
// from (x, y).
static WindowShot copyFromWindowDc(HWND window, int x, int y, LONG width, LONG height) {
    WindowShot shot;
    if (width <= 0 || height <= 0)
        return shot;
    shot.width = width;
    shot.height = height;
    shot.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    SelectObject(memory, kept);
    BITMAPINFO info{};
    info.bmiHeader = topDownHeader(shot);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), shot.pixels.data(), &info,
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    for (DWORD& pixel : shot.pixels)
        pixel &= 0xFFFFFF;
    return shot;
}

WindowShot captureClient(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return copyFromWindowDc(hwnd, 0, 0, client.right, client.bottom);
}

WindowShot captureScreenArea(const RECT& area) {
    return copyFromWindowDc(nullptr, area.left, area.top, area.right - area.left,
                            area.bottom - area.top);
}

bool writeBitmap(const WindowShot& shot, const std::string& path) {
    const BITMAPINFOHEADER header = topDownHeader(shot);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(shot.pixels.size() * 4);
    FILE* out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool written = fwrite(&file, sizeof file, 1, out) == 1;
    written = fwrite(&header, sizeof header, 1, out) == 1 && written;
    written =
        fwrite(shot.pixels.data(), 4, shot.pixels.size(), out) == shot.pixels.size() && written;
    return fclose(out) == 0 && written;
}

void strikeKey(UINT key, bool alt, bool shift) {
    std::vector<INPUT> inputs;
    auto add = [&inputs](UINT vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(vk);
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    const UINT held[] = {alt ? VK_MENU : 0u, shift ? VK_SHIFT : 0u};
    for (UINT vk : held)
        if (vk)
            add(vk, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    for (UINT vk : held)
        if (vk)
            add(vk, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

static std::string classOf(HWND hwnd) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::vector<std::string> cutOrCoveredLabels(HWND dialog) {
    std::vector<std::string> faults;
    for (HWND label = GetWindow(dialog, GW_CHILD); label; label = GetWindow(label, GW_HWNDNEXT)) {
        char text[256] = {};
        GetWindowTextA(label, text, sizeof text);
        if (classOf(label) != "Static" || !text[0])
            continue;
        RECT client{}, need{}, area{}, other{}, common{};
        GetClientRect(label, &client);
        HDC dc = GetDC(label);
        const HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
        DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_SINGLELINE); // '&' marks the mnemonic
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        if (need.right > client.right || need.bottom > client.bottom)
            faults.push_back(std::string(text) + " needs " + std::to_string(need.right) +
                             " pixels, has " + std::to_string(client.right));
        GetWindowRect(label, &area);
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const bool groupBox = classOf(c) == "Button" &&
                                  (GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
            GetWindowRect(c, &other);
            if (c != label && !groupBox && IntersectRect(&common, &area, &other))
                faults.push_back(std::string(text) + " overlaps " +
                                 std::to_string(GetDlgCtrlID(c)));
        }
    }
    return faults;
}

void keepShot(const WindowShot& shot, const char* name) {
    const std::string folder = environment("KESTRA_TEST_OUTPUT");
    if (!folder.empty())
        writeBitmap(shot, dosPath(folder + "/" + name + ".bmp"));
}

} // namespace testsupport
