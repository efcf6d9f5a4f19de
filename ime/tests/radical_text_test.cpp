#include "ime/radical_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "ime/radical_dictionary.h"
#include "ime/radical_keys.h"
#include "ime/tests/dictionary_writer.h"
#include "ime/tests/radical_store_fixture.h"

namespace kestra::testing {
namespace {

constexpr char kRiYue[] = "\xA4\xE9\xA4\xEB\xA1\x40\xA1\x40\xA1\x40"; // 日月　　　
constexpr char kBaTone1[] = "\xA3\x74\xA3\xAB\xA1\x40\xA3\xBC";       // ㄅㄚ　ˉ
constexpr char kPaTone2[] = "\xA3\x75\xA3\xAB\xA1\x40\xA3\xBD";       // ㄆㄚ　ˊ
constexpr char kSpace[] = "\xA1\x40";                                 // 　

void load(const DictionaryWriter& dictionary, uint32_t layoutId) {
    const TempFile file(dictionary.bytes());
    loadRadicalDictionary(file.path(), "", layoutId);
}

void setText(const char* junk) {
    copyBounded(appState.annotationText, junk);
}

class RadicalText : public RadicalStoreTest {};

TEST_F(RadicalText, CodesOutsideTheSpaceGiveNothing) {
    DictionaryWriter d(kCangjieLayoutId);
    d.add(0xFA40, {1, 2});
    load(d, kCangjieLayoutId);
    for (uint16_t code : {0xA440, 0xC640, 0xFFFF, 0x0000}) {
        for (uint32_t layout : {kPhoneticLayoutId, kCangjieLayoutId, kQuickLayoutId}) {
            setText("junk");
            lookupRadicalText(code, layout);
            EXPECT_EQ(text(), "") << std::hex << code << " " << layout;
        }
    }
}

TEST_F(RadicalText, NothingStoredGivesNothing) {
    setText("junk");
    lookupRadicalText(0xFA40, kPhoneticLayoutId);
    EXPECT_EQ(text(), "");
    setText("junk");
    lookupRadicalText(0xFA40, kCangjieLayoutId);
    EXPECT_EQ(text(), "");
}

TEST_F(RadicalText, OtherLayoutsGiveNothing) {
    DictionaryWriter d(kCangjieLayoutId);
    d.add(0xFA40, {1, 2});
    load(d, kCangjieLayoutId);
    setText("junk");
    lookupRadicalText(0xFA40, 0xE0050404);
    EXPECT_EQ(text(), "");
}

TEST_F(RadicalText, CangjieAndQuickGiveTheirTenBytes) {
    DictionaryWriter d(kCangjieLayoutId);
    d.add(0xC8FE, {1, 2});
    load(d, kCangjieLayoutId);
    DictionaryWriter q(kQuickLayoutId);
    q.add(0xC8FE, {26});
    load(q, kQuickLayoutId);
    lookupRadicalText(0xC8FE, kCangjieLayoutId);
    EXPECT_EQ(text(), kRiYue);
    lookupRadicalText(0xC8FE, kQuickLayoutId);
    EXPECT_EQ(text(), "\xAD\xAB\xA1\x40\xA1\x40\xA1\x40\xA1\x40"); // 重　　　　
}

TEST_F(RadicalText, ReadingsAreJoinedByFullWidthSpaces) {
    DictionaryWriter d(kPhoneticLayoutId);
    d.add(0x8140, {1, 25, 0, 38}).add(0x8140, {2, 25, 0, 39});
    load(d, kPhoneticLayoutId);
    lookupRadicalText(0x8140, kPhoneticLayoutId);
    EXPECT_EQ(text(), std::string(kBaTone1) + kSpace + kPaTone2);
}

TEST_F(RadicalText, AnUntonedReadingShowsOnlyInSlotZero) {
    DictionaryWriter first(kPhoneticLayoutId);
    first.add(0x8140, {1, 25, 0, 0});
    load(first, kPhoneticLayoutId);
    lookupRadicalText(0x8140, kPhoneticLayoutId);
    EXPECT_EQ(text(), "\xA3\x74\xA3\xAB\xA1\x40\xA1\x40"); // ㄅㄚ　　

    DictionaryWriter later(kPhoneticLayoutId);
    later.add(0x8140, {1, 25, 0, 38}).add(0x8140, {2, 25, 0, 0});
    load(later, kPhoneticLayoutId);
    lookupRadicalText(0x8140, kPhoneticLayoutId);
    EXPECT_EQ(text(), kBaTone1);
}

TEST_F(RadicalText, SevenReadingsAreHeldWhole) {
    DictionaryWriter d(kPhoneticLayoutId);
    for (int r = 0; r < 7; ++r)
        d.add(0xC6A1, {r + 1, 22, 25, 38});
    load(d, kPhoneticLayoutId);
    lookupRadicalText(0xC6A1, kPhoneticLayoutId);
    EXPECT_EQ(text(), "\xA3\x74\xA3\xB8\xA3\xAB\xA3\xBC\xA1\x40" // ㄅㄧㄚˉ　
                      "\xA3\x75\xA3\xB8\xA3\xAB\xA3\xBC\xA1\x40" // ㄆㄧㄚˉ　
                      "\xA3\x76\xA3\xB8\xA3\xAB\xA3\xBC\xA1\x40" // ㄇㄧㄚˉ　
                      "\xA3\x77\xA3\xB8\xA3\xAB\xA3\xBC\xA1\x40" // ㄈㄧㄚˉ　
                      "\xA3\x78\xA3\xB8\xA3\xAB\xA3\xBC\xA1\x40" // ㄉㄧㄚˉ　
                      "\xA3\x79\xA3\xB8\xA3\xAB\xA3\xBC\xA1\x40" // ㄊㄧㄚˉ　
                      "\xA3\x7A\xA3\xB8\xA3\xAB\xA3\xBC");       // ㄋㄧㄚˉ
    EXPECT_EQ(text().size(), 68u);
}

// The radicals of keys given in order, padded to five with full-width spaces.
std::string radicalsOf(std::initializer_list<int> keys) {
    std::string out;
    for (int key : keys) {
        out += static_cast<char>(kCangjieKeys[key - 1] >> 8);
        out += static_cast<char>(kCangjieKeys[key - 1] & 0xFF);
    }
    while (out.size() < 10)
        out += kSpace;
    return out;
}

TEST_F(RadicalText, EveryCodeFindsWhatItsCodePointStored) {
    // Keys derived from the PUA index, so a code that found another code's
    // radicals would show the wrong ones.
    appState.platform = 2;
    DictionaryWriter d(kCangjieLayoutId);
    for (int p = 0; p < kEudcCodeCount; ++p)
        d.add(static_cast<uint16_t>(0xE000 + p), {1 + p % 26, 1 + (p / 26) % 26, 1 + p / 676});
    load(d, kCangjieLayoutId);
    int mismatches = 0;
    for (int p = 0; p < kEudcCodeCount; ++p) {
        lookupRadicalText(puaIndexToCode(static_cast<uint16_t>(p)), kCangjieLayoutId);
        if (text() != radicalsOf({1 + p % 26, 1 + (p / 26) % 26, 1 + p / 676}))
            ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace kestra::testing
