#include "eudc/app_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

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
    struct Case {
        int size;
        const char* source;
        const char* kept;
    } const cases[] = {
        // "a" then 細 (B2D3) then 明 (A9FA): a 4-byte field holds "a" and 細 only.
        {4, "a\xB2\xD3\xA9\xFA", "a\xB2\xD3"},
        {3, "a\xB2\xD3", "a"},
        // The first and last lead bytes, with a letter for a trail; the bytes
        // around them are single.
        {3, "a\x81\x61", "a"},
        {3, "a\xFE\x7A", "a"},
        {3, "a\x80\x61", "a\x80"},
        {3, "a\xFF\x7A", "a\xFF"},
    };
    for (const Case& c : cases) {
        std::vector<char> field(c.size, 'x'); // exactly as long, for the sanitizer
        copyBounded(field.data(), c.size, c.source);
        EXPECT_STREQ(field.data(), c.kept) << c.size << "-byte field";
    }
}

}  // namespace
}  // namespace kestra
