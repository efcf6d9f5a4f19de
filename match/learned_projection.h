// The projection of raw direction features onto the directions that tell
// characters apart across typefaces: linear discriminant analysis, learned by
// tools/learn_projection.py from the glyphs of the reference faces and of a
// Kai face (TW-Kai), code point by code point. Glyphs of one character differ
// between typefaces in systematic ways (a Kai horizontal rises, a Ming one
// ends in a serif); the projection weighs those differences down.
#pragma once

#include "match/direction_features.h"

namespace kestra::match {

constexpr int kFeatureDims = 128;

extern const float kProjectionMean[kRawDims];
// kProjection[i][j]: raw dimension i's weight in feature j.
extern const float kProjection[kRawDims][kFeatureDims];

} // namespace kestra::match
