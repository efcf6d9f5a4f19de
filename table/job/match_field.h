// The field of a cell that shows the matcher's suggestion beside the code's
// glyph, so that a reader can check it on paper: the standard character drawn
// as large as the glyph, in the reference face it was found in, its code point
// and its similarity; "無相符字" (no matching character) where none is near
// enough. A code without a glyph has nothing to compare and shows nothing.
#pragma once

#include <string>

#include "print/draw_surface.h"
#include "print/page_renderer.h"

namespace kestra {

class CodeMatches;

// The room the field takes in a column: the glyph, a gap, then "U+2A6D6".
constexpr int32_t kMatchFieldWidth = 200;

// The name under which the surface knows a face of the reference index.
std::string referenceFaceName(int face);

// The field drawn on surface; both must outlive it.
ExtraField matchField(DrawSurface& surface, const CodeMatches& matches);

} // namespace kestra
