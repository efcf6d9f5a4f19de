#include "dialogs/font_list_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kestra {
namespace {

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::vector<FaceSlot> slots(names.size());
    for (size_t i = 0; i < names.size(); ++i)
        copyBounded(slots[i], names[i].c_str());
    sortFaceSlots(slots.data(), static_cast<int>(slots.size()));
    return std::vector<std::string>(slots.begin(), slots.end());
}

TEST(IsListedFace, OnlyHorizontalBig5TrueTypeFaces) {
    EXPECT_TRUE(isListedFace(136, 4, "AR PL UMing TW"));
    EXPECT_FALSE(isListedFace(136, 4, "@AR PL UMing TW"));
    EXPECT_FALSE(isListedFace(0, 4, "Liberation Sans"));
    EXPECT_FALSE(isListedFace(136, 1, "Raster"));
    EXPECT_FALSE(isListedFace(136, 4 | 2, "Device TrueType"));
}

TEST(SortFaceSlots, LatinBeforeBig5InByteOrderAndSlotZeroStays) {
    // 標楷體, 細明體, 新細明體: lead bytes BC, B2, B7.
    const std::string kai = "\xBC\xD0\xB7\xA2\xC5\xE9";
    const std::string ming = "\xB2\xD3\xA9\xFA\xC5\xE9";
    const std::string newMing = "\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9";
    EXPECT_EQ(sorted({"~reserved", kai, "Arial", ming, "AR PL UMing TW", newMing, "Arial"}),
              (std::vector<std::string>{"~reserved", "AR PL UMing TW", "Arial", "Arial", ming,
                                        newMing, kai}));
    EXPECT_EQ(sorted({"~reserved", "b", "a"}), (std::vector<std::string>{"~reserved", "a", "b"}));
    EXPECT_EQ(sorted({"z"}), (std::vector<std::string>{"z"}));
}

TEST(FormEudcFilePath, ExpandsSystemRootOnTheNtFamilyOnlyAndNeverCuts) {
    const std::string k255(255, 'x');
    const struct {
        std::string value;
        int platform;
        const char* windowsDirectory;
        bool formed;
        std::string expected;
    } cases[] = {
        {"%SystemRoot%\\FONTS\\EUDC.TTE", 2, "C:\\WINNT", true, "C:\\WINNT\\FONTS\\EUDC.TTE"},
        {"%systemROOT%\\eudc.tte", 2, "C:\\WINNT", true, "C:\\WINNT\\eudc.tte"},
        {"%SystemRoot%\\FONTS\\EUDC.TTE", 1, "C:\\WINNT", true, "%SystemRoot%\\FONTS\\EUDC.TTE"},
        {"%SystemRoot", 2, "C:\\WINNT", true, "%SystemRoot"},
        {"X%SystemRoot%\\EUDC.TTE", 2, "C:\\WINNT", true, "X%SystemRoot%\\EUDC.TTE"},
        {"%SystemRoot%\\EUDC.TTE", 2, nullptr, false, ""},
        // Exactly 255 bytes fit; one more would have to be cut, so it is refused.
        {k255, 1, nullptr, true, k255},
        {k255 + "x", 2, "C:\\WINNT", false, ""},
        {"%SystemRoot%" + std::string(247, 'y'), 2, "C:\\WINNT", true,
         "C:\\WINNT" + std::string(247, 'y')},
        {"%SystemRoot%" + std::string(248, 'y'), 2, "C:\\WINNT", false, ""},
        {"%SystemRoot%" + std::string(244, 'y'), 1, "C:\\WINNT", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.substr(0, 40) + " on platform " + std::to_string(c.platform));
        char eudcFile[kPathSize];
        std::memset(eudcFile, '#', sizeof eudcFile);
        EXPECT_EQ(formEudcFilePath(c.value.c_str(), c.platform, c.windowsDirectory, eudcFile),
                  c.formed);
        EXPECT_EQ(std::string(eudcFile), c.expected);
    }
}

TEST(CutToShortFileName, KeepsTheBaseNameUpTo16Bytes) {
    const struct {
        const char* path;
        const char* shortName;
    } cases[] = {
        {"C:\\WINNT\\FONTS\\EUDC.TTE", "EUDC"},
        {"C:\\MY.FONTS\\EUDC", "MY"},
        {"EUDC.TTE", "EUDC"},
        {"C:\\FONTS\\", ""},
        {"", ""},
        {"C:\\F\\ABCDEFGHIJKLMNOP.TTE", "ABCDEFGHIJKLMNOP"},
        {"C:\\F\\ABCDEFGHIJKLMNOPQ.TTE", "ABCDEFGHIJKL..."},
        {"C:\\F\\ABCDEFGHIJKLMNOPQRST.TTE", "ABCDEFGHIJKL..."},
        {"C:\\F\\A.B.TTE", "A.B"},
    };
    for (const auto& c : cases) {
        char work[kPathSize] = {};
        copyBounded(work, c.path);
        EXPECT_STREQ(cutToShortFileName(work), c.shortName) << c.path;
    }
}

TEST(ChooseRowLook, FollowsTheStateTable) {
    const struct {
        unsigned action;
        unsigned state;
        bool highlighted;
        uint32_t text;
    } cases[] = {
        {kDrawEntire, 0, false, kBlack},
        {kDrawEntire, kStateSelected, true, kWhite},
        {kDrawEntire, kStateFocus, true, kWhite},
        {kDrawEntire, kStateSelected | kStateFocus, false, kBlack},
        {kDrawEntire, kStateDisabled, false, kDisabledGrey},
        {kDrawEntire, kStateDisabled | kStateSelected, false, kDisabledGrey},
        {kDrawEntire, 0x20, false, kBlack},
        {kDrawFocus, 0, true, kWhite},
        {kDrawFocus, kStateDisabled, true, kWhite},
        {kDrawSelect, kStateSelected, false, kBlack},
        {kDrawSelect, 0, false, kBlack},
    };
    for (const auto& c : cases) {
        const RowLook look = chooseRowLook(c.action, c.state);
        EXPECT_EQ(look.highlighted, c.highlighted) << c.action << "/" << c.state;
        EXPECT_EQ(look.textColour, c.text) << c.action << "/" << c.state;
    }
}

} // namespace
} // namespace kestra
