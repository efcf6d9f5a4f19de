// The sample dictionaries of the test bed (testbed/make_dictionaries.py),
// read from disk in both code forms, on each platform's numbering.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

#include "eudc/app_state.h"
#include "ime/radical_dictionary.h"
#include "ime/radical_text.h"
#include "ime/tests/radical_store_fixture.h"

namespace kestra::testing {
namespace {

// KESTRA_DICT_DIR names another copy, such as the one inside the test-bed prefix.
std::string sampleFolder() {
    const char* chosen = std::getenv("KESTRA_DICT_DIR");
    std::string folder = chosen != nullptr && *chosen != '\0' ? chosen : KESTRA_SAMPLE_DICT_DIR;
#ifdef _WIN32
    // A folder of the build machine, seen through Wine's drive for "/".
    if (!folder.empty() && folder[0] == '/') {
        for (char& c : folder)
            c = c == '/' ? '\\' : c;
        folder = "Z:" + folder;
    }
#endif
    return folder;
}

struct CodeForm {
    const char* suffix;
    int platform;
};

void PrintTo(const CodeForm& form, std::ostream* os) {
    *os << "*" << form.suffix << " on platform " << form.platform;
}

class SampleDictionaries : public RadicalStoreTest, public ::testing::WithParamInterface<CodeForm> {
  protected:
    void SetUp() override {
        RadicalStoreTest::SetUp();
        appState.platform = GetParam().platform;
        load("phonetic", kPhoneticLayoutId);
        load("cangjie", kCangjieLayoutId);
        load("quick", kQuickLayoutId);
        ASSERT_TRUE(shown().empty()) << "a sample dictionary is missing from " << sampleFolder();
    }

    static void load(const char* name, uint32_t layoutId) {
        const std::string path = sampleFolder() + "/" + name + GetParam().suffix;
        loadRadicalDictionary(path.c_str(), name, layoutId);
    }

