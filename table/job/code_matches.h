// What the matcher suggests for each code of a table: the standard character
// whose shape is nearest the code's glyph, when one is near enough.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "match/reference_index.h"

namespace kestra {

class EudcFont;

struct CodeMatch {
    bool hasGlyph = false; // the font defines the code
    bool compared = false; // and its glyph has a shape to compare
    char32_t standard = 0; // 0: no standard character is near enough
    // The nearest standard character's, 0 to 1, near enough or not: how
    // close the nearest came.
    float similarity = 0;
    int face = -1; // of the index's faces, that standard's glyph came from
};

// "0.912": as the list and the page both write it.
std::string similarityText(float similarity);

class CodeMatches {
  public:
    CodeMatches(const std::vector<uint16_t>& codes, const EudcFont& font,
                const match::ReferenceIndex& index);

    // Nothing for a code that was not asked for.
    const CodeMatch& of(uint16_t code) const;
    // Whether some suggestion was found in the index's face.
    bool usesFace(int face) const;

  private:
    std::vector<CodeMatch> byPuaIndex_;
    std::vector<bool> facesUsed_;
};

} // namespace kestra
