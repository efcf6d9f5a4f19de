#include "app/tests/sample_choices.h"

#include "eudc/app_state.h"
#include "ime/radical_dictionary.h"

namespace programtest {

using kestra::appState;

void chooseFace(uint16_t count) {
    kestra::copyBounded(appState.fontFace, "AR PL UMing TW");
    kestra::copyBounded(appState.eudcFilePath, "C:\\WINDOWS\\FONTS\\EUDCRING.TTE");
    appState.printAll = 1;
    appState.printStartIndex = 0;
    appState.printCount = count;
}

void annotateWithPhoneticAndCangjie() {
    appState.platform = 2;
    appState.annotatableImeCount = 2;
    appState.imeTable[0].layoutId = kestra::kPhoneticLayoutId;
    kestra::copyBounded(appState.imeTable[0].layoutText, "\xAA\x60\xAD\xB5"); // 注音
    appState.imeTable[1].layoutId = kestra::kCangjieLayoutId;
    kestra::copyBounded(appState.imeTable[1].layoutText, "\xAD\xDC\xBE\x65"); // 倉頡
    appState.annotate[0] = appState.annotate[1] = 1;
    kestra::loadRadicalDictionary("C:\\kestra\\dict\\phonetic_pua.dat",
                                  appState.imeTable[0].layoutText, kestra::kPhoneticLayoutId);
    kestra::loadRadicalDictionary("C:\\kestra\\dict\\cangjie_pua.dat",
                                  appState.imeTable[1].layoutText, kestra::kCangjieLayoutId);
}

} // namespace programtest
