#include "ime/input_method_discovery.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "eudc/app_state.h"
#include "eudc/big5_string.h"
#include "ime/radical_dictionary.h"

namespace kestra {
namespace {

constexpr char kKeyboardLayoutsPath[] = "System\\CurrentControlSet\\control\\Keyboard Layouts";
constexpr char kUserImeKeyPrefix[] = "Software\\Microsoft\\Windows\\CurrentVersion\\";
constexpr char kImeFileValue[] = "IME file";
constexpr char kLayoutTextValue[] = "layout text";
constexpr char kUserDictionaryValue[] = "User Dictionary";
constexpr char kEudcDictionaryValue[] = "Eudc Dictionary";
// Registered among the layouts like an input method, but never one to list.
constexpr char kDiscardedImeFile[] = "WINIME.IME";

struct LoadedLayouts {
    uint32_t ids[kMaxLoadedLayouts] = {};
    int count = 0;
};

void cutAtFirstDot(char* text) {
    if (char* dot = std::strchr(text, '.'))
        *dot = '\0';
}

// Only input methods have layout handles beginning with E.
bool namesAnImeLayout(const char* subKey) {
    return subKey[0] == 'E' || subKey[0] == 'e';
}

LoadedLayouts loadedLayouts(InputMethodRegistry& registry) {
    LoadedLayouts loaded;
    loaded.count =
        std::clamp(registry.loadedLayouts(loaded.ids, kMaxLoadedLayouts), 0, kMaxLoadedLayouts);
    return loaded;
}

// The first loaded layout whose handle, as upper-case hexadecimal without
// leading zeros, is the subkey's name.
bool findLoadedLayout(const LoadedLayouts& loaded, const char* subKey, uint32_t& id) {
    for (int i = 0; i < loaded.count; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%lX", static_cast<unsigned long>(loaded.ids[i]));
        if (equalsIgnoringAsciiCase(text, subKey)) {
            id = loaded.ids[i];
            return true;
        }
    }
    return false;
}

// Visits values in enumeration order until visit returns false. The first
// call that fails ends it: a value too large for the buffers hides every
// value after it.
template <typename Visit>
void forEachValue(InputMethodRegistry& registry, RegistryKey key, Visit visit) {
    RegistryValue value;
    for (uint32_t index = 0; registry.value(key, index, value); ++index) {
        if (!visit(value))
            return;
    }
}

void readLayoutValues(InputMethodRegistry& registry, RegistryKey key, ImeRecord& record) {
    forEachValue(registry, key, [&record](const RegistryValue& value) {
        if (equalsIgnoringAsciiCase(value.name, kImeFileValue)) {
            copyBounded(record.imeFile, value.data);
            upperCaseAsciiLetters(record.imeFile);
        } else if (equalsIgnoringAsciiCase(value.name, kLayoutTextValue)) {
            copyBounded(record.layoutText, value.data);
        }
        return true;
    });
}

// False when the input method is discarded, its record left for the next one.
bool fillRecord(InputMethodRegistry& registry, RegistryKey layouts, const char* subKey,
                uint32_t layoutId, ImeRecord& record) {
    record = ImeRecord{};
    record.layoutId = layoutId;
    copyBounded(record.layoutKey, subKey);
    if (const RegistryKey key = registry.openSubKey(layouts, subKey)) {
        readLayoutValues(registry, key, record);
        registry.closeKey(key);
    }
    if (equalsIgnoringAsciiCase(record.imeFile, kDiscardedImeFile))
        return false;
    cutAtFirstDot(record.imeFile);
    return true;
}

// Fills imeTable from its start and returns how many records it made; stops
// when the table is full.
int findLoadedImes(InputMethodRegistry& registry) {
    const RegistryKey layouts = registry.openKey(RegistryRoot::machine, kKeyboardLayoutsPath);
    if (layouts == nullptr)
        return 0;
    const LoadedLayouts loaded = loadedLayouts(registry);
    int count = 0;
    char subKey[kRegistryNameSize];
    for (uint32_t index = 0; count < kMaxImes && registry.subKeyName(layouts, index, subKey);
         ++index) {
        uint32_t layoutId = 0;
        if (!namesAnImeLayout(subKey) || !findLoadedLayout(loaded, subKey, layoutId))
            continue;
        if (fillRecord(registry, layouts, subKey, layoutId, appState.imeTable[count]))
            ++count;
    }
    registry.closeKey(layouts);
    return count;
}

bool isDictionaryValue(const char* name) {
    return equalsIgnoringAsciiCase(name, kUserDictionaryValue) ||
           equalsIgnoringAsciiCase(name, kEudcDictionaryValue);
}

// The first dictionary value of the input method's per-user key, loaded as
// soon as it is found.
void findDictionary(InputMethodRegistry& registry, ImeRecord& record) {
    record.dictionaryPath[0] = '\0';
    // Without an IME file the name would be CurrentVersion itself, which
    // belongs to no input method.
    if (record.imeFile[0] == '\0')
        return;
    char path[sizeof kUserImeKeyPrefix + sizeof record.imeFile];
    std::snprintf(path, sizeof path, "%s%s", kUserImeKeyPrefix, record.imeFile);
    const RegistryKey key = registry.openKey(RegistryRoot::user, path);
    if (key == nullptr)
        return;
    forEachValue(registry, key, [&record](const RegistryValue& value) {
        if (!isDictionaryValue(value.name))
            return true;
        copyBounded(record.dictionaryPath, value.data);
        loadRadicalDictionary(record.dictionaryPath, record.layoutText, record.layoutId);
        return false;
    });
    registry.closeKey(key);
}

bool canAnnotate(const ImeRecord& record) {
    return record.dictionaryPath[0] != '\0' &&
           (record.layoutId == kPhoneticLayoutId || record.layoutId == kCangjieLayoutId);
}

// Moves the annotatable records to the front, in the order found, and
// empties the rest so that nothing stale is ever read as an input method.
void keepAnnotatable(int count) {
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        if (canAnnotate(appState.imeTable[i]))
            appState.imeTable[kept++] = appState.imeTable[i];
    }
    std::fill(appState.imeTable + kept, appState.imeTable + kMaxImes, ImeRecord{});
    appState.annotatableImeCount = kept;
    std::fill(std::begin(appState.annotate), std::end(appState.annotate), 0);
}

} // namespace

void discoverInputMethods(InputMethodRegistry& registry) {
    const int count = findLoadedImes(registry);
    for (int i = 0; i < count; ++i)
        findDictionary(registry, appState.imeTable[i]);
    keepAnnotatable(count);
}

void discoverInputMethods() {
    discoverInputMethods(platformInputMethodRegistry());
}

} // namespace kestra
