// What the program-level tests and benchmarks print: the test bed's face with
// its ring EUDC file, and optionally Phonetic and Cangjie radicals from the
// bed's sample dictionaries. Set straight into the state, as the font and
// range commands would.
#pragma once

#include <cstdint>

namespace programtest {

// "AR PL UMing TW" with EUDCRING.TTE, printing the first `count` codes in PUA order.
void chooseFace(uint16_t count);

// Phonetic and Cangjie annotating, their stores loaded from C:\kestra\dict.
void annotateWithPhoneticAndCangjie();

} // namespace programtest
