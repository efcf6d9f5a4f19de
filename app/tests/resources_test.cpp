// Reads the menus, accelerators, strings and dialogs out of Kestra.exe as data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "fw/fw_ids.h"
#include "fw/tests/wine_test_support.h"
#include "res/kestra_version.h"
#include "res/resource.h"

namespace {

class ProgramResources : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string path =
            testsupport::dosPath(testsupport::environment("KESTRA_BUILD_DIR") + "/app/Kestra.exe");
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << path;
    }
    void TearDown() override {
        if (module)
            FreeLibrary(module);
    }
    std::string text(UINT id) const {
        char buffer[512] = {};
        const int n = LoadStringA(module, id, buffer, sizeof buffer);
        return std::string(buffer, n > 0 ? n : 0);
    }
    HMODULE module = nullptr;
};

std::string menuText(HMENU menu, UINT position) {
    char buffer[128] = {};
    GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
    return buffer;
}

TEST_F(ProgramResources, MenuHasTheTwoPopupsWithTheirItemsInOrder) {
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(menuText(menu, 0), "\xC0\xC9\xAE\xD7(&F)"); // 檔案(&F)
    EXPECT_EQ(menuText(menu, 1), "\xBB\xA1\xA9\xFA(&H)"); // 說明(&H)

    const std::vector<std::pair<UINT, std::string>> file = {
        {ID_SET_FONT, "\xB3\x5D\xA9\x77\xA6\x72\xA7\xCE(&R)..."}, // 設定字形(&R)...
        {ID_SET_RANGE,
         "\xB3\x5D\xA9\x77\xA6\x43\xA6\x4C\xBD\x64\xB3\xF2(&L)..."}, // 設定列印範圍(&L)...
        {0, ""},
        {ID_FILE_PRINT, "\xA6\x43\xA6\x4C(&P)...\tCtrl+P"},               // 列印(&P)...\tCtrl+P
        {ID_FILE_PRINT_PREVIEW, "\xB9\x77\xC4\xFD\xA6\x43\xA6\x4C(&V)"},  // 預覽列印(&V)
        {ID_FILE_PRINT_SETUP, "\xA6\x43\xA6\x4C\xB3\x5D\xA9\x77(&S)..."}, // 列印設定(&S)...
        {0, ""},
        {ID_APP_EXIT, "\xB5\xB2\xA7\xF4(&X)"}, // 結束(&X)
    };
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(file.size()));
    for (UINT i = 0; i < file.size(); ++i) {
        EXPECT_EQ(GetMenuItemID(popup, i), file[i].first) << "item " << i;
        EXPECT_EQ(menuText(popup, i), file[i].second) << "item " << i;
        if (file[i].first != 0) { // separators always report grey
            EXPECT_EQ(GetMenuState(popup, i, MF_BYPOSITION) & MF_GRAYED, 0u) << "item " << i;
        }
    }
    HMENU help = GetSubMenu(menu, 1);
    ASSERT_EQ(GetMenuItemCount(help), 2);
    EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(ID_NOTES));
    EXPECT_EQ(menuText(help, 0), "\xB5\xF9\xB8\xD1"); // 註解
    EXPECT_EQ(GetMenuItemID(help, 1), static_cast<UINT>(ID_APP_ABOUT));
    // 關於外字列印程式(&A)...
    EXPECT_EQ(menuText(help, 1), "\xC3\xF6\xA9\xF3\xA5\x7E\xA6\x72\xA6\x43\xA6\x4C\xB5\x7B\xA6"
                                 "\xA1(&A)...");
    DestroyMenu(menu);
}

TEST_F(ProgramResources, AcceleratorsAreTheFourteenVirtualKeyEntries) {
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    ACCEL entries[32] = {};
    const int count = CopyAcceleratorTableA(table, entries, 32);
    std::vector<std::tuple<int, int, int>> got;
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(entries[i].fVirt & FVIRTKEY);
        got.emplace_back(entries[i].fVirt & (FCONTROL | FSHIFT | FALT), entries[i].key,
                         entries[i].cmd);
    }
    const std::vector<std::tuple<int, int, int>> expected = {
        {FCONTROL, 'N', ID_FILE_NEW},
        {FCONTROL, 'O', ID_FILE_OPEN},
        {FCONTROL, 'S', ID_FILE_SAVE},
        {FCONTROL, 'P', ID_FILE_PRINT},
        {FCONTROL, 'Z', ID_EDIT_UNDO},
        {FCONTROL, 'X', ID_EDIT_CUT},
        {FCONTROL, 'C', ID_EDIT_COPY},
        {FCONTROL, 'V', ID_EDIT_PASTE},
        {FALT, VK_BACK, ID_EDIT_UNDO},
        {FSHIFT, VK_DELETE, ID_EDIT_CUT},
        {FCONTROL, VK_INSERT, ID_EDIT_COPY},
        {FSHIFT, VK_INSERT, ID_EDIT_PASTE},
        {0, VK_F6, ID_NEXT_PANE},
        {FSHIFT, VK_F6, ID_PREV_PANE},
    };
    EXPECT_THAT(got, ::testing::UnorderedElementsAreArray(expected));
    DestroyAcceleratorTable(table);
}

