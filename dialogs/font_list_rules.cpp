#include "dialogs/font_list_rules.h"

#include <cstring>

namespace kestra {

namespace {

constexpr char kSystemRoot[] = "%SystemRoot%";
constexpr size_t kSystemRootLength = sizeof kSystemRoot - 1;
constexpr int kNtPlatform = 2;

constexpr size_t kShortNameLimit = 16;
constexpr size_t kShortNameKept = 12;

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool startsWithIgnoringAsciiCase(const char* text, const char* prefix, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\0' || foldAscii(text[i]) != foldAscii(prefix[i]))
            return false;
    }
    return true;
}

// Copies the parts one after the other, or empties out when they do not fit.
bool joinWhole(char (&out)[kPathSize], const char* head, const char* tail) {
    const size_t headLength = std::strlen(head);
    const size_t tailLength = std::strlen(tail);
    if (headLength + tailLength >= sizeof out) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, head, headLength);
    std::memcpy(out + headLength, tail, tailLength + 1);
    return true;
}

} // namespace

bool isListedFace(int charSet, unsigned fontType, const char* faceName) {
    return charSet == kBig5CharSet && fontType == kTrueTypeFontType && faceName[0] != '@';
}

void sortFaceSlots(FaceSlot* slots, int slotCount) {
    for (int i = 1; i < slotCount - 1; ++i) {
        for (int j = i + 1; j < slotCount; ++j) {
            if (std::strcmp(slots[j], slots[i]) < 0) {
                FaceSlot held;
                std::memcpy(held, slots[i], sizeof held);
                std::memcpy(slots[i], slots[j], sizeof held);
                std::memcpy(slots[j], held, sizeof held);
            }
        }
    }
}

bool needsSystemRootExpansion(const char* value, int platform) {
    return platform == kNtPlatform &&
           startsWithIgnoringAsciiCase(value, kSystemRoot, kSystemRootLength);
}

bool formEudcFilePath(const char* value, int platform, const char* windowsDirectory,
                      char (&eudcFile)[kPathSize]) {
    if (!needsSystemRootExpansion(value, platform))
        return joinWhole(eudcFile, "", value);
    if (!windowsDirectory) {
        eudcFile[0] = '\0';
        return false;
    }
    return joinWhole(eudcFile, windowsDirectory, value + kSystemRootLength);
}

char* cutToShortFileName(char* path) {
    if (char* dot = std::strrchr(path, '.'))
        *dot = '\0';
    char* backslash = std::strrchr(path, '\\');
    char* name = backslash ? backslash + 1 : path;
    if (std::strlen(name) > kShortNameLimit)
        std::memcpy(name + kShortNameKept, "...", 4);
    return name;
}

RowLook chooseRowLook(unsigned itemAction, unsigned itemState) {
    constexpr RowLook plain{false, kBlack};
    constexpr RowLook highlighted{true, kWhite};
    if (itemAction == kDrawEntire) {
        if (itemState & kStateDisabled)
            return {false, kDisabledGrey};
        // Whole values: a row both selected and focused is painted plain
        // here and takes its highlight from the focus notification after it.
        if (itemState == kStateSelected || itemState == kStateFocus)
            return highlighted;
        return plain;
    }
    if (itemAction == kDrawFocus)
        return highlighted;
    return plain;
}

} // namespace kestra
