// How much of a glyph's outline runs in each of eight directions, in each zone
// of an 8 x 8 grid over the normalised glyph: the shape's strokes, seen by
// their edges. Taken from the outline itself, it is exact at any size and
// costs no drawing. It is the gradient of the glyph drawn and blurred
// (the divergence theorem makes the two the same), so stroke edges count
// whatever the stroke's width.
#pragma once

#include <array>

#include "match/outline_contours.h"
#include "match/shape_normalisation.h"

namespace kestra::match {

constexpr int kZones = 8;
constexpr int kDirections = 8;
constexpr int kRawDims = kZones * kZones * kDirections;
using RawFeatures = std::array<float, kRawDims>;

// The features of the contours placed by `placement`, square-rooted (long and
// short strokes weigh less unequally) and of unit length. The direction is
// the direction of travel with the ink on the right, whichever way the font
// winds its outer contours.
void directionFeatures(const Contours& contours, const ShapeNormalisation& placement,
                       RawFeatures& out);

} // namespace kestra::match
