#include "ime/dictionary_warning.h"

#include <cstring>

#include "eudc/app_state.h"

namespace kestra {
namespace {

WarningSink currentSink = nullptr;

constexpr char kCaption[] = "\xC4\xB5\xA7\x69\xB0\x54\xAE\xA7";            // 警告訊息
constexpr char kTextBefore[] = "\xC4\xB5\xA7\x69"                          // 警告
                               "! "                                        //
                               "\xB5\x4C\xAA\x6B\xB6\x7D\xB1\xD2\xA1\x69"; // 無法開啟【
constexpr char kTextAfter[] =
    "\xA1\x6A\xBF\xE9\xA4\x4A\xAA\x6B\xA6\x72\xAE\xDA\xC0\xC9"; // 】輸入法字根檔

// Room for both fixed parts around the longest display name an ImeRecord holds.
constexpr int kTextSize = sizeof kTextBefore + sizeof ImeRecord::layoutText + sizeof kTextAfter;

void appendBounded(char (&text)[kTextSize], const char* part) {
    const int used = static_cast<int>(std::strlen(text));
    copyBounded(text + used, kTextSize - used, part);
}

} // namespace

void setWarningSink(WarningSink sink) {
    currentSink = sink;
}

void warnDictionaryUnreadable(const char* layoutText) {
    char text[kTextSize] = {};
    appendBounded(text, kTextBefore);
    char name[sizeof ImeRecord::layoutText];
    copyBounded(name, layoutText);
    appendBounded(text, name);
    appendBounded(text, kTextAfter);
    (currentSink != nullptr ? currentSink : platformWarning)(kCaption, text);
}

} // namespace kestra
