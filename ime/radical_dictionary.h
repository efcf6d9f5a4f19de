// Reads an input method's user radical dictionary into the radical store of
// its layout in kestra::appState, as the Big5 symbols of each code's keys.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestra {

// Shows the dictionary warning when the file cannot be opened or read whole;
// the stores then keep what they hold. Layouts other than Phonetic, Cangjie
// and Quick are read but change nothing.
void loadRadicalDictionary(const char* path, const char* layoutText, uint32_t layoutId);

// The walk over a dictionary already in memory (size bytes, the whole file).
// Never reads past size: a header cut short counts as no entries, and an entry
// count beyond the file's complete entries loads those that are there.
void loadRadicalEntries(const unsigned char* data, size_t size, uint32_t layoutId);

} // namespace kestra
