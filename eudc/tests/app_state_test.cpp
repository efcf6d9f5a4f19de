#include "eudc/app_state.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kestra {
namespace {

TEST(AppState, StartsWithPrintAllAndEverythingElseEmpty) {
    const AppState fresh{};
    EXPECT_EQ(fresh.printAll, 1);
    EXPECT_EQ(fresh.fontFace[0], '\0');
    EXPECT_EQ(fresh.printCount, 0);
    EXPECT_EQ(fresh.annotatableImeCount, 0);
    EXPECT_EQ(fresh.enableEudc, nullptr);
    for (int flag : fresh.annotate)
        EXPECT_EQ(flag, 0);
}

TEST(AppState, FieldsHaveTheirFixedSizes) {
    const AppState s{};
    EXPECT_EQ(sizeof s.fontFace, 32u);
    EXPECT_EQ(sizeof s.eudcFilePath, 256u);
    EXPECT_EQ(sizeof s.savedAssociation, 260u);
    EXPECT_EQ(sizeof s.imeTable[0].layoutKey, 16u);
    EXPECT_EQ(sizeof s.imeTable[0].imeFile, 64u);
    EXPECT_EQ(sizeof s.imeTable[0].layoutText, 32u);
    EXPECT_EQ(sizeof s.imeTable[0].dictionaryPath, 256u);
    EXPECT_EQ(sizeof s.phoneticRoots, 391671u);
    EXPECT_EQ(sizeof s.cangjieRoots, 68387u);
    EXPECT_EQ(sizeof s.quickRoots, 68387u);
    EXPECT_GE(sizeof s.annotationText, 69u);  // seven readings and the terminator
}

TEST(CopyBounded, CopiesShortTextWhole) {
    char dst[8];
    copyBounded(dst, "abc");
    EXPECT_STREQ(dst, "abc");
}

TEST(CopyBounded, CutsLongTextAndTerminates) {
    char dst[4];
    std::memset(dst, 'x', sizeof dst);
    copyBounded(dst, "abcdef");
    EXPECT_STREQ(dst, "abc");
}

TEST(CopyBounded, NeverKeepsHalfABig5Character) {
    // "a" then 細 (B2D3) then 明 (A9FA): a 4-byte field holds "a" and 細 only.
    char dst[4];
    copyBounded(dst, "a\xB2\xD3\xA9\xFA");
    EXPECT_STREQ(dst, "a\xB2\xD3");
    char tight[3];
    copyBounded(tight, "a\xB2\xD3");
    EXPECT_STREQ(tight, "a");
}

}  // namespace
}  // namespace kestra
