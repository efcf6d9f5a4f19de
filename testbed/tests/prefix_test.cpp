// Checks, from inside Wine, that the test-bed prefix behaves like the
// Traditional Chinese machine the other Wine tests assume.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "testbed/setup/bed_layout.h"

namespace {

// Big5 texts, written out here rather than taken from the setup program, so a
// wrong byte on either side shows up.
const char kPhoneticBig5[] = "\xAA\x60\xAD\xB5";                // 注音
const char kCangjieBig5[] = "\xAD\xDC\xBE\x65";                 // 倉頡
const char kQuickBig5[] = "\xB3\x74\xA6\xA8";                   // 速成
const char kMingBig5[] = "\xB2\xD3\xA9\xFA\xC5\xE9";            // 細明體
const char kNewMingBig5[] = "\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9"; // 新細明體

std::wstring big5ToWide(const std::string& big5) {
    wchar_t wide[64] = {};
    const int n = MultiByteToWideChar(950, MB_ERR_INVALID_CHARS, big5.data(),
                                      static_cast<int>(big5.size()), wide, 63);
    return std::wstring(wide, n > 0 ? n : 0);
}

std::string big5Code(unsigned code) {
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// The value's data, or "<missing>" when it cannot be read.
std::string readString(HKEY root, const char* subKey, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "<missing>";
    char data[512] = {};
    DWORD size = sizeof(data) - 2;
    DWORD type = 0;
    const LONG rc =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return "<missing>";
    if (type == REG_MULTI_SZ)
        return std::string(data, size);
    return data;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// KESTRA_TEST_OUTPUT is a Unix path; Wine's Z: drive is the Unix root.
std::string testOutputDosPath() {
    char unixPath[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("KESTRA_TEST_OUTPUT", unixPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    std::string dos = std::string("Z:") + unixPath;
    for (char& c : dos) {
        if (c == '/')
            c = '\\';
    }
    return dos;
}

TEST(CodePage, IsBig5AndMapsUserDefinedCodesToPrivateUse) {
    EXPECT_EQ(GetACP(), 950u);
    EXPECT_EQ(big5ToWide(big5Code(0xFA40)), std::wstring(1, L'\xE000'));
    EXPECT_EQ(big5ToWide(big5Code(0x8E40)), std::wstring(1, L'\xE311'));
    EXPECT_EQ(big5ToWide(big5Code(0x8140)), std::wstring(1, L'\xEEB8'));
    EXPECT_EQ(big5ToWide(big5Code(0xC6A1)), std::wstring(1, L'\xF6B1'));
    EXPECT_EQ(big5ToWide(big5Code(0xC8FE)), std::wstring(1, L'\xF848'));
}

// ---- printer -------------------------------------------------------------

std::string defaultPrinter() {
    char name[256] = {};
    DWORD size = sizeof(name);
    return GetDefaultPrinterA(name, &size) ? name : "";
}

std::string printerPort() {
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(testbed::kPrinterName), &printer, nullptr))
        return "";
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    std::string port;
    if (GetPrinterA(printer, 2, buffer.data(), needed, &needed))
        port = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data())->pPortName;
    ClosePrinter(printer);
    return port;
}

class Printer : public ::testing::Test {
  protected:
    void SetUp() override { dc = CreateDCA(nullptr, testbed::kPrinterName, nullptr, nullptr); }
    void TearDown() override {
        if (dc)
            DeleteDC(dc);
    }
    HDC dc = nullptr;
};

TEST_F(Printer, IsTheDefaultAndPrintsIntoThisTestsOwnFolder) {
    EXPECT_EQ(defaultPrinter(), testbed::kPrinterName);
    char unixOutput[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("KESTRA_TEST_OUTPUT", unixOutput, MAX_PATH), 0u);
    EXPECT_EQ(printerPort(), std::string(unixOutput) + "/printer.ps");
}

TEST_F(Printer, DefaultsToPortraitA4) {
    ASSERT_NE(dc, nullptr);
    EXPECT_NEAR(GetDeviceCaps(dc, HORZSIZE), 199, 1);
    EXPECT_NEAR(GetDeviceCaps(dc, VERTSIZE), 287, 1);
    EXPECT_LT(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES));
}

TEST_F(Printer, WritesAJobToTheOutputFileWithoutAsking) {
    ASSERT_NE(dc, nullptr);
    const std::string output = testOutputDosPath() + "\\printer.ps";
    ASSERT_GT(output.size(), 2u) << "KESTRA_TEST_OUTPUT is not set";
    DeleteFileA(output.c_str());

    DOCINFOA doc = {sizeof(doc), "testbed job", nullptr, nullptr, 0};
    ASSERT_GT(StartDocA(dc, &doc), 0);
    ASSERT_GT(StartPage(dc), 0);
    const char text[] = "KESTRA-TESTBED-PAGE";
    EXPECT_TRUE(TextOutA(dc, 200, 200, text, sizeof(text) - 1));
    EXPECT_TRUE(Rectangle(dc, 100, 100, 1000, 600));
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);

    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 50 && file == INVALID_HANDLE_VALUE; ++attempt) {
        file = CreateFileA(output.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            Sleep(100);
    }
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << output;
    std::string content(1 << 20, '\0');
    DWORD read = 0;
    ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    content.resize(read);
    EXPECT_EQ(content.rfind("%!PS", 0), 0u);
    EXPECT_NE(content.find("%%Pages: 1"), std::string::npos);
    EXPECT_NE(content.find("595 842"), std::string::npos) << "page is not A4";
}

