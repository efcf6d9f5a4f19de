#include "app/font_choice.h"

#include <gtest/gtest.h>

#include "eudc/app_state.h"

namespace kestra {
namespace {

const char kStandardLabel[] = "\xBC\xD0\xB7\xC7\xB3\x79\xA6\x72"; // 標準造字
const char kKaiFace[] = "\xBC\xD0\xB7\xA2\xC5\xE9";               // 標楷體

class FontChoice : public ::testing::Test {
  protected:
    void SetUp() override { appState = AppState{}; }
};

TEST_F(FontChoice, AcceptingAFaceResetsAChosenRangeAndEveryAnnotation) {
    appState.annotatableImeCount = 2;
    appState.annotate[0] = appState.annotate[1] = 1;
    appState.printAll = 0;
    appState.rangeStartCode = 0xC6A1;
    appState.rangeEndCode = 0xC8FE;
    appState.printStartIndex = 5024;
    appState.printCount = 408;

    acceptFontChoice("AR PL UMing TW", "c:\\windows\\fonts\\eudc.tte");
    EXPECT_STREQ(appState.fontFace, "AR PL UMing TW");
    EXPECT_STREQ(appState.eudcFilePath, "C:\\WINDOWS\\FONTS\\EUDC.TTE");
    EXPECT_EQ(appState.printAll, 1);
    EXPECT_EQ(appState.rangeStartCode, 0xFA40);
    EXPECT_EQ(appState.rangeEndCode, 0xFEFE);
    EXPECT_EQ(appState.printCount, 6217);
    EXPECT_EQ(appState.printStartIndex, 0);
    EXPECT_EQ(appState.annotate[0], 0);
    EXPECT_EQ(appState.annotate[1], 0);
}

TEST_F(FontChoice, TitleNotesTheKaiFaceOnly) {
    EXPECT_EQ(fontChoiceTitle("AR PL UMing TW"), "AR PL UMing TW");
    EXPECT_EQ(fontChoiceTitle(kStandardLabel), kStandardLabel);
    const std::string kai = fontChoiceTitle(kKaiFace);
    EXPECT_EQ(kai.size(), 6u + 45u);
    EXPECT_EQ(kai.rfind(kKaiFace, 0), 0u);
    EXPECT_EQ(kai.substr(6, 1), "(");
    EXPECT_EQ(kai.back(), ')');
    EXPECT_EQ(fontChoiceTitle("\xBC\xD0\xB7\xA2\xC5\xE9 "), "\xBC\xD0\xB7\xA2\xC5\xE9 ");
}

TEST_F(FontChoice, StandardRowIsRecognisedOnlyWithItsLabelLoaded) {
    EXPECT_FALSE(isStandardEudcChoice("")) << "no label: nothing matches";
    copyBounded(appState.standardEudcLabel, kStandardLabel);
    EXPECT_TRUE(isStandardEudcChoice(kStandardLabel));
    EXPECT_FALSE(isStandardEudcChoice("AR PL UMing TW"));
    copyBounded(appState.standardEudcLabel, "Standard");
    EXPECT_TRUE(isStandardEudcChoice("STANDARD"));
}

} // namespace
} // namespace kestra
