// Finds, once at start-up, the Chinese input methods that are both registered
// and loaded, has each one's user radical dictionary loaded into the radical
// stores, and keeps in kestra::appState.imeTable the ones that can annotate:
// Phonetic and Cangjie with a dictionary, in the order they were found.
#pragma once

#include "ime/input_method_registry.h"

namespace kestra {

// Fills imeTable and annotatableImeCount and clears annotate. Shows no
// message of its own; an unreadable dictionary warns through the loader.
void discoverInputMethods(InputMethodRegistry& registry);

// The same on the platform's registry.
void discoverInputMethods();

} // namespace kestra
