// The font dialog's rules that need no Windows: which enumerated faces it
// takes, the order of its rows, the EUDC file path a registry value gives, the
// short file name a row shows, and how a row is painted in each state.
#pragma once

#include <cstdint>

#include "eudc/app_state.h"

namespace kestra {

// One row of the font list.
struct FontEntry {
    char faceName[kFaceNameSize];
    char eudcFile[kPathSize];
};

// Face names are kept in slots of the platform's LF_FACESIZE.
constexpr int kFaceSlotSize = 32;
using FaceSlot = char[kFaceSlotSize];

// Only horizontal Big5 TrueType faces can carry a Big5 EUDC link.
constexpr int kBig5CharSet = 136;
constexpr unsigned kTrueTypeFontType = 4;
bool isListedFace(int charSet, unsigned fontType, const char* faceName);

// Sorts slots 1 .. slotCount - 1 in ascending unsigned byte order, so Latin
// names come before Big5 ones; slot 0 is reserved and stays where it is.
void sortFaceSlots(FaceSlot* slots, int slotCount);

// Whether a registry value is written relative to "%SystemRoot%" and is to
// be expanded on this platform (the NT family, platform 2, only).
bool needsSystemRootExpansion(const char* value, int platform);

// The EUDC file path of a registry value: the value itself, or on platform 2
// with "%SystemRoot%" replaced by windowsDirectory. False, with eudcFile
// emptied, when the result would not fit: a cut path would name another file.
bool formEudcFilePath(const char* value, int platform, const char* windowsDirectory,
                      char (&eudcFile)[kPathSize]);

// Cuts an upper-cased path in place to the short name a row shows: the text
// before the last '.', after the last '\', shortened to 12 bytes and "..."
// when longer than 16. Works on single bytes. Returns where the name starts.
char* cutToShortFileName(char* path);

// The owner-draw notification values the row painting distinguishes; the
// same numbers as the platform's ODA_* and ODS_* constants.
constexpr unsigned kDrawEntire = 1;
constexpr unsigned kDrawSelect = 2;
constexpr unsigned kDrawFocus = 4;
constexpr unsigned kStateSelected = 0x01;
constexpr unsigned kStateDisabled = 0x04;
constexpr unsigned kStateFocus = 0x10;

constexpr uint32_t kNavy = 0x800000; // as a COLORREF: RGB 0, 0, 128
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kDisabledGrey = 0x808080;

// How one row is painted: navy with the highlighted mark, or white with the
// plain one, and the colour of its text.
struct RowLook {
    bool highlighted;
    uint32_t textColour;
};
RowLook chooseRowLook(unsigned itemAction, unsigned itemState);

} // namespace kestra
