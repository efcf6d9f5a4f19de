#include "app/font_choice.h"

#include <cstring>

#include "eudc/app_state.h"
#include "eudc/big5_string.h"

namespace kestra {
namespace {

const char kKaiFace[] = "\xBC\xD0\xB7\xA2\xC5\xE9"; // 標楷體
// (若有輸入碼而無字,則該字僅用於系統標準造字檔)
const char kKaiNote[] = "(\xAD\x59\xA6\xB3\xBF\xE9\xA4\x4A\xBD\x58\xA6\xD3\xB5\x4C\xA6\x72,"
                        "\xAB\x68\xB8\xD3\xA6\x72\xB6\xC8\xA5\xCE\xA9\xF3\xA8\x74\xB2\xCE"
                        "\xBC\xD0\xB7\xC7\xB3\x79\xA6\x72\xC0\xC9)";

} // namespace

void acceptFontChoice(const char* face, const char* eudcFile) {
    copyBounded(appState.fontFace, face);
    copyBounded(appState.eudcFilePath, eudcFile);
    upperCaseAsciiLetters(appState.eudcFilePath);
    for (int i = 0; i < appState.annotatableImeCount && i < kMaxImes; ++i)
        appState.annotate[i] = 0;
    appState.printAll = 1;
    appState.rangeStartCode = 0xFA40;
    appState.rangeEndCode = 0xFEFE;
    appState.printCount = kEudcCodeCount;
    appState.printStartIndex = 0;
}

bool isStandardEudcChoice(const char* face) {
    // Without EnableEUDC the label stays empty and no row can match it.
    return appState.standardEudcLabel[0] != '\0' &&
           equalsIgnoringAsciiCase(face, appState.standardEudcLabel);
}

std::string fontChoiceTitle(const char* face) {
    char title[kPathSize] = {};
    copyBounded(title, face);
    std::string text = title;
    if (text == kKaiFace)
        text += kKaiNote;
    return text;
}

} // namespace kestra
