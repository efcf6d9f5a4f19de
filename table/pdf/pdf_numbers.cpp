#include "table/pdf/pdf_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kestra {
namespace {

// Past this, the decimals no longer fit the integer that carries them.
constexpr double kLargest = 1e12;
constexpr int kMostDecimals = 6;

void appendInteger(std::string& out, int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

} // namespace

// A page holds tens of thousands of numbers, most of them whole: printf's
// cost would be a fifth of the run.
void appendPdfNumber(std::string& out, double value, int decimals) {
    decimals = decimals < 0 ? 0 : decimals > kMostDecimals ? kMostDecimals : decimals;
    int64_t unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    if (!std::isfinite(value) || std::fabs(value) >= kLargest) {
        out += '0';
        return;
    }
    const auto scaled = static_cast<int64_t>(std::llround(value * static_cast<double>(unit)));
    if (scaled < 0)
        out += '-';
    const int64_t magnitude = scaled < 0 ? -scaled : scaled;
    appendInteger(out, magnitude / unit);
    int64_t fraction = magnitude % unit;
    if (fraction == 0)
        return;
    out += '.';
    for (int64_t place = unit / 10; fraction > 0; place /= 10) {
        out += static_cast<char>('0' + fraction / place);
        fraction %= place;
    }
}

} // namespace kestra
