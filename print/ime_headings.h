// The column heading of an annotating input method: the short name of one of
// the seven Chinese input methods known by layout, else the IME's own display
// name from the registry.
#pragma once

#include <cstdint>

namespace kestra {

struct ImeRecord;

constexpr int kKnownImeCount = 7;
constexpr int kImeNameSize = 32;

extern const uint32_t kImeLayoutIds[kKnownImeCount];
extern const char kImeNames[kKnownImeCount][kImeNameSize];

const char* imeHeading(const ImeRecord& ime);

} // namespace kestra