TEST_F(ProgramResources, StringsCarryTheShellAndPrintingTexts) {
    EXPECT_EQ(text(IDR_MAINFRAME),
              "\xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1\n\nKestra\n\n\nKestra.Document\nKestra Document");
    EXPECT_EQ(text(IDS_SYSTEM_DEFAULT_EUDC), "SystemDefaultEUDCFont");
    EXPECT_EQ(text(IDS_STANDARD_EUDC_LABEL), "\xBC\xD0\xB7\xC7\xB3\x79\xA6\x72"); // 標準造字
    EXPECT_EQ(text(IDS_DEFAULT_FACE), "\xB2\xD3\xA9\xFA\xC5\xE9");                // 細明體
    EXPECT_EQ(text(AFX_IDS_APP_TITLE), "\xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1");       // 列印程式
    EXPECT_EQ(text(AFX_IDS_UNTITLED), "\xA6\xDB\xB3\x79\xA6\x72");                // 自造字
    EXPECT_EQ(text(IDS_PAGE_FOOTER), "\xB2\xC4 %d \xAD\xB6");                     // 第 %d 頁
    EXPECT_EQ(text(AFX_IDS_PRINTPAGENUM), "\xB2\xC4 %u \xAD\xB6");                // 第 %u 頁
    EXPECT_EQ(text(AFX_IDS_PRINTDEFAULT), "Output.prn");
    EXPECT_EQ(text(AFX_IDS_PRINTFILTER), "Printer Files (*.prn)|*.prn|All Files (*.*)|*.*||");
    EXPECT_EQ(text(AFX_IDS_PRINTTOFILE), "to %1");
    for (UINT id : {61446u, 61447u, 61448u, 61449u, 61450u, 61451u, 62000u, 62002u, 61504u, 61505u,
                    61506u, 61508u, 61509u, 61512u, 61520u, 62003u})
        EXPECT_FALSE(text(id).empty()) << "string " << id;
}

TEST_F(ProgramResources, DialogsAndIconArePresent) {
    for (UINT id : {IDD_ABOUTBOX, AFX_IDD_PRINTDLG, AFX_IDD_PREVIEW_TOOLBAR})
        EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)), nullptr)
            << "dialog " << id;
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14)), nullptr)
        << "icon group";
}

// The texts of the About box's dialog template, as the box shows them.
std::vector<std::string> aboutBoxTexts(HMODULE module) {
    HWND box = CreateDialogParamA(
        module, MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    std::vector<std::string> texts;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char buffer[128] = {};
        GetWindowTextA(child, buffer, sizeof buffer);
        texts.emplace_back(buffer);
    }
    DestroyWindow(box);
    return texts;
}

TEST_F(ProgramResources, VersionResourceAndAboutBoxCarryTheBuildVersion) {
    const std::string path =
        testsupport::dosPath(testsupport::environment("KESTRA_BUILD_DIR") + "/app/Kestra.exe");
    std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    const DWORD high = MAKELONG(KESTRA_VERSION_MINOR, KESTRA_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, KESTRA_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);

    const std::vector<std::pair<const char*, std::string>> strings = {
        {"FileVersion", KESTRA_VERSION_TEXT},
        {"ProductVersion", KESTRA_VERSION_TEXT},
        // Kestra 外字列印程式
        {"ProductName", "Kestra \xA5\x7E\xA6\x72\xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1"},
        {"FileDescription", "\xA5\x7E\xA6\x72\xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1"}, // 外字列印程式
    };
    for (const auto& [name, expected] : strings) {
        const std::string query = std::string("\\StringFileInfo\\040404B0\\") + name;
        char* value = nullptr;
        EXPECT_TRUE(
            VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &size) &&
            value && expected == value)
            << name;
    }
    // 版本
    EXPECT_THAT(aboutBoxTexts(module),
                ::testing::Contains("\xAA\xA9\xA5\xBB " KESTRA_VERSION_SHORT));
}

TEST_F(ProgramResources, ManifestAsksForGdiScalingOnTheSupportedSystems) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    for (const char* part : {
             "version=\"" KESTRA_VERSION_TEXT ".0\"", ">false</dpiAware>", ">true</gdiScaling>",
             "level=\"asInvoker\"",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // 10 and 11
         })
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    EXPECT_EQ(manifest.find("PerMonitor"), std::string::npos);
}

// This test program carries the program's resources, manifest included. The
// version-6 controls come from their side-by-side assembly (Wine's copy also
// reports itself as 5.81, so the version number tells nothing).
TEST(ProgramManifest, LoadsTheCommonControlsSixAssembly) {
    InitCommonControls();
    char path[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, sizeof path);
    CharLowerA(path);
    EXPECT_NE(std::string(path).find("microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::string::npos)
        << path;
}

} // namespace