    static std::string textOf(uint16_t code, uint32_t layoutId) {
        lookupRadicalText(code, layoutId);
        return appState.annotationText;
    }
};

TEST_P(SampleDictionaries, PhoneticReadings) {
    EXPECT_EQ(textOf(0xFA40, kPhoneticLayoutId), "\xA3\x74\xA3\xAB\xA1\x40\xA3\xBC"); // ㄅㄚ　ˉ
    EXPECT_EQ(textOf(0xFEFE, kPhoneticLayoutId),
              "\xA3\x74\xA3\xB8\xA3\xAB\xA3\xBC\xA1\x40" // ㄅㄧㄚˉ　
              "\xA3\x75\xA3\xB8\xA3\xAC\xA3\xBD\xA1\x40" // ㄆㄧㄛˊ　
              "\xA3\x76\xA3\xB8\xA3\xAD\xA3\xBE\xA1\x40" // ㄇㄧㄜˇ　
              "\xA3\x77\xA3\xB8\xA3\xAE\xA3\xBF\xA1\x40" // ㄈㄧㄝˋ　
              "\xA3\x78\xA3\xB8\xA3\xAF\xA3\xBB\xA1\x40" // ㄉㄧㄞ˙　
              "\xA3\x79\xA3\xB8\xA3\xB0\xA3\xBC\xA1\x40" // ㄊㄧㄟˉ　
              "\xA3\x7A\xA3\xB8\xA3\xB1\xA3\xBD");       // ㄋㄧㄠˊ
    EXPECT_EQ(textOf(0x8E40, kPhoneticLayoutId),
              "\xA3\x76\xA3\xB9\xA1\x40\xA3\xBD\xA1\x40" // ㄇㄨ　ˊ　
              "\xA3\x77\xA3\xBA\xA1\x40\xA3\xBE");       // ㄈㄩ　ˇ
    EXPECT_EQ(textOf(0xA0FE, kPhoneticLayoutId), "\xA3\x79\xA1\x40\xA3\xAD\xA3\xBF"); // ㄊ　ㄜˋ
    EXPECT_EQ(textOf(0x8140, kPhoneticLayoutId), "\xA3\x7A\xA3\xB8\xA3\xAE\xA3\xBB"); // ㄋㄧㄝ˙
    EXPECT_EQ(textOf(0x8DFE, kPhoneticLayoutId), "\xA3\x7B\xA3\xB9\xA3\xAF\xA3\xBC"); // ㄌㄨㄞˉ
    EXPECT_EQ(textOf(0xC6A1, kPhoneticLayoutId), "\xA3\x7C\xA3\xBA\xA3\xB0\xA3\xBD"); // ㄍㄩㄟˊ
    EXPECT_EQ(textOf(0xC740, kPhoneticLayoutId), "\xA3\x7D\xA1\x40\xA3\xB1\xA3\xBE"); // ㄎ　ㄠˇ
    EXPECT_EQ(textOf(0xC8FE, kPhoneticLayoutId), "\xA3\x7E\xA3\xB8\xA3\xB2\xA3\xBF"); // ㄏㄧㄡˋ
}

TEST_P(SampleDictionaries, CangjieRadicals) {
    EXPECT_EQ(textOf(0xFA40, kCangjieLayoutId),
              "\xA4\xE9\xA4\xEB\xA1\x40\xA1\x40\xA1\x40"); // 日月　　　
    EXPECT_EQ(textOf(0xFEFE, kCangjieLayoutId),
              "\xAD\xAB\xA4\x52\xC3\xF8\xA5\xD0\xA4\x6B"); // 重卜難田女
    EXPECT_EQ(textOf(0x8E40, kCangjieLayoutId),
              "\xAA\xF7\xA4\xEC\xA4\xF4\xA4\xF5\xA4\x67"); // 金木水火土
    EXPECT_EQ(textOf(0xA0FE, kCangjieLayoutId),
              "\xA1\x40\xA1\x40\xA6\xCB\xA1\x40\xA1\x40"); // 　　竹　　
    EXPECT_EQ(textOf(0x8140, kCangjieLayoutId),
              "\xA4\xE0\xA4\x51\xA4\x6A\xA4\xA4\xA4\x40"); // 戈十大中一
    EXPECT_EQ(textOf(0x8DFE, kCangjieLayoutId),
              "\xA4\x7D\xA4\x48\xA4\xDF\xA4\xE2\xA4\x66"); // 弓人心手口
    EXPECT_EQ(textOf(0xC6A1, kCangjieLayoutId),
              "\xA4\x72\xA4\xDC\xA4\x73\xA1\x40\xA1\x40"); // 尸廿山　　
    EXPECT_EQ(textOf(0xC740, kCangjieLayoutId),
              "\xA4\xA4\xA4\x40\xA1\x40\xA1\x40\xA1\x40"); // 中一　　　
    EXPECT_EQ(textOf(0xC8FE, kCangjieLayoutId),
              "\xA4\xE9\xA4\xE9\xA4\xE9\xA4\xE9\xA4\xE9"); // 日日日日日
}

TEST_P(SampleDictionaries, QuickRadicalsUpToTheEndOfTheFile) {
    EXPECT_EQ(textOf(0xFA40, kQuickLayoutId),
              "\xA6\xCB\xA4\xA4\xA1\x40\xA1\x40\xA1\x40"); // 竹中　　　
    EXPECT_EQ(textOf(0xFEFE, kQuickLayoutId),
              "\xA4\xE9\xAD\xAB\xA1\x40\xA1\x40\xA1\x40"); // 日重　　　
    EXPECT_EQ(textOf(0x8E40, kQuickLayoutId),
              "\xA4\xE2\xA4\x66\xA1\x40\xA1\x40\xA1\x40"); // 手口　　　
    EXPECT_EQ(textOf(0x8140, kQuickLayoutId),
              "\xA4\xEC\xA4\xF4\xA1\x40\xA1\x40\xA1\x40"); // 木水　　　
    EXPECT_EQ(textOf(0xC8FE, kQuickLayoutId),
              "\xA4\x6B\xA5\xD0\xA1\x40\xA1\x40\xA1\x40"); // 女田　　　
    EXPECT_EQ(textOf(0xA0FE, kQuickLayoutId), "");
}

TEST_P(SampleDictionaries, NothingAfterTheStandardCharacterIsLoaded) {
    for (uint32_t layout : {kPhoneticLayoutId, kCangjieLayoutId, kQuickLayoutId})
        EXPECT_EQ(textOf(0xFA41, layout), "") << std::hex << layout;
    EXPECT_EQ(textOf(0xA440, kPhoneticLayoutId), "");
}

INSTANTIATE_TEST_SUITE_P(BothCodeForms, SampleDictionaries,
                         ::testing::Values(CodeForm{"_big5.dat", 1}, CodeForm{"_pua.dat", 2}),
                         [](const ::testing::TestParamInfo<CodeForm>& info) {
                             return std::string(info.param.platform == 1 ? "Big5" : "CodePoint");
                         });

} // namespace
} // namespace kestra::testing
