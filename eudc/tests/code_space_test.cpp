#include "eudc/code_space.h"

#include <gtest/gtest.h>

#include <set>

namespace kestra {
namespace {

TEST(CodeSpace, CodeOrderWalksEveryCodeAscendingAndBack) {
    uint16_t previous = 0;
    for (uint16_t i = 0; i < kEudcCodeCount; ++i) {
        const uint16_t code = codeOrderIndexToCode(i);
        ASSERT_TRUE(isEudcCode(code)) << std::hex << code;
        ASSERT_GT(code, previous) << "index " << i;
        ASSERT_EQ(codeToCodeOrderIndex(code), i) << std::hex << code;
        previous = code;
    }
}

TEST(CodeSpace, PuaOrderWalksEveryCodeOnceAndBack) {
    std::set<uint16_t> seen;
    for (uint16_t i = 0; i < kEudcCodeCount; ++i) {
        const uint16_t code = puaIndexToCode(i);
        ASSERT_TRUE(isEudcCode(code)) << std::hex << code;
        ASSERT_EQ(codeToPuaIndex(code), i) << std::hex << code;
        seen.insert(code);
    }
    EXPECT_EQ(seen.size(), kEudcCodeCount);
}

TEST(CodeSpace, PuaOrderFollowsTheRangesInTableOrder) {
    uint16_t index = 0;
    for (const EudcRange& range : kEudcRanges) {
        EXPECT_EQ(puaIndexToCode(index), range.start);
        while (index + 1 < kEudcCodeCount && puaIndexToCode(index + 1) <= range.end &&
               puaIndexToCode(index + 1) > puaIndexToCode(index))
            ++index;
        EXPECT_EQ(puaIndexToCode(index), range.end);
        ++index;
    }
    EXPECT_EQ(index, kEudcCodeCount);
}

TEST(CodeSpace, IsEudcCodeAcceptsExactlyTheSpace) {
    int accepted = 0;
    for (uint32_t v = 0; v <= 0xFFFF; ++v) {
        const uint16_t code = static_cast<uint16_t>(v);
        const bool inSpace = codeToCodeOrderIndex(code) != kNoCode;
        ASSERT_EQ(isEudcCode(code), inSpace) << std::hex << v;
        ASSERT_EQ(codeToPuaIndex(code) != kNoCode, inSpace) << std::hex << v;
        accepted += inSpace ? 1 : 0;
    }
    EXPECT_EQ(accepted, kEudcCodeCount);
}

struct Corner {
    uint16_t code, pua, codeOrder, linear, codePoint;
};

TEST(CodeSpace, CornerValues) {
    const Corner corners[] = {
        {0x8140, 3768, 0, 17741, 0xEEB8},    {0x817E, 3830, 62, 17803, 0xEEF6},
        {0x81A1, 3831, 63, 17804, 0xEEF7},   {0x8DFE, 5808, 2040, 19781, 0xF6B0},
        {0x8E40, 785, 2041, 14758, 0xE311},  {0xA0FE, 3767, 5023, 17740, 0xEEB7},
        {0xC6A1, 5809, 5024, 5872, 0xF6B1},  {0xC6FE, 5902, 5117, 5965, 0xF70E},
        {0xC740, 5903, 5118, 5966, 0xF70F},  {0xC8FE, 6216, 5431, 6279, 0xF848},
        {0xFA40, 0, 5432, 13973, 0xE000},    {0xFEFE, 784, 6216, 14757, 0xE310},
    };
    for (const Corner& c : corners) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code);
        EXPECT_EQ(codeToPuaIndex(c.code), c.pua);
        EXPECT_EQ(codeToCodeOrderIndex(c.code), c.codeOrder);
        EXPECT_EQ(codeToLinearIndex(c.code), c.linear);
        EXPECT_EQ(0xE000 + codeToPuaIndex(c.code), c.codePoint);
        EXPECT_EQ(puaIndexToCode(c.pua), c.code);
        EXPECT_EQ(codeOrderIndexToCode(c.codeOrder), c.code);
    }
}

TEST(CodeSpace, IsEudcCodeAtTheEdgesOfRowC6AndOfTheRanges) {
    for (uint16_t code : {0xC640, 0xC67E, 0xC6A0, 0x817F, 0x81A0, 0x81FF, 0xF9FE, 0xFF40})
        EXPECT_FALSE(isEudcCode(code)) << std::hex << code;
    for (uint16_t code : {0xC6A1, 0xC740, 0xC77E, 0xC840, 0xC87E})
        EXPECT_TRUE(isEudcCode(code)) << std::hex << code;
}

TEST(CodeSpace, LinearIndexCoversStandardCodesButPuaIndexDoesNot) {
    EXPECT_EQ(codeToLinearIndex(0xA140), 0);
    EXPECT_EQ(codeToPuaIndex(0xA140), kNoCode);
    EXPECT_EQ(codeToLinearIndex(0xF9FE), 13972);
    EXPECT_EQ(codeToPuaIndex(0xF9FE), kNoCode);
    EXPECT_EQ(codeToLinearIndex(0xFA40), 13973);
    EXPECT_EQ(codeToPuaIndex(0xFA40), 0);
}

TEST(CodeSpace, ValuesThatAreNoBig5CodeHaveNoIndex) {
    for (uint16_t v : {0x8040, 0xFF40, 0x813F, 0x0041, 0xFFFF, 0x81FF}) {
        EXPECT_EQ(codeToLinearIndex(v), kNoCode) << std::hex << v;
        EXPECT_EQ(codeToPuaIndex(v), kNoCode) << std::hex << v;
    }
}

TEST(CodeSpace, CodeOrderIndexOfCodesOutsideTheSpace) {
    EXPECT_EQ(codeToCodeOrderIndex(0xC640), kNoCode);
    EXPECT_EQ(codeToCodeOrderIndex(0xC6FF), kNoCode);
    EXPECT_EQ(codeToCodeOrderIndex(0xA440), kNoCode);
    EXPECT_EQ(codeToCodeOrderIndex(0xFA7F), kNoCode);
}

}  // namespace
}  // namespace kestra
