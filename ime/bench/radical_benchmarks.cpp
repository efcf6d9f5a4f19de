// A full Phonetic dictionary: every one of the 6217 codes with seven readings,
// 43,519 entries, loaded from disk; then the radical text of every code.
#include <benchmark/benchmark.h>

#include <memory>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "ime/radical_dictionary.h"
#include "ime/radical_text.h"
#include "ime/tests/dictionary_writer.h"

namespace kestra {
namespace {

using testing::DictionaryWriter;
using testing::TempFile;

const TempFile& fullPhoneticDictionary() {
    static const std::unique_ptr<TempFile> file = [] {
        DictionaryWriter d(kPhoneticLayoutId);
        for (int reading = 0; reading < kPhoneticSlots; ++reading) {
            for (int p = 0; p < kEudcCodeCount; ++p) {
                const uint16_t code = puaIndexToCode(static_cast<uint16_t>(p));
                d.add(code,
                      {1 + (p + reading) % 21, 22 + reading % 3, 25 + p % 13, 38 + reading % 5});
            }
        }
        return std::make_unique<TempFile>(d.bytes());
    }();
    return *file;
}

void loadFullPhoneticDictionary(benchmark::State& state) {
    appState.platform = 1;
    const char* path = fullPhoneticDictionary().path();
    for (auto _ : state) {
        loadRadicalDictionary(path, "", kPhoneticLayoutId);
        benchmark::ClobberMemory();
    }
    state.counters["entries"] = kEudcCodeCount * kPhoneticSlots;
}
BENCHMARK(loadFullPhoneticDictionary)->Unit(benchmark::kMicrosecond);

void textOfEveryCode(benchmark::State& state) {
    appState.platform = 1;
    loadRadicalDictionary(fullPhoneticDictionary().path(), "", kPhoneticLayoutId);
    benchmark::IterationCount fullTexts = 0;
    for (auto _ : state) {
        for (int p = 0; p < kEudcCodeCount; ++p) {
            lookupRadicalText(puaIndexToCode(static_cast<uint16_t>(p)), kPhoneticLayoutId);
            fullTexts += appState.annotationText[67] != '\0';
        }
        benchmark::DoNotOptimize(fullTexts);
    }
    // Every code has seven readings, so every text is the full 68 bytes.
    if (fullTexts != state.iterations() * kEudcCodeCount)
        state.SkipWithError("a text was not 68 bytes long");
}
BENCHMARK(textOfEveryCode)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kestra
