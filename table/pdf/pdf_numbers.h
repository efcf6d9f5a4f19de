// Numbers as PDF writes them: no exponent, no trailing zeros, and three
// decimals unless more are asked for, so a page's operators and a font's
// widths stay short. A page's scale needs more: it multiplies every other.
#pragma once

#include <string>

namespace kestra {

void appendPdfNumber(std::string& out, double value, int decimals = 3);

} // namespace kestra
