#include "print/ime_headings.h"

#include "eudc/app_state.h"

namespace kestra {

const uint32_t kImeLayoutIds[kKnownImeCount] = {
    0xE0010404, 0xE0020404, 0xE0030404, 0xE0080404, 0xE0090404, 0xE0050404, 0xE0060404,
};

const char kImeNames[kKnownImeCount][kImeNameSize] = {
    "\xAA\x60\xAD\xB5",         // 注音
    "\xAD\xDC\xBE\x65",         // 倉頡
    "\xB3\x74\xA6\xA8",         // 速成
    "\xB7\x73\xAA\x60\xAD\xB5", // 新注音
    "\xB7\x73\xAD\xDC\xBE\x65", // 新倉頡
    "\xA6\xE6\xA6\x43",         // 行列
    "\xA4\x6A\xA9\xF6",         // 大易
};

const char* imeHeading(const ImeRecord& ime) {
    for (int row = 0; row < kKnownImeCount; ++row) {
        if (kImeLayoutIds[row] == ime.layoutId)
            return kImeNames[row];
    }
    return ime.layoutText;
}

} // namespace kestra
