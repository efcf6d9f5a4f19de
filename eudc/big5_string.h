// The few things the program does to Big5 text itself. Only ASCII letters are
// ever folded or upper-cased; a double-byte character is stepped over whole,
// since its second byte may fall among the ASCII letters (字 is A6 72, 'r').
#pragma once

namespace kestra {

bool isBig5LeadByte(unsigned char c);

// Byte by byte with the ASCII letters folded to one case, as _stricmp does in
// the C locale.
bool equalsIgnoringAsciiCase(const char* a, const char* b);

// Upper-cases the ASCII letters of `text` in place, outside double-byte
// characters.
void upperCaseAsciiLetters(char* text);

} // namespace kestra
