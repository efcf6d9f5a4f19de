#include "table/pdf_numbers.h"

#include <cmath>
#include <cstdio>

namespace kestra {

void appendPdfNumber(std::string& out, double value) {
    const double thousandths = std::round(value * 1000);
    if (!std::isfinite(thousandths) || thousandths == 0) {
        out += '0';
        return;
    }
    char text[32];
    if (std::fmod(thousandths, 1000) == 0) {
        std::snprintf(text, sizeof text, "%.0f", thousandths / 1000);
    } else {
        int length = std::snprintf(text, sizeof text, "%.3f", thousandths / 1000);
        while (length > 0 && text[length - 1] == '0')
            text[--length] = '\0';
    }
    out += text;
}

} // namespace kestra
