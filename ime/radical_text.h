// The radical text printed beside a code for one input method.
#pragma once

#include <cstdint>

namespace kestra {

// Leaves in appState.annotationText the Phonetic readings of code joined by
// full-width spaces, or its Cangjie or Quick radicals; empty when the code is
// outside the user-defined codes, has nothing stored, or the layout has no store.
void lookupRadicalText(uint16_t code, uint32_t layoutId);

} // namespace kestra
