// The codes of a table as tab-separated text, for those who move their
// characters to Unicode and need the inventory: a heading line, then one line
// a code with its Big5 code, its code point (Windows' private-use mapping),
// whether the font has a glyph for it, and the radicals of each annotating
// input method in column order (a Phonetic code's readings one space apart),
// each as the page shows it, less the full-width spaces that pad its end.
// With the matcher's suggestions, two more columns end each line: the
// suggested standard character's code point (empty when none is near enough)
// and the similarity of the nearest, near enough or not, so that a reader
// sees how close it came; both are empty for a code without a glyph.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace kestra {

class CodeMatches;
class EudcFont;

// The radicals come from appState's annotating input methods. False when a
// write fails; errno says why.
bool writeCodeList(const std::vector<uint16_t>& codes, const EudcFont& font, std::FILE* out,
                   const CodeMatches* matches = nullptr);

} // namespace kestra
