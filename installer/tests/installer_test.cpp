// What a user gets: the installer run silently in this test's fresh prefix,
// the installed program started, the uninstaller run; and the program of the
// portable zip, unpacked.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <ostream>
#include <string>

#include "app/tests/user_driver.h"
#include "fw/tests/wine_test_support.h"
#include "res/kestra_version.h"

namespace userdriver {
// Shows a value as its type and text when a comparison fails.
void PrintTo(const RegistryValue& value, std::ostream* out) {
    *out << "type " << value.type << " \"" << value.data.c_str() << "\" (" << value.data.size()
         << " bytes)";
}
} // namespace userdriver

namespace {

using userdriver::RegistryValue;
using userdriver::RegistryValues;
using userdriver::valuesOf;

const char kEudcKey[] = "EUDC\\950";
const char kProgramKey[] = "Software\\Kestra";
const char kRemovedLinksKey[] = "Software\\Kestra\\Removed EUDC links";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestra";
const char kDefaultFace[] = "\xB2\xD3\xA9\xFA\xC5\xE9"; // 細明體
const char kLinkedFace[] = "AR PL UMing TW";
// Kestra 外字列印程式
const char kProductName[] = "Kestra \xA5\x7E\xA6\x72\xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1";
const char kPackage[] = "Kestra-" KESTRA_VERSION_TEXT "-x64";

std::string buildPath(const std::string& relative) {
    return testsupport::dosPath(testsupport::environment("KESTRA_BUILD_DIR") + relative);
}

std::string shellFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string installDir() {
    return shellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Kestra";
}

std::string shortcutPath() {
    return shellFolder(CSIDL_PROGRAMS) + "\\" + kProductName + ".lnk";
}

bool keyExists(HKEY root, const char* key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

std::string stringValue(const char* key, const char* name) {
    const RegistryValues values = valuesOf(key);
    const auto found = values.find(name);
    return found == values.end() ? std::string() : std::string(found->second.data.c_str());
}

RegistryValue text(DWORD type, const std::string& value) {
    return {type, value + '\0'};
}

// Runs a command line and waits for its process; its exit code, or
// STILL_ACTIVE when it did not end in time.
DWORD run(std::string commandLine, DWORD timeoutMs = 60000) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return GetLastError();
    WaitForSingleObject(process.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// The program starts with its main window and at once its font dialog, and
// ends cleanly when both are closed.
void expectStartsWithItsFontDialog(const std::string& path) {
    userdriver::Program program(path, "");
    ASSERT_TRUE(program.started()) << path;
    HWND main = program.window(userdriver::kUntitledCaption);
    ASSERT_NE(main, nullptr) << "no main window captioned 自造字 - 列印程式";
    HWND dialog = program.window(userdriver::kFontDialogCaption);
    EXPECT_NE(dialog, nullptr) << "no font dialog captioned 設定字形";
    if (dialog) {
        userdriver::pressEscape(dialog);
        EXPECT_TRUE(userdriver::waitUntilGone(program.id(), userdriver::kFontDialogCaption));
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0u);
}

class Installer : public ::testing::Test {
  protected:
    void SetUp() override {
        eudcBefore = valuesOf(kEudcKey);
        ASSERT_TRUE(eudcBefore.count(kDefaultFace)) << "the test bed links 細明體";
        const std::string setup = buildPath(std::string("/installer/") + kPackage + "-setup.exe");
        ASSERT_EQ(run("\"" + setup + "\" /S"), 0u) << setup;
    }

    // As the program leaves things when it is killed while it holds the
    // default face's link: the link gone, its copy kept.
    void leaveLinkHeldAsAKilledProgramWould(const RegistryValue& copy) {
        ASSERT_TRUE(userdriver::setValue(kRemovedLinksKey, kDefaultFace, copy));
        HKEY eudc = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kEudcKey, 0, KEY_SET_VALUE, &eudc),
                  ERROR_SUCCESS);
        RegDeleteValueA(eudc, kDefaultFace);
        RegCloseKey(eudc);
    }

    // Runs the uninstaller the way the list of installed programs names it,
    // then waits for the copy of itself that it hands the work to.
    void uninstall() {
        const std::string command = stringValue(kUninstallKey, "QuietUninstallString");
        ASSERT_FALSE(command.empty());
        ASSERT_EQ(run(command), 0u) << command;
        const DWORD end = GetTickCount() + 30000;
        while (keyExists(HKEY_CURRENT_USER, kUninstallKey) &&
               static_cast<LONG>(end - GetTickCount()) > 0)
            Sleep(100);
        Sleep(500); // the entry goes last
    }

    RegistryValues eudcBefore;
};

TEST_F(Installer, InstallsForThisUserRunsAndUninstallsLeavingTheEudcLinksAsTheyWere) {
    const std::string program = installDir() + "\\Kestra.exe";
    EXPECT_TRUE(testsupport::fileExists(program)) << program;
    EXPECT_TRUE(testsupport::fileExists(shortcutPath())) << shortcutPath();
    EXPECT_EQ(stringValue(kUninstallKey, "DisplayName"), kProductName);
    EXPECT_EQ(stringValue(kUninstallKey, "DisplayVersion"), KESTRA_VERSION_TEXT);
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "a per-user install only";

    expectStartsWithItsFontDialog(program);
    leaveLinkHeldAsAKilledProgramWould(eudcBefore[kDefaultFace]);
    uninstall();

    EXPECT_FALSE(testsupport::fileExists(program));
    EXPECT_FALSE(testsupport::fileExists(installDir()));
    EXPECT_FALSE(testsupport::fileExists(shortcutPath()));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kUninstallKey));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProgramKey)) << "nothing else was kept there";
    EXPECT_EQ(valuesOf(kEudcKey), eudcBefore);
}

