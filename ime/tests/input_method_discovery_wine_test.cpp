// Discovery on the test bed's own registry and keyboard layouts, and the
// enumeration limits of the Windows registry as discovery reads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "eudc/app_state.h"
#include "ime/input_method_discovery.h"
#include "ime/tests/radical_store_fixture.h"

namespace kestra::testing {
namespace {

class BedDiscovery : public RadicalStoreTest {
  protected:
    void SetUp() override {
        RadicalStoreTest::SetUp();
        // The bed's dictionaries record code points, as on the NT family.
        appState.platform = 2;
        std::fill(std::begin(appState.annotate), std::end(appState.annotate), 1);
    }
};

TEST_F(BedDiscovery, KeepsPhoneticThenCangjieAndLoadsAllThreeDictionaries) {
    discoverInputMethods();

    ASSERT_EQ(appState.annotatableImeCount, 2);
    const ImeRecord& first = appState.imeTable[0];
    EXPECT_EQ(first.layoutId, kPhoneticLayoutId);
    EXPECT_STREQ(first.layoutText, "\xAA\x60\xAD\xB5"); // 注音
    EXPECT_STREQ(first.dictionaryPath, "C:\\kestra\\dict\\phonetic_pua.dat");
    const ImeRecord& second = appState.imeTable[1];
    EXPECT_EQ(second.layoutId, kCangjieLayoutId);
    EXPECT_STREQ(second.layoutText, "\xAD\xDC\xBE\x65"); // 倉頡
    EXPECT_STREQ(second.dictionaryPath, "C:\\kestra\\dict\\cangjie_pua.dat");
    EXPECT_TRUE(std::all_of(std::begin(appState.annotate), std::end(appState.annotate),
                            [](int flag) { return flag == 0; }));
    EXPECT_TRUE(shown().empty());

    // One code of each store: the sample dictionaries' own tests read them whole.
    EXPECT_EQ(reading(0, 0), "\xA3\x74\xA3\xAB\xA1\x40\xA3\xBC");      // FA40: ㄅㄚ　ˉ
    EXPECT_EQ(cangjie(0), "\xA4\xE9\xA4\xEB\xA1\x40\xA1\x40\xA1\x40"); // FA40: 日月　　　
    EXPECT_EQ(quick(0), "\xA6\xCB\xA4\xA4\xA1\x40\xA1\x40\xA1\x40");   // FA40: 竹中　　　
}

// A key of the test's own, with one value at a time.
class RegistryLimits : public ::testing::Test {
  protected:
    static constexpr char kScratch[] = "Software\\Kestra Tests\\Registry Limits";

    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kScratch); }

    static void holdOnly(const std::string& name, const std::string& data) {
        RegDeleteKeyA(HKEY_CURRENT_USER, kScratch);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const LONG rc = RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
        RegCloseKey(key);
        ASSERT_EQ(rc, ERROR_SUCCESS);
    }
};

TEST_F(RegistryLimits, NamesAndDataFitUpTo254CharactersBesidesTheirTerminator) {
    struct Case {
        size_t nameLength;
        size_t dataLength;
        bool fits;
    };
    for (const Case& c : {Case{254, 254, true}, Case{255, 1, false}, Case{1, 255, false}}) {
        SCOPED_TRACE(::testing::Message() << c.nameLength << " + " << c.dataLength);
        const std::string name(c.nameLength, 'N');
        const std::string data(c.dataLength, 'D');
        holdOnly(name, data);
        InputMethodRegistry& registry = platformInputMethodRegistry();
        const RegistryKey key = registry.openKey(RegistryRoot::user, kScratch);
        ASSERT_NE(key, nullptr);
        RegistryValue value;
        std::memset(&value, 'X', sizeof value);
        const bool read = registry.value(key, 0, value);
        registry.closeKey(key);
        ASSERT_EQ(read, c.fits);
        if (read) {
            EXPECT_EQ(value.name, name);
            EXPECT_EQ(value.data, data);
        }
    }
}

} // namespace
} // namespace kestra::testing