// ---- input methods -------------------------------------------------------

struct ImeExpectation {
    unsigned layoutId;
    const char* layoutKey;
    const char* imeFile;
    const char* layoutText;
    std::wstring layoutTextWide;
    const char* userKey;
    const char* dictionaryStem;
};

std::vector<ImeExpectation> expectedImes() {
    return {
        {0xE0010404u, "E0010404", "PHON.IME", kPhoneticBig5, L"\x6CE8\x97F3", "PHON", "phonetic"},
        {0xE0020404u, "E0020404", "CHAJEI.IME", kCangjieBig5, L"\x5009\x9821", "CHAJEI", "cangjie"},
        {0xE0030404u, "E0030404", "QUICK.IME", kQuickBig5, L"\x901F\x6210", "QUICK", "quick"},
    };
}

TEST(InputMethods, AllThreeAreLoadedKeyboardLayouts) {
    HKL layouts[60] = {};
    const int count = GetKeyboardLayoutList(60, layouts);
    for (const ImeExpectation& ime : expectedImes()) {
        bool found = false;
        for (int i = 0; i < count; ++i)
            found |= static_cast<unsigned>(reinterpret_cast<UINT_PTR>(layouts[i])) == ime.layoutId;
        EXPECT_TRUE(found) << ime.layoutKey;
    }
}

TEST(InputMethods, RegistryTextsReadBackAsBig5) {
    for (const ImeExpectation& ime : expectedImes()) {
        const std::string key =
            std::string("System\\CurrentControlSet\\control\\Keyboard Layouts\\") + ime.layoutKey;
        EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, key.c_str(), "IME file"), ime.imeFile);
        const std::string text = readString(HKEY_LOCAL_MACHINE, key.c_str(), "layout text");
        EXPECT_EQ(text, ime.layoutText) << ime.layoutKey;
        EXPECT_EQ(big5ToWide(text), ime.layoutTextWide) << ime.layoutKey;
    }
}

TEST(InputMethods, UserDictionariesAreThePuaFormsAndBothFormsExist) {
    for (const ImeExpectation& ime : expectedImes()) {
        const std::string key =
            std::string("Software\\Microsoft\\Windows\\CurrentVersion\\") + ime.userKey;
        const std::string dir = std::string(testbed::kDictionaryDir) + "\\" + ime.dictionaryStem;
        EXPECT_EQ(readString(HKEY_CURRENT_USER, key.c_str(), "User Dictionary"), dir + "_pua.dat");
        EXPECT_TRUE(fileExists(dir + "_pua.dat")) << dir;
        EXPECT_TRUE(fileExists(dir + "_big5.dat")) << dir;
    }
}

// ---- EUDC links and font names -------------------------------------------

TEST(EudcLinks, RegistryNamesTheDefaultFontAndTwoFaceLinks) {
    const std::string fonts = std::string(testbed::kFontsDir) + "\\";
    const std::string defaultFont =
        readString(HKEY_CURRENT_USER, "EUDC\\950", "SystemDefaultEUDCFont");
    const std::string faceFont = readString(HKEY_CURRENT_USER, "EUDC\\950", testbed::kBig5Face);
    EXPECT_EQ(defaultFont, fonts + "EUDC.TTE");
    EXPECT_EQ(faceFont, fonts + "EUDCRING.TTE");
    EXPECT_EQ(readString(HKEY_CURRENT_USER, "EUDC\\950", kMingBig5), faceFont);
    EXPECT_TRUE(fileExists(defaultFont));
    EXPECT_TRUE(fileExists(faceFont));
}

TEST(EudcLinks, SystemLinksMirrorTheEudcRegistry) {
    const char* key = "Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink";
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, key, testbed::kBig5Face),
              std::string("EUDCRING.TTE,Kestra EUDC Ring\0\0", 31));
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, key, "AR PL UMing TW MBE"),
              std::string("EUDC.TTE,Kestra EUDC Square\0\0", 29));
}