TEST_F(Installer, UninstallerPutsBackOnlyLinksTheUserHasNotMadeAgain) {
    const RegistryValue expandable = text(REG_EXPAND_SZ, "%SystemRoot%\\Fonts\\EUDC.TTE");
    leaveLinkHeldAsAKilledProgramWould(expandable);
    // A copy of a face the user has linked again meanwhile.
    ASSERT_TRUE(userdriver::setValue(kRemovedLinksKey, kLinkedFace,
                                     text(REG_SZ, "C:\\windows\\Fonts\\OLD.TTE")));
    // Something else under the program's key.
    ASSERT_TRUE(userdriver::setValue(kProgramKey, "Other", text(REG_SZ, "kept")));
    uninstall();

    RegistryValues expected = eudcBefore;
    expected[kDefaultFace] = expandable;
    EXPECT_EQ(valuesOf(kEudcKey), expected);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kRemovedLinksKey));
    EXPECT_EQ(stringValue(kProgramKey, "Other"), "kept");
}

TEST_F(Installer, UninstallWaitsWhileARunningProgramHoldsALink) {
    userdriver::Program holder;
    HWND font = holder.window(userdriver::kFontDialogCaption);
    ASSERT_NE(font, nullptr);
    ASSERT_TRUE(userdriver::chooseFontRow(font, 0)) << "the standard row";
    HWND range = holder.window(userdriver::kRangeDialogCaption);
    ASSERT_NE(range, nullptr);
    userdriver::pressEscape(range);
    ASSERT_TRUE(userdriver::waitUntilGone(holder.id(), userdriver::kRangeDialogCaption));
    const RegistryValues held = valuesOf(kRemovedLinksKey);
    ASSERT_EQ(held.count(kDefaultFace), 1u) << "the program holds the link";

    // Run in place, so that its exit code is the uninstall's own; silent, it
    // answers Cancel when asked to close the program first.
    const std::string uninstaller = installDir() + "\\uninstall.exe";
    EXPECT_NE(run("\"" + uninstaller + "\" /S _?=" + installDir()), 0u);
    EXPECT_TRUE(testsupport::fileExists(installDir() + "\\Kestra.exe"));
    EXPECT_EQ(valuesOf(kRemovedLinksKey), held);
    EXPECT_EQ(valuesOf(kEudcKey).count(kDefaultFace), 0u) << "the link stays the program's";

    // 標準造字 - 列印程式
    HWND main =
        holder.window("\xBC\xD0\xB7\xC7\xB3\x79\xA6\x72 - \xA6\x43\xA6\x4C\xB5\x7B\xA6\xA1");
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(holder.exitCode(), 0u);
    EXPECT_EQ(valuesOf(kEudcKey), eudcBefore);

    uninstall();
    EXPECT_FALSE(testsupport::fileExists(installDir()));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kRemovedLinksKey));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Kestra\\EUDC link holders"));
}

TEST(PortableZip, ItsProgramStartsWithItsFontDialog) {
    expectStartsWithItsFontDialog(
        buildPath(std::string("/installer/unpacked-zip/") + kPackage + "/Kestra.exe"));
}

} // namespace
