// How the loader tells the user that a radical dictionary cannot be read.
// The Windows build shows a message box with no owner; tests put their own
// sink in its place to see what would have been shown.
#pragma once

namespace kestra {

using WarningSink = void (*)(const char* caption, const char* text);

// nullptr puts the platform's own sink back.
void setWarningSink(WarningSink sink);

// "警告! 無法開啟【<layoutText>】輸入法字根檔" under the caption "警告訊息".
void warnDictionaryUnreadable(const char* layoutText);

// The platform's own sink: an ownerless error box on Windows, standard error
// elsewhere. Defined once per platform, in its own file.
void platformWarning(const char* caption, const char* text);

} // namespace kestra
