#include "eudc/app_state.h"

#include <cstring>

#include "eudc/big5_string.h"

namespace kestra {

constinit AppState appState{};

void copyBounded(char* dst, int size, const char* src) {
    if (size <= 0)
        return;
    const size_t limit = static_cast<size_t>(size - 1);
    size_t n = 0;
    while (n < limit && src[n] != '\0')
        ++n;
    // Never leave half of a Big5 character at the end of a cut string.
    if (n == limit && src[n] != '\0') {
        size_t lead = 0;
        while (lead < n) {
            const unsigned char c = static_cast<unsigned char>(src[lead]);
            const size_t width = isBig5LeadByte(c) ? 2 : 1;
            if (lead + width > n)
                break;
            lead += width;
        }
        n = lead;
    }
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

} // namespace kestra
