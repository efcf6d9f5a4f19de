#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fw/document.h"
#include "fw/fw_ids.h"
#include "fw/tests/frame_fixture.h"

namespace fwtest {
namespace {

using ::testing::ElementsAre;

class CommandRouting : public FrameFixture {};

TEST_F(CommandRouting, TheFirstOfViewDocumentFrameAndApplicationRuns) {
    command(ID_TEST_ALL_HANDLE);
    command(ID_TEST_DOC_FRAME_APP);
    command(ID_TEST_FRAME_APP);
    command(ID_TEST_APP_ONLY);
    command(ID_TEST_UNHANDLED);
    EXPECT_THAT(handlerLog, ElementsAre("view:40001", "doc:40002", "frame:40003", "app:40004"));
}

TEST_F(CommandRouting, ADisabledCommandIsDroppedFromEverySourceButRunsOnceEnabled) {
    gatedEnabled = false;
    command(ID_TEST_GATED);    // sent by the program itself
    command(ID_TEST_GATED, 1); // as an accelerator reports it
    MSG key{frame->m_hWnd, WM_KEYDOWN, VK_F9, 0, 0, {0, 0}};
    frame->PreTranslateMessage(&key);
    EXPECT_TRUE(handlerLog.empty());

    gatedEnabled = true;
    command(ID_TEST_GATED);
    MSG again{frame->m_hWnd, WM_KEYDOWN, VK_F9, 0, 0, {0, 0}};
    EXPECT_TRUE(frame->PreTranslateMessage(&again));
    EXPECT_THAT(handlerLog, ElementsAre("view:40005", "view:40005"));
}

TEST_F(CommandRouting, OpeningAMenuGreysDisabledAndUnhandledItems) {
    HMENU popup = GetSubMenu(GetMenu(frame->m_hWnd), 0);
    ASSERT_NE(popup, nullptr);
    auto greyed = [&](UINT id) { return (GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    gatedEnabled = false;
    SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    EXPECT_FALSE(greyed(ID_TEST_ALL_HANDLE));
    EXPECT_TRUE(greyed(ID_TEST_GATED));
    EXPECT_TRUE(greyed(ID_TEST_UNHANDLED));
    EXPECT_FALSE(greyed(ID_TEST_APP_ONLY));

    gatedEnabled = true;
    SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    EXPECT_FALSE(greyed(ID_TEST_GATED));
    EXPECT_TRUE(handlerLog.empty()) << "greying must not run any command";
}

std::string caption(HWND hwnd) {
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

TEST_F(CommandRouting, CaptionShowsDocumentTitleThenApplicationTitle) {
    // 自造字 - 列印程式
    EXPECT_EQ(caption(frame->m_hWnd),
              "\xA6\xDB\xB3\x79\xA6\x72 - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1");
    frame->GetActiveDocument()->SetTitle("\xB2\xD3\xA9\xFA\xC5\xE9"); // 細明體
    // 細明體 - 列印程式
    EXPECT_EQ(caption(frame->m_hWnd),
              "\xB2\xD3\xA9\xFA\xC5\xE9 - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1");

    // A new document takes the untitled name again, in the same frame.
    command(ID_FILE_NEW);
    EXPECT_EQ(testApp().m_pMainWnd, frame);
    EXPECT_EQ(caption(frame->m_hWnd),
              "\xA6\xDB\xB3\x79\xA6\x72 - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1");
}

TEST_F(CommandRouting, OpeningAFileReadsNothingAndSavingNeverOverwritesIt) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "kestra-open-test.txt";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "precious", 8, &written, nullptr);
    CloseHandle(file);

    ASSERT_NE(testApp().OpenDocumentFile(path.c_str()), nullptr);
    EXPECT_EQ(caption(frame->m_hWnd), "kestra-open-test.txt - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1");
    ASSERT_FALSE(testApp().GetRecentFileList().Paths().empty());
    EXPECT_EQ(testApp().GetRecentFileList().Paths().front(), path);

    command(ID_FILE_SAVE);
    HANDLE check = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(check, INVALID_HANDLE_VALUE);
    char content[16] = {};
    DWORD read = 0;
    ReadFile(check, content, sizeof content, &read, nullptr);
    CloseHandle(check);
    DeleteFileA(path.c_str());
    EXPECT_EQ(std::string(content, read), "precious");
}

TEST_F(CommandRouting, ClosingTheMainFrameEndsTheMessageLoopAndForgetsTheWindow) {
    SendMessageA(frame->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(testApp().m_pMainWnd, nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

} // namespace
} // namespace fwtest
