#include "match/compatibility_ideographs.h"

#include <algorithm>

namespace kestra::match {

char32_t unifiedCounterpart(char32_t code) {
    const CompatibilityPair* end = kCompatibilityIdeographs + kCompatibilityIdeographCount;
    const CompatibilityPair* found = std::lower_bound(
        kCompatibilityIdeographs, end, code,
        [](const CompatibilityPair& pair, char32_t c) { return pair.compatibility < c; });
    return found != end && found->compatibility == code ? found->unified : code;
}

std::vector<char32_t> compatibilityIdeographsOf(char32_t unified) {
    std::vector<char32_t> found;
    for (size_t i = 0; i < kCompatibilityIdeographCount; ++i) {
        if (kCompatibilityIdeographs[i].unified == unified)
            found.push_back(kCompatibilityIdeographs[i].compatibility);
    }
    return found;
}

} // namespace kestra::match
