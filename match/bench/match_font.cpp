// Matches every EUDC glyph of a font against the reference fonts and prints,
// per code (U+E000 on), the suggestion and its similarity; what the table
// tool's matching does, for the benchmark to time and score.
//     match_font EUDC_FONT [--nearest N] [REFERENCE_FONT ...]
// Without reference fonts, the default ones. The index comes from the cache
// (indexCachePath()) when that is current, and is saved there otherwise. --nearest prints the N
// nearest characters instead, with no threshold.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "match/default_references.h"
#include "match/index_cache.h"

using namespace kestra::match;

namespace {

constexpr FT_ULong kFirstCode = 0xE000;
constexpr FT_ULong kLastCode = 0xF848; // the 6217th

void printCode(char32_t code) {
    if (code != 0)
        std::printf("\tU+%04X", static_cast<unsigned>(code));
    else
        std::printf("\t");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: match_font EUDC_FONT [--nearest N] [REFERENCE_FONT ...]\n");
        return 2;
    }
    size_t nearest = 0;
    std::vector<std::string> references;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--nearest") == 0 && i + 1 < argc)
            nearest = std::strtoul(argv[++i], nullptr, 10);
        else
            references.push_back(argv[i]);
    }
    if (references.empty())
        for (const DefaultReference& reference : defaultReferences())
            references.push_back(reference.path);
    const CachedIndex cached = loadOrBuildIndex(references, indexCachePath(), {});
    const ReferenceIndex& index = cached.index;
    for (const std::string& path : index.unreadFiles())
        std::fprintf(stderr, "match_font: cannot read %s\n", path.c_str());
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0)
        return 1;
    if (FT_New_Face(library, argv[1], 0, &face) != 0) {
        std::fprintf(stderr, "match_font: cannot open %s\n", argv[1]);
        FT_Done_FreeType(library);
        return 1;
    }
    GlyphFeatures extractor;
    Features features;
    for (FT_ULong code = kFirstCode; code <= kLastCode; ++code) {
        std::printf("U+%04lX", code);
        const FT_UInt glyph = FT_Get_Char_Index(face, code);
        if (glyph != 0 && extractor.features(face, glyph, features)) {
            if (nearest > 0) {
                for (const Suggestion& s : index.nearest(features, nearest)) {
                    printCode(s.code);
                    std::printf(" %.3f", s.similarity);
                }
            } else {
                const Suggestion s = index.suggest(features);
                printCode(s.code);
                std::printf("\t%.3f", s.similarity);
            }
        }
        std::printf("\n");
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return 0;
}
