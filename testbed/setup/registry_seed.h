// Writes the registry of a Traditional Chinese machine with user-defined
// characters: input methods and their dictionaries, EUDC links, font names.
#pragma once

namespace testbed {

// Returns 0, or the registry error of the first write that failed.
long seedRegistry();

} // namespace testbed
