#include "ime/radical_dictionary.h"

#include <cstring>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "ime/dictionary_warning.h"
#include "ime/radical_keys.h"
#include "ime/reading_slot.h"
#include "ime/whole_file.h"

namespace kestra {
namespace {

constexpr size_t kCountOffset = 12;
constexpr size_t kEntriesOffset = 258;
constexpr uint16_t kFirstPuaCodePoint = 0xE000;
// Far beyond any real dictionary: an input method records at most seven
// readings for each of the 6217 codes, some 350 KB of Phonetic entries.
constexpr size_t kMaxDictionarySize = 64u << 20;

struct EntryLayout {
    size_t entrySize;
    int keyPositions;
    const uint16_t* keys;
    int keyCount;
};

constexpr EntryLayout kPhoneticEntries{8, 4, kBopomofoKeys, kBopomofoKeyCount};
constexpr EntryLayout kCangjieEntries{9, 5, kCangjieKeys, kCangjieKeyCount};

const EntryLayout* entryLayoutFor(uint32_t layoutId) {
    switch (layoutId) {
    case kPhoneticLayoutId:
        return &kPhoneticEntries;
    case kCangjieLayoutId:
    case kQuickLayoutId:
        return &kCangjieEntries;
    default:
        return nullptr;
    }
}

int32_t readInt32(const unsigned char* p) {
    const uint32_t u = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
    return static_cast<int32_t>(u);
}

// Entries that are both announced by the count and wholly inside the file.
size_t usableEntryCount(const unsigned char* data, size_t size, size_t entrySize) {
    if (size < kCountOffset + 4)
        return 0;
    const int32_t count = readInt32(data + kCountOffset);
    if (count <= 0 || size < kEntriesOffset)
        return 0;
    const size_t present = (size - kEntriesOffset) / entrySize;
    return present < static_cast<size_t>(count) ? present : static_cast<size_t>(count);
}

// NT-family systems record the private-use code point, the others the Big5 code.
uint16_t entryPuaIndex(uint16_t code) {
    if (appState.platform != 2)
        return codeToPuaIndex(code);
    if (code < kFirstPuaCodePoint || code - kFirstPuaCodePoint >= kEudcCodeCount)
        return kNoCode;
    return static_cast<uint16_t>(code - kFirstPuaCodePoint);
}

void clearStore(uint32_t layoutId) {
    if (layoutId == kPhoneticLayoutId)
        std::memset(appState.phoneticRoots, 0, sizeof appState.phoneticRoots);
    else if (layoutId == kCangjieLayoutId)
        std::memset(appState.cangjieRoots, 0, sizeof appState.cangjieRoots);
    else
        std::memset(appState.quickRoots, 0, sizeof appState.quickRoots);
}

// The first reading slot whose fourth symbol is not a Bopomofo symbol, or
// nullptr when all seven are taken: such a reading has nowhere to go.
char* freeReadingSlot(uint16_t puaIndex) {
    for (auto& slot : appState.phoneticRoots[puaIndex]) {
        if (!readingTaken(slot))
            return slot;
    }
    return nullptr;
}

char* elementFor(uint32_t layoutId, uint16_t puaIndex) {
    if (layoutId == kPhoneticLayoutId)
        return freeReadingSlot(puaIndex);
    if (layoutId == kCangjieLayoutId)
        return appState.cangjieRoots[puaIndex];
    return appState.quickRoots[puaIndex];
}

void writeSymbols(char* element, const unsigned char* keyIndexes, const EntryLayout& layout) {
    for (int k = 0; k < layout.keyPositions; ++k) {
        const int key = static_cast<signed char>(keyIndexes[k]);
        const uint16_t symbol =
            (key >= 1 && key <= layout.keyCount) ? layout.keys[key - 1] : kFullWidthSpace;
        element[2 * k] = static_cast<char>(symbol >> 8);
        element[2 * k + 1] = static_cast<char>(symbol & 0xFF);
    }
}

} // namespace

DictionaryShape dictionaryShape(const unsigned char* data, size_t size, uint32_t layoutId) {
    const EntryLayout* own = entryLayoutFor(layoutId);
    if (own == nullptr)
        return {};
    if (size < kEntriesOffset)
        return {DictionaryFit::NoHeader, 0, own->entrySize};
    const int32_t count = readInt32(data + kCountOffset);
    if (count <= 0)
        return {DictionaryFit::Fits, count, own->entrySize};
    const size_t otherSize =
        own == &kPhoneticEntries ? kCangjieEntries.entrySize : kPhoneticEntries.entrySize;
    const uint64_t entries = size - kEntriesOffset;
    const uint64_t ownBytes = static_cast<uint64_t>(count) * own->entrySize;
    DictionaryFit fit = DictionaryFit::Fits;
    if (entries == static_cast<uint64_t>(count) * otherSize && entries != ownBytes)
        fit = DictionaryFit::OtherLayout;
    else if (entries < ownBytes)
        fit = DictionaryFit::CutShort;
    return {fit, count, own->entrySize};
}

void loadRadicalEntries(const unsigned char* data, size_t size, uint32_t layoutId) {
    const EntryLayout* layout = entryLayoutFor(layoutId);
    if (layout == nullptr)
        return;
    clearStore(layoutId);
    const size_t count = usableEntryCount(data, size, layout->entrySize);
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* entry = data + kEntriesOffset + i * layout->entrySize;
        const uint16_t puaIndex = entryPuaIndex(static_cast<uint16_t>(entry[0] | (entry[1] << 8)));
        // The dictionary ends at the first character outside the user-defined codes.
        if (puaIndex == kNoCode)
            return;
        char* element = elementFor(layoutId, puaIndex);
        if (element != nullptr)
            writeSymbols(element, entry + 2, *layout);
    }
}

void loadRadicalDictionary(const char* path, const char* layoutText, uint32_t layoutId) {
    const WholeFile file = readWholeFile(path, kMaxDictionarySize);
    if (!file.ok) {
        warnDictionaryUnreadable(layoutText);
        return;
    }
    loadRadicalEntries(file.data.get(), file.size, layoutId);
}

} // namespace kestra
