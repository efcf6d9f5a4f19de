// Feeds arbitrary files to the dictionary loader. The first byte, which the
// loader never interprets, chooses the platform's code form and the layout;
// the whole input is the file. After each load the codes the file names are
// looked up in every layout and the results checked against what a stored
// element can hold.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <unistd.h>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "ime/dictionary_warning.h"
#include "ime/radical_dictionary.h"
#include "ime/radical_text.h"

namespace {

using namespace kestra;

constexpr uint32_t kLayouts[4] = {kPhoneticLayoutId, kCangjieLayoutId, kQuickLayoutId, 0xE0050404};
constexpr size_t kEntriesOffset = 258;
constexpr size_t kCheckedEntries = 64;

int warnings = 0;
void countWarning(const char*, const char*) {
    ++warnings;
}

void require(bool condition) {
    if (!condition)
        __builtin_trap();
}

// One unnamed file per process, rewritten for every input and opened by the
// loader through /proc/self/fd, so nothing is left behind however the run
// ends. Memory-backed when possible: rewriting a disk file for every input
// would make the disk, not the loader, the bottleneck.
int scratchFile() {
    static const int fd = [] {
        char shm[] = "/dev/shm/kestra-fuzz-XXXXXX";
        char tmp[] = "/tmp/kestra-fuzz-XXXXXX";
        char* name = access("/dev/shm", W_OK) == 0 ? shm : tmp;
        const int created = mkstemp(name);
        require(created >= 0);
        unlink(name);
        return created;
    }();
    return fd;
}

const std::string& scratchPath() {
    static const std::string path = "/proc/self/fd/" + std::to_string(scratchFile());
    return path;
}

bool writeScratch(const uint8_t* data, size_t size) {
    const int fd = scratchFile();
    return ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == static_cast<ssize_t>(size);
}

uint16_t bigFiveCodeOf(uint16_t recorded) {
    if (appState.platform == 1)
        return recorded;
    const unsigned index = recorded - 0xE000u;
    return index < kEudcCodeCount ? puaIndexToCode(static_cast<uint16_t>(index)) : recorded;
}

// Empty, or whole elements: 8 + 10 * (n - 1) bytes of Phonetic text, 10 of radicals.
void checkText(uint32_t layoutId) {
    const void* end = std::memchr(appState.annotationText, '\0', sizeof appState.annotationText);
    require(end != nullptr);
    const size_t length = static_cast<const char*>(end) - appState.annotationText;
    if (length == 0)
        return;
    if (layoutId == kPhoneticLayoutId)
        require(length <= 68 && (length == 8 || (length - 8) % 10 == 0));
    else
        require(layoutId != 0xE0050404 && length == 10);
}

void checkNamedCodes(const uint8_t* data, size_t size, size_t entrySize) {
    for (size_t i = 0; i < kCheckedEntries; ++i) {
        const size_t at = kEntriesOffset + i * entrySize;
        if (at + 2 > size)
            return;
        const uint16_t code = bigFiveCodeOf(static_cast<uint16_t>(data[at] | (data[at + 1] << 8)));
        for (uint32_t layoutId : kLayouts) {
            lookupRadicalText(code, layoutId);
            checkText(layoutId);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    setWarningSink(&countWarning);
    appState.platform = (data[0] & 1) != 0 ? 2 : 1;
    const uint32_t layoutId = kLayouts[(data[0] >> 1) & 3];
    if (!writeScratch(data, size))
        return 0;
    warnings = 0;
    loadRadicalDictionary(scratchPath().c_str(), "fuzz", layoutId);
    require(warnings == 0); // the file is there and readable
    checkNamedCodes(data, size, layoutId == kPhoneticLayoutId ? 8 : 9);
    return 0;
}
