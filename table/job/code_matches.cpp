#include "table/job/code_matches.h"

#include <cstdio>

#include "eudc/code_space.h"
#include "match/glyph_features.h"
#include "table/fonts/font_files.h"

namespace kestra {

CodeMatches::CodeMatches(const std::vector<uint16_t>& codes, const EudcFont& font,
                         const match::ReferenceIndex& index)
    : byPuaIndex_(kEudcCodeCount), facesUsed_(index.faces().size()) {
    match::GlyphFeatures extractor;
    match::Features features;
    for (uint16_t code : codes) {
        CodeMatch& found = byPuaIndex_[codeToPuaIndex(code)];
        found.hasGlyph = font.definesCode(code);
        found.compared =
            found.hasGlyph && extractor.features(font.face(), font.glyphOfCode(code), features);
        if (!found.compared)
            continue;
        const match::Suggestion suggestion = index.suggest(features);
        found.standard = suggestion.code;
        found.similarity = suggestion.similarity;
        found.face = suggestion.face;
        if (suggestion.code != 0)
            facesUsed_[static_cast<size_t>(suggestion.face)] = true;
    }
}

const CodeMatch& CodeMatches::of(uint16_t code) const {
    static const CodeMatch kNone;
    const uint16_t index = codeToPuaIndex(code);
    return index < byPuaIndex_.size() ? byPuaIndex_[index] : kNone;
}

bool CodeMatches::usesFace(int face) const {
    return face >= 0 && static_cast<size_t>(face) < facesUsed_.size() &&
           facesUsed_[static_cast<size_t>(face)];
}

std::string similarityText(float similarity) {
    char text[16];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(similarity));
    return text;
}

} // namespace kestra
