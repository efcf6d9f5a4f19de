// A subset font embedded in a PDF as a CID font: the font program, its
// descriptor, the widths of its CIDs, a ToUnicode map, and the Type 0 font
// that the pages name. A TrueType font's codes are its CIDs, which a map turns
// into the subset's glyphs; a CFF font's codes reach the CIDs of its glyphs
// through an encoding CMap of their own.
#pragma once

#include <cstdint>
#include <string_view>

#include "table/fonts/font_subset.h"
#include "table/pdf/pdf_objects.h"

namespace kestra {

// The number of the Type 0 font. The resource name tells the encodings of
// the fonts apart.
int32_t embedCidFont(PdfObjects& objects, std::string_view resourceName, const SubsetFont& font);

} // namespace kestra
