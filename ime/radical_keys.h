// Key index → Big5 symbol tables of the input methods whose user radical
// dictionaries are read. Index 0 of each table is key 1.
#pragma once

#include <cstdint>

namespace kestra {

constexpr int kBopomofoKeyCount = 42;
constexpr int kCangjieKeyCount = 26;

// The full-width space written for every key position that names no key.
constexpr uint16_t kFullWidthSpace = 0xA140; // 　

// Initials 1–21, medials 22–24, finals 25–37, tone marks 38–42 (neutral last).
// Every symbol's lead byte is 0xA3.
extern const uint16_t kBopomofoKeys[kBopomofoKeyCount];

// Keys A–Z; used by both Cangjie and Quick.
extern const uint16_t kCangjieKeys[kCangjieKeyCount];

} // namespace kestra
