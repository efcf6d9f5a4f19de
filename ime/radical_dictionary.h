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

// What a dictionary's size says of the layout it was written for. Its header
// counts its entries; a Phonetic entry is 8 bytes and a Cangjie or Quick
// entry 9, so a file given for the wrong layout either cannot hold its own
// count (a Phonetic file read as Cangjie) or holds it to the byte in
// entries of the other size (a Cangjie file read as Phonetic).
enum class DictionaryFit {
    Fits,        // or a layout the loader does not read
    NoHeader,    // shorter than the 258-byte header: empty, or no dictionary
    OtherLayout, // entries of the other size, to the byte
    CutShort,    // fewer bytes than the entries it counts
};

struct DictionaryShape {
    DictionaryFit fit = DictionaryFit::Fits;
    int32_t count = 0;    // the header's entry count
    size_t entrySize = 0; // of the layout asked about
};

DictionaryShape dictionaryShape(const unsigned char* data, size_t size, uint32_t layoutId);

// The walk over a dictionary already in memory (size bytes, the whole file).
// Never reads past size: a header cut short counts as no entries, and an entry
// count beyond the file's complete entries loads those that are there.
void loadRadicalEntries(const unsigned char* data, size_t size, uint32_t layoutId);

} // namespace kestra
