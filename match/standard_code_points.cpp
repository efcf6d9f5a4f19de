#include "match/standard_code_points.h"

#include "match/compatibility_ideographs.h"

namespace kestra::match {
namespace {

struct Block {
    char32_t first;
    char32_t last;
};

constexpr Block kIdeographBlocks[] = {
    {0x3007, 0x3007},   // 〇, ideographic number zero
    {0x3400, 0x4DBF},   // Extension A
    {0x4E00, 0x9FFF},   // CJK Unified Ideographs
    {0xF900, 0xFAFF},   // compatibility ideographs, and twelve unified ones among them
    {0x20000, 0x2A6DF}, // Extension B
    {0x2A700, 0x2EE5F}, // Extensions C, D, E, F and I
    {0x2F800, 0x2FA1F}, // compatibility ideographs supplement
    {0x30000, 0x323AF}, // Extensions G and H
};

} // namespace

char32_t standardCharacterOf(char32_t code) {
    for (const Block& block : kIdeographBlocks)
        if (code >= block.first && code <= block.last)
            return unifiedCounterpart(code);
    return 0;
}

} // namespace kestra::match
