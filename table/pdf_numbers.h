// Numbers as PDF writes them: no exponent, at most three decimals, no
// trailing zeros, so a page's operators and a font's widths stay short.
#pragma once

#include <string>

namespace kestra {

void appendPdfNumber(std::string& out, double value);

} // namespace kestra
