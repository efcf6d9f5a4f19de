#include "table/job/code_list.h"

#include <cerrno>
#include <cstring>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "ime/radical_text.h"
#include "table/fonts/font_files.h"
#include "table/job/code_matches.h"
#include "table/text/big5_text.h"

namespace kestra {
namespace {

constexpr unsigned kFirstPuaCodePoint = 0xE000;
constexpr char32_t kFullWidthSpace = 0x3000;

// The radical columns of appState's annotating input methods, in order.
template <typename Visit> void forEachColumn(Visit visit) {
    const int count =
        appState.annotatableImeCount < kMaxImes ? appState.annotatableImeCount : kMaxImes;
    for (int k = 0; k < count; ++k) {
        if (appState.annotate[k] == 1)
            visit(appState.imeTable[k].layoutId);
    }
}

// A stored element in UTF-8 as the page shows it, without the full-width
// spaces that pad its end. Those within it stay: a Phonetic reading keeps a
// symbol's position, ㄅ　ㄚˉ with no medial between initial and final.
std::string unpadded(Big5Text& big5, const char* text, size_t length) {
    std::u32string characters = big5.toUnicode(text, static_cast<int>(length));
    while (!characters.empty() &&
           (characters.back() == kFullWidthSpace || characters.back() == U' '))
        characters.pop_back();
    std::string utf8;
    for (char32_t c : characters)
        appendUtf8(utf8, c);
    return utf8;
}

// The readings of a Phonetic code one space apart, or the radicals of a
// Cangjie code.
std::string radicalField(Big5Text& big5, uint16_t code, uint32_t layoutId) {
    std::string field;
    forEachRadicalElement(code, layoutId, [&](const char* text, size_t length) {
        const std::string element = unpadded(big5, text, length);
        if (!element.empty())
            field += (field.empty() ? "" : " ") + element;
    });
    return field;
}

// "\tU+2A6D6\t0.912", "\t\t0.640" or "\t\t".
std::string matchFields(const CodeMatch& match) {
    if (!match.compared)
        return "\t\t";
    return '\t' + (match.standard != 0 ? codePointName(match.standard) : std::string()) + '\t' +
           similarityText(match.similarity);
}

std::string codeListHeading(bool matched) {
    std::string heading = "big5\tunicode\tglyph";
    forEachColumn([&](uint32_t layoutId) {
        heading += layoutId == kPhoneticLayoutId ? "\tphonetic" : "\tcangjie";
    });
    return matched ? heading + "\tstandard\tsimilarity" : heading;
}

std::string codeListLine(uint16_t code, const EudcFont& font, Big5Text& big5,
                         const CodeMatches* matches) {
    char fields[32];
    std::snprintf(fields, sizeof fields, "%04X\tU+%04X\t%s", static_cast<unsigned>(code),
                  kFirstPuaCodePoint + codeToPuaIndex(code), font.definesCode(code) ? "yes" : "no");
    std::string line = fields;
    forEachColumn([&](uint32_t layoutId) { line += '\t' + radicalField(big5, code, layoutId); });
    return matches != nullptr ? line + matchFields(matches->of(code)) : line;
}

} // namespace

bool writeCodeList(const std::vector<uint16_t>& codes, const EudcFont& font, std::FILE* out,
                   const CodeMatches* matches) {
    Big5Text big5;
    errno = 0;
    std::string text = codeListHeading(matches != nullptr) + '\n';
    for (uint16_t code : codes)
        text += codeListLine(code, font, big5, matches) + '\n';
    if (std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0)
        return true;
    if (errno == 0)
        errno = EIO;
    return false;
}

} // namespace kestra
