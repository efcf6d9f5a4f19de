// The page strings as the program's string table holds them, for tests that
// draw pages without loading the resources.
#pragma once

#include "print/page_renderer.h"

namespace kestra::testing {

inline constexpr char kLabelFace[] = "\xB2\xD3\xA9\xFA\xC5\xE9";             // 細明體
inline constexpr char kStandardLabel[] = "\xBC\xD0\xB7\xC7\xB3\x79\xA6\x72"; // 標準造字
inline constexpr char kCodeHeading[] = "\xA4\xBA\xBD\x58";                   // 內碼
// 字型：%s        外字檔案：%s
inline constexpr char kHeaderFormat[] =
    "\xA6\x72\xAB\xAC\xA1\x47%s        \xA5\x7E\xA6\x72\xC0\xC9\xAE\xD7\xA1\x47%s";
inline constexpr char kFooterFormat[] = "\xB2\xC4 %d \xAD\xB6"; // 第 %d 頁

inline constexpr PageTexts kSamplePageTexts{kLabelFace, kStandardLabel, kHeaderFormat,
                                            kFooterFormat, kCodeHeading};

} // namespace kestra::testing
