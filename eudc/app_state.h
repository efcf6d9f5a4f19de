// The one process-wide record of settings, start-up facts, discovered input
// methods and radical stores. Every part reads and writes it directly; it has
// no operations of its own. All strings are Big5 (code page 950), NUL-terminated.
#pragma once

#include <cstdint>
#include <vector>

#include "eudc/code_space.h"

namespace kestra {

constexpr int kFaceNameSize = 32;
constexpr int kPathSize = 256;
constexpr int kMaxImes = 32;

constexpr int kPhoneticSlots = 7;
constexpr int kPhoneticReadingSize = 9; // four 2-byte symbols and a NUL
constexpr int kRadicalElementSize = 11; // five 2-byte symbols and a NUL

// Seven Phonetic readings joined by full-width spaces: 8 + 6 * 10 bytes and a
// NUL. The text is held whole, so it is sized for that rather than 64.
constexpr int kAnnotationTextSize = 72;

constexpr uint32_t kPhoneticLayoutId = 0xE0010404;
constexpr uint32_t kCangjieLayoutId = 0xE0020404;
constexpr uint32_t kQuickLayoutId = 0xE0030404;

struct ImeRecord {
    uint32_t layoutId = 0;
    char layoutKey[16] = {};
    char imeFile[64] = {};
    char layoutText[32] = {};
    char dictionaryPath[kPathSize] = {};
};

// Signature of GDI32's EnableEUDC, kept free of Windows headers.
#if defined(_WIN32) && !defined(_WIN64)
using EnableEudcFn = int(__stdcall*)(int enable);
#else
using EnableEudcFn = int (*)(int enable);
#endif

struct AppState {
    // The user's choices.
    char fontFace[kFaceNameSize] = {};
    char eudcFilePath[kPathSize] = {};
    int printAll = 1;
    uint16_t rangeStartCode = 0;
    uint16_t rangeEndCode = 0;
    uint16_t printCount = 0;
    uint16_t printStartIndex = 0;
    int annotate[kMaxImes] = {};

    // Facts learnt at start-up.
    int platform = 0;
    EnableEudcFn enableEudc = nullptr;
    char defaultFaceName[kFaceNameSize] = {};
    char standardEudcLabel[kFaceNameSize] = {};
    int associationSwapped = 0;
    // The removed value exactly as it was stored, bytes and type, whatever
    // its length, so that it goes back as it was. (A vector, unlike a string,
    // can be constant-initialised with every compiler the program is built by.)
    std::vector<char> savedAssociation;
    uint32_t savedAssociationType = 0;

    // Input-method data.
    ImeRecord imeTable[kMaxImes] = {};
    int annotatableImeCount = 0;
    char phoneticRoots[kEudcCodeCount][kPhoneticSlots][kPhoneticReadingSize] = {};
    char cangjieRoots[kEudcCodeCount][kRadicalElementSize] = {};
    char quickRoots[kEudcCodeCount][kRadicalElementSize] = {};
    char annotationText[kAnnotationTextSize] = {};
};

// Constant-initialised, so it exists before any other static object and
// outlives the main frame.
extern AppState appState;

// Copies src into dst[size] and always terminates it; the bounded copy every
// fixed-size field of the record is written with.
void copyBounded(char* dst, int size, const char* src);

template <int N> void copyBounded(char (&dst)[N], const char* src) {
    copyBounded(dst, N, src);
}

} // namespace kestra
