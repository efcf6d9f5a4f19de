// A TrueType font program cut down to the glyphs a document draws, written
// straight into one buffer: the glyph outlines (with the parts of composite
// glyphs), their metrics, and the tables a PDF reader needs to draw them
// (head, hhea, maxp, hmtx, loca, glyf, and the hinting programs the glyphs'
// own instructions call). Glyphs are numbered anew in their old order, .notdef
// first. The character map and the names stay out: inside a PDF the document
// says which glyph to draw and what it stands for.
//
// HarfBuzz's subsetter does the same for every kind of font, but holds three
// copies of the outlines on the way (its estimate, its table, the font it
// assembles): for a table that shows every glyph of a 2.5 MB EUDC font that is
// most of the run's memory. A TrueType font needs no more than this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestra {

struct TrueTypeSubset {
    std::vector<unsigned char> program; // the font file
    std::vector<uint16_t> newGlyphOf;   // by old glyph; 0 for a glyph left out
};

// The face of a font file or collection. False when it is no TrueType font
// with outlines (a CFF font, say) or its tables do not fit in the file. A
// glyph whose outline lies outside the file is kept, empty.
bool subsetTrueType(const unsigned char* file, size_t size, int faceIndex,
                    const std::vector<uint32_t>& glyphs, TrueTypeSubset& out);

} // namespace kestra
