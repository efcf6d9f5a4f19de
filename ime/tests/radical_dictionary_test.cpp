#include "ime/radical_dictionary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "ime/tests/dictionary_writer.h"
#include "ime/tests/radical_store_fixture.h"

namespace kestra::testing {
namespace {

constexpr char kRiYue[] = "\xA4\xE9\xA4\xEB\xA1\x40\xA1\x40\xA1\x40"; // 日月　　　
constexpr char kBaTone1[] = "\xA3\x74\xA3\xAB\xA1\x40\xA3\xBC";       // ㄅㄚ　ˉ
constexpr char kPaTone2[] = "\xA3\x75\xA3\xAB\xA1\x40\xA3\xBD";       // ㄆㄚ　ˊ
constexpr char kPhonetic[] = "\xAA\x60\xAD\xB5";                      // 注音
constexpr char kCaption[] = "\xC4\xB5\xA7\x69\xB0\x54\xAE\xA7";       // 警告訊息

void load(const DictionaryWriter& dictionary, uint32_t layoutId) {
    const TempFile file(dictionary.bytes());
    loadRadicalDictionary(file.path(), kPhonetic, layoutId);
}

void loadCangjie(std::initializer_list<uint16_t> codes) {
    DictionaryWriter d(kCangjieLayoutId);
    for (uint16_t code : codes)
        d.add(code, {1, 2});
    load(d, kCangjieLayoutId);
}

class Big5CodeDictionary : public RadicalStoreTest {};

TEST_F(Big5CodeDictionary, StopsAtTheFirstStandardCharacter) {
    DictionaryWriter d(kPhoneticLayoutId);
    d.add(0xFA40, {1, 25, 0, 38}).add(0xFA41, {1, 25, 0, 38});
    d.add(0xA440, {1, 25, 0, 38}).add(0xFA42, {1, 25, 0, 38});
    load(d, kPhoneticLayoutId);
    EXPECT_EQ(reading(0, 0), kBaTone1);
    EXPECT_EQ(reading(1, 0), kBaTone1);
    EXPECT_EQ(reading(2, 0), "");
}

TEST_F(Big5CodeDictionary, CodesOutsideTheSpaceEndTheLoad) {
    for (uint16_t stop : {0xC640, 0xC6A0, 0xC67E, 0x8040, 0xFF40, 0x817F, 0xE000}) {
        SCOPED_TRACE(stop);
        loadCangjie({0xFA40, stop, 0xFA41});
        EXPECT_EQ(cangjie(0), kRiYue);
        EXPECT_EQ(cangjie(1), "");
    }
}

TEST_F(Big5CodeDictionary, CodesLandAtTheirPuaIndex) {
    loadCangjie({0xC6A1, 0xFA40, 0x8140, 0xC8FE, 0x8E40, 0xA0FE, 0x8DFE, 0xFEFE});
    for (uint16_t index : {5809, 0, 3768, 6216, 785, 3767, 5808, 784}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(cangjie(index), kRiYue);
    }
    EXPECT_EQ(cangjie(1), "");
    EXPECT_EQ(cangjie(5810), "");
}

class CodePointDictionary : public RadicalStoreTest {
  protected:
    void SetUp() override {
        RadicalStoreTest::SetUp();
        appState.platform = 2;
    }
};

TEST_F(CodePointDictionary, CodePointsFromE000AreThePuaIndex) {
    loadCangjie({0xE000, 0xF848, 0xE311});
    EXPECT_EQ(cangjie(0), kRiYue);
    EXPECT_EQ(cangjie(6216), kRiYue);
    EXPECT_EQ(cangjie(785), kRiYue);
}

TEST_F(CodePointDictionary, CodePointsOutsideTheRangeEndTheLoad) {
    // Big5 codes are not code points here: FA40 lies beyond U+F848.
    for (uint16_t stop : {0xDFFF, 0xF849, 0xFA40, 0x0000}) {
        SCOPED_TRACE(stop);
        loadCangjie({0xE001, stop, 0xE002});
        EXPECT_EQ(cangjie(1), kRiYue);
        EXPECT_EQ(cangjie(2), "");
    }
}

class KeySymbols : public RadicalStoreTest {};

TEST_F(KeySymbols, CangjieKeysBecomeRadicalsAndTheRestSpaces) {
    DictionaryWriter d(kCangjieLayoutId);
    d.add(0xFA40, {1, 2, 0, 0, 0});
    d.add(0xFA41, {27, 0x80, 26, -1, 13});
    load(d, kCangjieLayoutId);
    EXPECT_EQ(cangjie(0), kRiYue);
    EXPECT_EQ(cangjie(1), "\xA1\x40\xA1\x40\xAD\xAB\xA1\x40\xA4\x40"); // 　　重　一
    EXPECT_EQ(appState.cangjieRoots[1][10], '\0');
}

TEST_F(KeySymbols, PhoneticKeysBecomeBopomofoAndTheRestSpaces) {
    DictionaryWriter d(kPhoneticLayoutId);
    d.add(0xFA40, {1, 25, 0, 38});
    d.add(0xFA41, {42, 43, 0x80, 41});
    d.add(0xFA42, {21, 22, 37, 0xFF});
    load(d, kPhoneticLayoutId);
    EXPECT_EQ(reading(0, 0), kBaTone1);
    EXPECT_EQ(reading(1, 0), "\xA3\xBB\xA1\x40\xA1\x40\xA3\xBF"); // ˙　　ˋ
    EXPECT_EQ(reading(2, 0), "\xA3\xAA\xA3\xB8\xA3\xB7\xA1\x40"); // ㄙㄧㄦ　
}

// Each key alone in the first position of its own code, read back in key order.
std::string firstSymbols(uint32_t layoutId, int keyCount) {
    DictionaryWriter d(layoutId);
    for (int key = 1; key <= keyCount; ++key)
        d.add(static_cast<uint16_t>(0x8140 + key), {key});
    load(d, layoutId);
    std::string symbols;
    for (int key = 1; key <= keyCount; ++key) {
        const char* element = layoutId == kPhoneticLayoutId ? appState.phoneticRoots[3768 + key][0]
                                                            : appState.cangjieRoots[3768 + key];
        symbols.append(element, 2);
    }
    return symbols;
}

TEST_F(KeySymbols, EveryBopomofoKeyHasItsSymbol) {
    EXPECT_EQ(
        firstSymbols(kPhoneticLayoutId, 42),
        "\xA3\x74\xA3\x75\xA3\x76\xA3\x77\xA3\x78\xA3\x79\xA3\x7A\xA3\x7B\xA3\x7C\xA3\x7D\xA3\x7E"
        "\xA3\xA1\xA3\xA2\xA3\xA3\xA3\xA4\xA3\xA5\xA3\xA6\xA3\xA7\xA3\xA8\xA3\xA9\xA3\xAA" // ㄅ…ㄙ
        "\xA3\xB8\xA3\xB9\xA3\xBA" // ㄧㄨㄩ
        "\xA3\xAB\xA3\xAC\xA3\xAD\xA3\xAE\xA3\xAF\xA3\xB0\xA3\xB1\xA3\xB2\xA3\xB3\xA3\xB4\xA3\xB5"
        "\xA3\xB6\xA3\xB7"                           // ㄚ…ㄦ
        "\xA3\xBC\xA3\xBD\xA3\xBE\xA3\xBF\xA3\xBB"); // ˉˊˇˋ˙
}

TEST_F(KeySymbols, EveryCangjieKeyHasItsRadical) {
    EXPECT_EQ(
        firstSymbols(kCangjieLayoutId, 26),
        "\xA4\xE9\xA4\xEB\xAA\xF7\xA4\xEC\xA4\xF4\xA4\xF5\xA4\x67\xA6\xCB\xA4\xE0\xA4\x51\xA4\x6A"
        "\xA4\xA4\xA4\x40" // 日月金木水火土竹戈十大中一
        "\xA4\x7D\xA4\x48\xA4\xDF\xA4\xE2\xA4\x66\xA4\x72\xA4\xDC\xA4\x73\xA4\x6B\xA5\xD0\xC3\xF8"
        "\xA4\x52\xAD\xAB"); // 弓人心手口尸廿山女田難卜重
}

class StoreChoice : public RadicalStoreTest {};

TEST_F(StoreChoice, QuickAndCangjieFillOnlyTheirOwnStore) {
    DictionaryWriter d(kQuickLayoutId);
    d.add(0xFA40, {1, 2});
    load(d, kQuickLayoutId);
    EXPECT_EQ(quick(0), kRiYue);
    EXPECT_EQ(cangjie(0), "");
    load(d, kCangjieLayoutId);
    EXPECT_EQ(cangjie(0), kRiYue);
    EXPECT_EQ(reading(0, 0), "");
}

TEST_F(StoreChoice, ALaterCangjieEntryReplacesTheEarlier) {
    DictionaryWriter d(kCangjieLayoutId);
    d.add(0xFA40, {3, 4, 5, 6, 7}).add(0xFA40, {1, 2});
    load(d, kCangjieLayoutId);
    EXPECT_EQ(cangjie(0), kRiYue);
}

TEST_F(StoreChoice, ALoadClearsItsOwnStoreOnly) {
    std::memset(appState.cangjieRoots[7], 'x', 10);
    std::memset(appState.quickRoots[7], 'q', 10);
    std::memset(appState.phoneticRoots[7][0], 'p', 8);
    loadCangjie({0xFA40});
    EXPECT_EQ(cangjie(7), "");
    EXPECT_EQ(quick(7), "qqqqqqqqqq");
    EXPECT_EQ(reading(7, 0), "pppppppp");
}

TEST_F(StoreChoice, OtherLayoutsAreReadButChangeNothing) {
    std::memset(appState.cangjieRoots, 'c', sizeof appState.cangjieRoots);
    std::memset(appState.quickRoots, 'q', sizeof appState.quickRoots);
    std::memset(appState.phoneticRoots, 'p', sizeof appState.phoneticRoots);
    DictionaryWriter d(kCangjieLayoutId);
    d.add(0xFA40, {1, 2});
    load(d, 0xE0050404);
    const std::vector<char> c(sizeof appState.cangjieRoots, 'c');
    const std::vector<char> q(sizeof appState.quickRoots, 'q');
    const std::vector<char> p(sizeof appState.phoneticRoots, 'p');
    EXPECT_EQ(std::memcmp(appState.cangjieRoots, c.data(), c.size()), 0);
    EXPECT_EQ(std::memcmp(appState.quickRoots, q.data(), q.size()), 0);
    EXPECT_EQ(std::memcmp(appState.phoneticRoots, p.data(), p.size()), 0);
    EXPECT_TRUE(shown().empty());
}

TEST_F(StoreChoice, ACountOfZeroOrLessClearsAndLoadsNothing) {
    for (int32_t count : {0, -1, INT32_MIN}) {
        SCOPED_TRACE(count);
        std::memset(appState.cangjieRoots[0], 'x', 10);
        DictionaryWriter d(kCangjieLayoutId);
        d.add(0xFA40, {1, 2}).add(0xFA41, {1, 2}).announce(count);
        load(d, kCangjieLayoutId);
        EXPECT_EQ(cangjie(0), "");
        EXPECT_EQ(cangjie(1), "");
    }
}

TEST_F(StoreChoice, OnlyTheAnnouncedEntriesAreRead) {
    DictionaryWriter d(kCangjieLayoutId);
    d.add(0xFA40, {1, 2}).add(0xFA41, {1, 2}).add(0xFA42, {1, 2}).announce(2);
    load(d, kCangjieLayoutId);
    EXPECT_EQ(cangjie(1), kRiYue);
    EXPECT_EQ(cangjie(2), "");
}

class ReadingSlots : public RadicalStoreTest {};

TEST_F(ReadingSlots, TwoTonedReadingsFillSlotsZeroAndOne) {
    DictionaryWriter d(kPhoneticLayoutId);
    d.add(0xFA40, {1, 25, 0, 38}).add(0xFA40, {2, 25, 0, 39});
    load(d, kPhoneticLayoutId);
    EXPECT_EQ(reading(0, 0), kBaTone1);
    EXPECT_EQ(reading(0, 1), kPaTone2);
    EXPECT_EQ(reading(0, 2), "");
}

TEST_F(ReadingSlots, AReadingWithoutToneLeavesItsSlotToTheNext) {
    DictionaryWriter d(kPhoneticLayoutId);
    d.add(0xFA40, {1, 25, 0, 0}).add(0xFA40, {2, 25, 0, 39});
    load(d, kPhoneticLayoutId);
    EXPECT_EQ(reading(0, 0), kPaTone2);
    EXPECT_EQ(reading(0, 1), "");
}

TEST_F(ReadingSlots, AnEighthReadingIsDroppedAndNeighboursStayEmpty) {
    // The last code of all: a write past its seven slots would leave the store.
    for (uint16_t code : {0xFEFE, 0xC8FE}) {
        SCOPED_TRACE(code);
        const uint16_t p = codeToPuaIndex(code);
        DictionaryWriter d(kPhoneticLayoutId);
        for (int r = 0; r < 8; ++r)
            d.add(code, {r + 1, 22, 25, 38});
        d.add(0xFA41, {1, 25, 0, 38});
        load(d, kPhoneticLayoutId);
        for (int r = 0; r < 7; ++r)
            EXPECT_EQ(static_cast<unsigned char>(reading(p, r)[1]), 0x74 + r) << r; // ㄅ… in order
        EXPECT_EQ(reading(1, 0), kBaTone1); // the load went on after the dropped reading
        if (p + 1 < kEudcCodeCount) {
            EXPECT_EQ(reading(p + 1, 0), "");
        }
        EXPECT_EQ(reading(p - 1, 6), "");
    }
}

class MissingDictionary : public RadicalStoreTest {};

TEST_F(MissingDictionary, WarnsWithTheImeNameAndKeepsTheStore) {
    std::memcpy(appState.phoneticRoots[3][0], kBaTone1, 8);
    loadRadicalDictionary(missingFilePath().c_str(), kPhonetic, kPhoneticLayoutId);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].caption, kCaption);
    EXPECT_EQ(shown()[0].text,
              "\xC4\xB5\xA7\x69! \xB5\x4C\xAA\x6B\xB6\x7D\xB1\xD2\xA1\x69" // 警告! 無法開啟【
              "\xAA\x60\xAD\xB5"                                           // 注音
              "\xA1\x6A\xBF\xE9\xA4\x4A\xAA\x6B\xA6\x72\xAE\xDA\xC0\xC9"); // 】輸入法字根檔
    EXPECT_EQ(reading(3, 0), kBaTone1);
}

TEST_F(MissingDictionary, WarnsForLayoutsThatAreNotReadToo) {
    const char name[] = "\xA7\xD6\xB3\x74"; // 快速
    loadRadicalDictionary(missingFilePath().c_str(), name, 0xE0050404);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_NE(shown()[0].text.find(std::string("\xA1\x69") + name + "\xA1\x6A"), // 【快速】
              std::string::npos);
}

TEST_F(MissingDictionary, TheLongestImeNameIsShownWhole) {
    const std::string name(31, 'N');
    loadRadicalDictionary(missingFilePath().c_str(), name.c_str(), kCangjieLayoutId);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_NE(shown()[0].text.find("\xA1\x69" + name + "\xA1\x6A"), std::string::npos);
    const std::string tail = "\xA1\x6A\xBF\xE9\xA4\x4A\xAA\x6B\xA6\x72\xAE\xDA\xC0\xC9";
    EXPECT_EQ(shown()[0].text.substr(shown()[0].text.size() - tail.size()), tail);
}

} // namespace
} // namespace kestra::testing
