// Helpers shared by the Wine tests of the framework and the program.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// A Unix path as Wine sees it from inside: Z: is the Unix root.
std::string dosPath(const std::string& unixPath);
// The value of an environment variable, or empty.
std::string environment(const char* name);
// Where the test bed's printer writes every job of this test.
std::string printerOutputPath();
bool fileExists(const std::string& path);
long long fileSize(const std::string& path);
std::string readFile(const std::string& path);
// Dispatches this thread's messages for about `ms` milliseconds.
void pumpMessages(DWORD ms);
// The first visible top-level window of the process whose caption (in the
// ANSI code page) equals `caption`, or any captioned one when caption is null;
// waits up to `timeoutMs`.
HWND waitForWindow(DWORD processId, const char* caption, DWORD timeoutMs);
// The current number of GDI objects of this process.
DWORD gdiObjectCount();
// A DC on the default printer, which the caller deletes; null when there is none.
HDC createDefaultPrinterDc();

// A window's client area as 32-bit pixels (0x00RRGGBB), top row first.
struct WindowShot {
    LONG width = 0;
    LONG height = 0;
    std::vector<DWORD> pixels;
};
WindowShot captureClient(HWND hwnd);
// What the screen shows in `area` (screen coordinates): windows of any process.
WindowShot captureScreenArea(const RECT& area);
// A 32-bit BMP file; false when it could not be written whole.
bool writeBitmap(const WindowShot& shot, const std::string& path);
// Keeps the picture as KESTRA_TEST_OUTPUT/<name>.bmp, for a person to look at,
// when that folder is set.
void keepShot(const WindowShot& shot, const char* name);

// A key struck on the keyboard, with Alt or Shift held when asked: it goes to
// the window that has the keyboard focus, of whichever process.
void strikeKey(UINT key, bool alt = false, bool shift = false);

// The static texts of a dialog that do not show their whole text, or that
// overlap another control, each described; empty when every label reads in
// full. Called in the dialog's own process.
std::vector<std::string> cutOrCoveredLabels(HWND dialog);

// While it lives, answers OK to every dialog box this process shows (message
// boxes included) and counts them. Given an owner, only to the boxes that
// window owns, so a dialog can be driven while its own boxes are answered.
class BoxCloser {
  public:
    explicit BoxCloser(HWND owner = nullptr);
    ~BoxCloser();
    BoxCloser(const BoxCloser&) = delete;
    BoxCloser& operator=(const BoxCloser&) = delete;
    int closed() const { return closed_; }
    // The text of the last box closed, in the ANSI code page.
    std::string lastText() const;

  private:
    void run();
    static BOOL CALLBACK closeBox(HWND hwnd, LPARAM self);
    HWND owner_;
    std::atomic<bool> stop_{false};
    std::atomic<int> closed_{0};
    mutable std::mutex textLock_;
    std::string lastText_;
    std::thread thread_;
};

} // namespace testsupport
