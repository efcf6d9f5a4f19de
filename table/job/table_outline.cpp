#include "table/job/table_outline.h"

#include <cstdio>

#include "eudc/code_space.h"

namespace kestra {
namespace {

int rangeOf(uint16_t code) {
    for (int r = 0; r < kEudcRangeCount; ++r) {
        if (code >= kEudcRanges[r].start && code <= kEudcRanges[r].end)
            return r;
    }
    return -1;
}

std::string codeSpan(uint16_t first, uint16_t last) {
    char title[16];
    std::snprintf(title, sizeof title, "%04X-%04X", first, last);
    return title;
}

// Cells [begin, end) that share key, with the key's first and last code.
template <typename Key, typename Visit>
void forEachStretch(const std::vector<uint16_t>& codes, size_t begin, size_t end, Key key,
                    Visit visit) {
    for (size_t first = begin; first < end;) {
        size_t last = first;
        while (last + 1 < end && key(codes[last + 1]) == key(codes[first]))
            ++last;
        visit(first, last);
        first = last + 1;
    }
}

} // namespace

std::vector<OutlineEntry> tableOutline(const std::vector<uint16_t>& codes, int32_t cellsPerPage) {
    std::vector<OutlineEntry> entries;
    if (cellsPerPage <= 0)
        return entries;
    const auto pageOf = [&](size_t cell) { return static_cast<int32_t>(cell / cellsPerPage) + 1; };
    forEachStretch(codes, 0, codes.size(), rangeOf, [&](size_t first, size_t last) {
        OutlineEntry range{codeSpan(codes[first], codes[last]), pageOf(first), {}};
        forEachStretch(
            codes, first, last + 1, [](uint16_t code) { return code >> 8; },
            [&](size_t lead, size_t leadLast) {
                range.children.push_back(
                    {codeSpan(codes[lead], codes[leadLast]), pageOf(lead), {}});
            });
        entries.push_back(std::move(range));
    });
    return entries;
}

} // namespace kestra
