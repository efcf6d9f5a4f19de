// The CMaps of a table's CID fonts, as the text of their streams: a font's
// two-byte codes to the characters they copy as (its ToUnicode map) and, in a
// CFF font, to the CIDs of their glyphs (its encoding). Code 0 is never drawn.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/fonts/font_subset.h"
#include "table/pdf/pdf_syntax.h"

namespace kestra {

std::string toUnicodeCMap(const std::vector<char32_t>& characterOfCode);

// Two codes may stand for one glyph.
std::string encodingCMap(std::string_view name, const CidSystem& system,
                         const std::vector<uint16_t>& cidOfCode);

// The character collection, as a CMap and a CID font name it alike.
void writeCidSystemInfo(PdfValue value, const CidSystem& system);

} // namespace kestra
