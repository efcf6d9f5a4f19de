#include "ime/radical_text.h"

#include <cstring>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "ime/reading_slot.h"

namespace kestra {
namespace {

constexpr char kSeparator[] = "\xA1\x40"; // 　
constexpr int kReadingTextSize = kPhoneticReadingSize - 1;
constexpr int kRadicalTextSize = kRadicalElementSize - 1;

// Elements are always terminated by the store's clearing, but read them as
// bounded text all the same.
size_t textLength(const char* element, size_t limit) {
    const void* end = std::memchr(element, '\0', limit);
    return end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - element) : limit;
}

class TextBuilder {
  public:
    explicit TextBuilder(char (&out)[kAnnotationTextSize]) : out_(out) { out_[0] = '\0'; }

    void append(const char* text, size_t length) {
        const size_t room = sizeof out_ - 1 - used_;
        const size_t n = length < room ? length : room;
        std::memcpy(out_ + used_, text, n);
        used_ += n;
        out_[used_] = '\0';
    }

  private:
    char (&out_)[kAnnotationTextSize];
    size_t used_ = 0;
};

} // namespace

// Slot 0 stands however it was written; later slots only when taken.
void forEachRadicalElement(uint16_t code, uint32_t layoutId,
                           const std::function<void(const char* text, size_t length)>& visit) {
    const uint16_t puaIndex = codeToPuaIndex(code);
    if (puaIndex == kNoCode)
        return;
    if (layoutId == kPhoneticLayoutId) {
        const auto& readings = appState.phoneticRoots[puaIndex];
        for (int slot = 0; slot < kPhoneticSlots; ++slot) {
            if (slot == 0 || readingTaken(readings[slot]))
                visit(readings[slot], textLength(readings[slot], kReadingTextSize));
        }
    } else if (layoutId == kCangjieLayoutId || layoutId == kQuickLayoutId) {
        const char* element = layoutId == kCangjieLayoutId ? appState.cangjieRoots[puaIndex]
                                                           : appState.quickRoots[puaIndex];
        visit(element, textLength(element, kRadicalTextSize));
    }
}

void lookupRadicalText(uint16_t code, uint32_t layoutId) {
    TextBuilder text(appState.annotationText);
    bool first = true;
    forEachRadicalElement(code, layoutId, [&](const char* element, size_t length) {
        if (!first)
            text.append(kSeparator, 2);
        text.append(element, length);
        first = false;
    });
}

} // namespace kestra
