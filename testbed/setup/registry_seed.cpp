#include "testbed/setup/registry_seed.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "testbed/setup/bed_layout.h"

namespace testbed {
namespace {

struct StringValue {
    const char* name;
    std::string data;
};

// Written with the A functions while the process runs in code page 950, so
// the Big5 bytes land in the registry as the characters they stand for.
long writeValues(HKEY root, const char* subKey, const StringValue* values, int count,
                 DWORD type = REG_SZ) {
    HKEY key = nullptr;
    long rc = RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        std::fprintf(stderr, "setup: creating %s failed, error %ld\n", subKey, rc);
        return rc;
    }
    for (int i = 0; i < count && rc == ERROR_SUCCESS; ++i) {
        const std::string& data = values[i].data;
        // REG_SZ counts its NUL; REG_MULTI_SZ data already carries both of its NULs.
        const DWORD size = static_cast<DWORD>(data.size() + (type == REG_SZ ? 1 : 0));
        rc = RegSetValueExA(key, values[i].name, 0, type,
                            reinterpret_cast<const BYTE*>(data.c_str()), size);
        if (rc != ERROR_SUCCESS)
            std::fprintf(stderr, "setup: writing %s\\%s failed, error %ld\n", subKey,
                         values[i].name, rc);
    }
    RegCloseKey(key);
    return rc;
}

std::string inFontsDir(const char* file) {
    return std::string(kFontsDir) + "\\" + file;
}
std::string inDictionaryDir(const char* file) {
    return std::string(kDictionaryDir) + "\\" + file;
}

struct ImeLayout {
    const char* layoutKey;
    const char* imeFile;
    const char* layoutText;
    const char* userKey;
    const char* dictionaryFile;
};

const ImeLayout kImeLayouts[] = {
    {"E0010404", "PHON.IME", "\xAA\x60\xAD\xB5", "PHON", "phonetic_pua.dat"},    // 注音
    {"E0020404", "CHAJEI.IME", "\xAD\xDC\xBE\x65", "CHAJEI", "cangjie_pua.dat"}, // 倉頡
    {"E0030404", "QUICK.IME", "\xB3\x74\xA6\xA8", "QUICK", "quick_pua.dat"},     // 速成
};

long seedImeLayout(const ImeLayout& ime) {
    const std::string layoutKey =
        std::string("System\\CurrentControlSet\\Control\\Keyboard Layouts\\") + ime.layoutKey;
    const StringValue layoutValues[] = {
        {"IME file", ime.imeFile},
        {"layout text", ime.layoutText},
        {"Layout File", "KBDUS.DLL"},
    };
    if (long rc = writeValues(HKEY_LOCAL_MACHINE, layoutKey.c_str(), layoutValues, 3))
        return rc;
    // Under the NT family the dictionary is the Unicode (PUA) form.
    const std::string userKey =
        std::string("Software\\Microsoft\\Windows\\CurrentVersion\\") + ime.userKey;
    const StringValue userValues[] = {{"User Dictionary", inDictionaryDir(ime.dictionaryFile)}};
    return writeValues(HKEY_CURRENT_USER, userKey.c_str(), userValues, 1);
}

// One face gets its own EUDC file, every other face the system default, and
// the default label face (細明體) is linked too, so removing and restoring
// that link can be exercised.
long seedEudcLinks() {
    const std::string defaultFont = inFontsDir(kDefaultEudcFontFile);
    const std::string faceFont = inFontsDir(kFaceEudcFontFile);
    const StringValue values[] = {
        {"SystemDefaultEUDCFont", defaultFont},
        {kBig5Face, faceFont},
        {"\xB2\xD3\xA9\xFA\xC5\xE9", faceFont}, // 細明體
    };
    return writeValues(HKEY_CURRENT_USER, "EUDC\\950", values, 3);
}

std::string linkTo(const char* file, const char* family) {
    std::string entry = std::string(file) + "," + family;
    entry.push_back('\0');
    entry.push_back('\0');
    return entry;
}

// Wine ignores EUDC\950; its font links draw the same glyphs on screen. A face
// that Wine resolves by substitution takes the links of the face it becomes.
long seedSystemLinks() {
    const std::string faceLink = linkTo(kFaceEudcFontFile, kFaceEudcFamily);
    const std::string defaultLink = linkTo(kDefaultEudcFontFile, kDefaultEudcFamily);
    const StringValue values[] = {
        {kBig5Face, faceLink},
        {"AR PL UMing TW MBE", defaultLink},
        {"AR PL UMing CN", defaultLink},
        {"AR PL UMing HK", defaultLink},
    };
    return writeValues(HKEY_LOCAL_MACHINE,
                       "Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink",
                       values, 4, REG_MULTI_SZ);
}

// Wine applies one level of substitution only, so each name points straight
// at the installed Big5 face, which also has Latin letters for menus.
long seedFontSubstitutes() {
    const StringValue values[] = {
        {"\xB2\xD3\xA9\xFA\xC5\xE9", kBig5Face},         // 細明體
        {"\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9", kBig5Face}, // 新細明體
        {"MS Shell Dlg", kBig5Face},
        {"PMingLiU", kBig5Face},
        {"MingLiU", kBig5Face},
    };
    return writeValues(HKEY_LOCAL_MACHINE,
                       "Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", values,
                       5);
}

} // namespace

long seedRegistry() {
    for (const ImeLayout& ime : kImeLayouts) {
        if (long rc = seedImeLayout(ime))
            return rc;
    }
    if (long rc = seedEudcLinks())
        return rc;
    if (long rc = seedSystemLinks())
        return rc;
    return seedFontSubstitutes();
}

} // namespace testbed
