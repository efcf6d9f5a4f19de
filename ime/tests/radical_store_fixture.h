// Gives every test empty radical stores, a chosen platform and a warning sink
// that records what would have been shown.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "eudc/app_state.h"
#include "ime/dictionary_warning.h"
#include "ime/tests/dictionary_writer.h"

namespace kestra::testing {

struct ShownWarning {
    std::string caption;
    std::string text;
};

class RadicalStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(appState.phoneticRoots, 0, sizeof appState.phoneticRoots);
        std::memset(appState.cangjieRoots, 0, sizeof appState.cangjieRoots);
        std::memset(appState.quickRoots, 0, sizeof appState.quickRoots);
        std::memset(appState.annotationText, 0, sizeof appState.annotationText);
        appState.platform = 1;
        shown().clear();
        setWarningSink(&record);
    }
    void TearDown() override { setWarningSink(nullptr); }

    static std::vector<ShownWarning>& shown() {
        static std::vector<ShownWarning> warnings;
        return warnings;
    }

    static std::string reading(uint16_t puaIndex, int slot) {
        return std::string(appState.phoneticRoots[puaIndex][slot]);
    }
    static std::string cangjie(uint16_t puaIndex) { return appState.cangjieRoots[puaIndex]; }
    static std::string quick(uint16_t puaIndex) { return appState.quickRoots[puaIndex]; }
    static std::string text() { return appState.annotationText; }

  private:
    static void record(const char* caption, const char* text) {
        shown().push_back({caption, text});
    }
};

} // namespace kestra::testing
