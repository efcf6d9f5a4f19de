#include "table/pdf_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kestra {
namespace {

// Past this, thousandths no longer fit the integer that carries them.
constexpr double kLargest = 1e15;

void appendInteger(std::string& out, int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

} // namespace

// A page holds tens of thousands of numbers, most of them whole: printf's
// cost would be a fifth of the run.
void appendPdfNumber(std::string& out, double value) {
    if (!std::isfinite(value) || std::fabs(value) >= kLargest) {
        out += '0';
        return;
    }
    const auto thousandths = static_cast<int64_t>(std::llround(value * 1000));
    if (thousandths < 0)
        out += '-';
    const int64_t magnitude = thousandths < 0 ? -thousandths : thousandths;
    appendInteger(out, magnitude / 1000);
    int64_t fraction = magnitude % 1000;
    if (fraction == 0)
        return;
    int digits = 3;
    while (fraction % 10 == 0) {
        fraction /= 10;
        --digits;
    }
    out += '.';
    for (int64_t scale = digits == 3 ? 100 : digits == 2 ? 10 : 1; scale > 0; scale /= 10)
        out += static_cast<char>('0' + fraction / scale % 10);
}

} // namespace kestra
