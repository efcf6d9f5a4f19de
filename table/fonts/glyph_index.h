// Where each glyph's outline lies in a TrueType font file, read from the
// file's own table directory and glyph index ('loca'). FreeType takes a glyph
// whose outline lies past the end of a cut file for an empty one; only the
// index tells a character that was lost from one that was never made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestra {

enum class GlyphData {
    None,    // the index gives the glyph no outline: nothing was drawn
    InFile,  // an outline lies inside the file
    PastEnd, // the outline, or the glyph's index entry, lies past the file's end
    Unknown, // no TrueType glyph index could be read (another outline format)
};

class GlyphIndex {
  public:
    // The index of face faceIndex of a font file or collection, from the
    // file's bytes; Unknown for every glyph when the face has none.
    static GlyphIndex read(const unsigned char* file, size_t size, int faceIndex);

    GlyphData dataOf(uint32_t glyph) const;

  private:
    bool known_ = false;
    uint64_t fileSize_ = 0;
    uint64_t glyfOffset_ = 0;
    uint64_t declaredEntries_ = 0;
    std::vector<uint32_t> offsets_; // into 'glyf'; the entries the file holds
};

} // namespace kestra
