// Writes the raw direction features of every standard character of a font
// face, for tools/learn_projection.py:
//     dump_raw_features FONT FACE_INDEX OUT
// OUT: int32 count, int32 dimensions, then per glyph a uint32 code point (the
// standard character) and the features as float32, little-endian.
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "match/glyph_features.h"
#include "match/standard_code_points.h"

using namespace kestra::match;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: dump_raw_features FONT FACE_INDEX OUT\n");
        return 2;
    }
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0)
        return 1;
    FT_Face face;
    if (FT_New_Face(library, argv[1], std::atol(argv[2]), &face) != 0) {
        std::fprintf(stderr, "%s: cannot open face %s\n", argv[1], argv[2]);
        FT_Done_FreeType(library);
        return 1;
    }
    std::vector<uint32_t> codes;
    std::vector<RawFeatures> rows;
    GlyphFeatures extractor;
    RawFeatures raw;
    FT_UInt glyph;
    for (FT_ULong code = FT_Get_First_Char(face, &glyph); glyph != 0;
         code = FT_Get_Next_Char(face, code, &glyph)) {
        const char32_t standard = standardCharacterOf(static_cast<char32_t>(code));
        if (standard != 0 && extractor.raw(face, glyph, raw)) {
            codes.push_back(standard);
            rows.push_back(raw);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    std::FILE* out = std::fopen(argv[3], "wb");
    if (out == nullptr)
        return 1;
    const int32_t header[2] = {static_cast<int32_t>(codes.size()), kRawDims};
    bool written = std::fwrite(header, sizeof header, 1, out) == 1;
    for (size_t i = 0; i < codes.size() && written; ++i)
        written = std::fwrite(&codes[i], 4, 1, out) == 1 &&
                  std::fwrite(rows[i].data(), sizeof(float), kRawDims, out) == kRawDims;
    written = std::fclose(out) == 0 && written;
    std::fprintf(stderr, "%s: %zu glyphs\n", argv[1], codes.size());
    return written ? 0 : 1;
}
