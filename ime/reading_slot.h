// The rule by which a Phonetic reading slot counts as taken, shared by the
// loader (which fills the first free slot) and the radical text (which shows
// taken slots only).
#pragma once

namespace kestra {

// Every Bopomofo symbol has lead byte 0xA3; a reading whose fourth symbol is
// the full-width space, or a slot never written, leaves the slot free.
inline bool readingTaken(const char* reading) {
    return static_cast<unsigned char>(reading[6]) == 0xA3;
}

} // namespace kestra