class ScreenFont : public ::testing::Test {
  protected:
    void SetUp() override {
        screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
    }
    void TearDown() override {
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    HFONT makeFont(const char* face, int height = -48) {
        return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, CHINESEBIG5_CHARSET, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face);
    }
    // The font file's name table: equal tables mean the same font file.
    std::vector<BYTE> nameTableOf(const char* face) {
        HFONT font = makeFont(face);
        HGDIOBJ old = SelectObject(dc, font);
        const DWORD tag = 'n' | ('a' << 8) | ('m' << 16) | (static_cast<DWORD>('e') << 24);
        std::vector<BYTE> table;
        const DWORD size = GetFontData(dc, tag, 0, nullptr, 0);
        if (size != GDI_ERROR && size > 0) {
            table.resize(size);
            GetFontData(dc, tag, 0, table.data(), size);
        }
        SelectObject(dc, old);
        DeleteObject(font);
        return table;
    }
    HDC screen = nullptr;
    HDC dc = nullptr;
};

TEST_F(ScreenFont, ProgramFaceNamesResolveToTheInstalledBig5Face) {
    const std::vector<BYTE> uming = nameTableOf(testbed::kBig5Face);
    ASSERT_FALSE(uming.empty());
    const char* const faces[] = {kMingBig5, kNewMingBig5, "MS Shell Dlg", "PMingLiU", "MingLiU"};
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(nameTableOf(faces[i]) == uming) << "face #" << i << " is another font";
}

// Draws one Big5 code in black on white and returns the set pixels.
class GlyphImage {
  public:
    static constexpr int kSize = 64;
    GlyphImage(HDC dc, HFONT font, unsigned code) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSize, -kSize, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap)
            return;
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HGDIOBJ oldFont = SelectObject(dc, font);
        PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        const std::string text = big5Code(code);
        TextOutA(dc, 4, 4, text.data(), 2);
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        for (int i = 0; i < kSize * kSize; ++i)
            set[i] = (pixels[i] & 0xFFFFFF) == 0;
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
    }
    int count() const {
        int n = 0;
        for (bool b : set)
            n += b;
        return n;
    }
    bool at(int x, int y) const { return set[y * kSize + x]; }
    // Bounding box of the set pixels: left, top, right, bottom (inclusive).
    RECT bounds() const {
        RECT r = {kSize, kSize, -1, -1};
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (at(x, y)) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = std::max<LONG>(r.bottom, y);
                }
        return r;
    }
    // The ring font has a dot in the middle and nothing in the corners of its
    // bounds; the square font fills its corners.
    bool looksLikeRing() const {
        const RECT r = bounds();
        return at((r.left + r.right) / 2, (r.top + r.bottom) / 2) && !at(r.left + 1, r.top + 1) &&
               !at(r.right - 1, r.bottom - 1);
    }
    bool looksLikeSquare() const {
        const RECT r = bounds();
        return at(r.left + 1, r.top + 1) && at(r.right - 1, r.top + 1) &&
               at(r.left + 1, r.bottom - 1) && at(r.right - 1, r.bottom - 1);
    }

  private:
    bool set[kSize * kSize] = {};
};

// The first and last code of each range. C6A1 is left out: the installed face
// has a glyph of its own there, and a face's own glyphs win over linked ones.
const unsigned kMadeCodes[] = {0xFA40, 0xFEFE, 0x8E40, 0xA0FE, 0x8140, 0x8DFE, 0xC8FE};

TEST_F(ScreenFont, FaceLinkedEudcFontDrawsRings) {
    HFONT font = makeFont(testbed::kBig5Face);
    for (unsigned code : kMadeCodes) {
        GlyphImage glyph(dc, font, code);
        EXPECT_GT(glyph.count(), 200) << std::hex << code;
        EXPECT_TRUE(glyph.looksLikeRing()) << std::hex << code;
    }
    EXPECT_EQ(GlyphImage(dc, font, 0xFA41).count(), 0) << "FA41 has an empty outline";
    DeleteObject(font);
}

// Other tests must not expect EUDC glyphs at C6A1-C6E4, C6E6-C8D3, 81A9 and
// 96CD in this face: it draws its own there.
TEST_F(ScreenFont, InstalledFaceKeepsItsOwnGlyphsInRowsC6ToC8) {
    HFONT font = makeFont(testbed::kBig5Face);
    GlyphImage glyph(dc, font, 0xC740);
    EXPECT_GT(glyph.count(), 0);
    EXPECT_FALSE(glyph.looksLikeRing());
    DeleteObject(font);
}

TEST_F(ScreenFont, DefaultLabelFaceTakesTheLinksOfItsSubstitute) {
    HFONT font = makeFont(kMingBig5);
    EXPECT_TRUE(GlyphImage(dc, font, 0xFA40).looksLikeRing());
    DeleteObject(font);
}

TEST_F(ScreenFont, FaceWithoutItsOwnLinkDrawsTheSystemDefaultSquares) {
    HFONT font = makeFont("AR PL UMing TW MBE");
    GlyphImage glyph(dc, font, 0xFA40);
    EXPECT_GT(glyph.count(), 200);
    EXPECT_TRUE(glyph.looksLikeSquare());
    EXPECT_FALSE(glyph.looksLikeRing());
    DeleteObject(font);
}

} // namespace
