// The 6217 user-defined codes of code page 950 and their three numberings:
// PUA order (the radical stores and "print all"), code order (ascending code
// value, used for a code range) and the Big5 linear index (every Big5
// double-byte code, the bridge from a code to its PUA index).
#pragma once

#include <cstdint>

namespace kestra {

constexpr uint16_t kNoCode = 0xFFFF;  // no such code or index
constexpr uint16_t kEudcCodeCount = 6217;

struct EudcRange {
    uint16_t start;
    uint16_t end;
};

// In PUA order. Row C6 only counts from C6A1.
constexpr EudcRange kEudcRanges[4] = {
    {0xFA40, 0xFEFE},
    {0x8E40, 0xA0FE},
    {0x8140, 0x8DFE},
    {0xC6A1, 0xC8FE},
};
constexpr int kEudcRangeCount = 4;

// Index-to-code operations take 0..6216 only.
uint16_t puaIndexToCode(uint16_t puaIndex);
uint16_t codeOrderIndexToCode(uint16_t codeOrderIndex);

uint16_t codeToCodeOrderIndex(uint16_t code);
uint16_t codeToLinearIndex(uint16_t code);
uint16_t codeToPuaIndex(uint16_t code);
bool isEudcCode(uint16_t code);

}  // namespace kestra
