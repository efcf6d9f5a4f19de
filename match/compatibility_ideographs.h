// CJK compatibility ideographs and their unified counterparts. A compatibility
// ideograph is a second code for a character that already has one (kept for
// round trips with older standards), so it is never the answer to "which
// standard character is this".
#pragma once

#include <cstddef>
#include <vector>

namespace kestra::match {

struct CompatibilityPair {
    char32_t compatibility;
    char32_t unified;
};

extern const CompatibilityPair kCompatibilityIdeographs[];
extern const size_t kCompatibilityIdeographCount;

// The unified ideograph a compatibility ideograph stands for; any other code
// point as it is.
char32_t unifiedCounterpart(char32_t code);

// The compatibility ideographs that stand for a unified one: a font may draw
// the character only under one of them.
std::vector<char32_t> compatibilityIdeographsOf(char32_t unified);

} // namespace kestra::match
