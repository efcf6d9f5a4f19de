#include "table/code_list.h"

#include <cerrno>
#include <cstring>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "ime/radical_text.h"
#include "table/big5_text.h"
#include "table/font_files.h"

namespace kestra {
namespace {

constexpr unsigned kFirstPuaCodePoint = 0xE000;

// The radical columns of appState's annotating input methods, in order.
template <typename Visit> void forEachColumn(Visit visit) {
    const int count =
        appState.annotatableImeCount < kMaxImes ? appState.annotatableImeCount : kMaxImes;
    for (int k = 0; k < count; ++k) {
        if (appState.annotate[k] == 1)
            visit(appState.imeTable[k].layoutId);
    }
}

std::string utf8Of(Big5Text& big5, const char* text, size_t maxLength) {
    const size_t length = strnlen(text, maxLength);
    std::string utf8;
    for (char32_t c : big5.toUnicode(text, static_cast<int>(length)))
        appendUtf8(utf8, c);
    return utf8;
}

std::string codeListHeading() {
    std::string heading = "big5\tunicode\tglyph";
    forEachColumn([&](uint32_t layoutId) {
        heading += layoutId == kPhoneticLayoutId ? "\tphonetic" : "\tcangjie";
    });
    return heading;
}

std::string codeListLine(uint16_t code, const EudcFont& font, Big5Text& big5) {
    char fields[32];
    std::snprintf(fields, sizeof fields, "%04X\tU+%04X\t%s", static_cast<unsigned>(code),
                  kFirstPuaCodePoint + codeToPuaIndex(code), font.definesCode(code) ? "yes" : "no");
    std::string line = fields;
    forEachColumn([&](uint32_t layoutId) {
        appState.annotationText[0] = '\0';
        lookupRadicalText(code, layoutId);
        line += '\t';
        line += utf8Of(big5, appState.annotationText, sizeof appState.annotationText);
    });
    return line;
}

} // namespace

bool writeCodeList(const std::vector<uint16_t>& codes, const EudcFont& font, std::FILE* out) {
    Big5Text big5;
    errno = 0;
    std::string text = codeListHeading() + '\n';
    for (uint16_t code : codes)
        text += codeListLine(code, font, big5) + '\n';
    if (std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0)
        return true;
    if (errno == 0)
        errno = EIO;
    return false;
}

} // namespace kestra
