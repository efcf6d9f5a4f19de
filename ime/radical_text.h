// The radical text printed beside a code for one input method.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace kestra {

// Leaves in appState.annotationText the Phonetic readings of code joined by
// full-width spaces, or its Cangjie or Quick radicals; empty when the code is
// outside the user-defined codes, has nothing stored, or the layout has no store.
void lookupRadicalText(uint16_t code, uint32_t layoutId);

// The parts that lookupRadicalText joins, each as stored (Big5, padded to its
// positions with full-width spaces): every reading of a Phonetic code, the
// first even when empty, or the one radical string of a Cangjie or Quick code.
void forEachRadicalElement(uint16_t code, uint32_t layoutId,
                           const std::function<void(const char* text, size_t length)>& visit);

} // namespace kestra
