#include "app/eudc_link_switch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kestra {
namespace {

const char kDefaultFace[] = "\xB2\xD3\xA9\xFA\xC5\xE9"; // 細明體
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;

std::vector<std::string> journal;

int recordEnableEudc(int enable) {
    journal.push_back(enable ? "eudc on" : "eudc off");
    return 1;
}

LinkValue linkOf(const char* path, uint32_t type) {
    LinkValue value;
    copyBounded(value.data, path);
    value.size = static_cast<uint32_t>(std::strlen(path) + 1);
    value.type = type;
    return value;
}

bool sameValue(const LinkValue& a, const LinkValue& b) {
    return a.type == b.type && a.size == b.size && std::memcmp(a.data, b.data, a.size) == 0;
}

// The user's links, the program's copies and their holders, in memory, with
// switches that make each kind of registry call fail. Runs are numbered; the
// one under test is `thisRun`. The run can be ended after any number of
// changes to the registry: nothing it does afterwards reaches the registry,
// and when the power fails, neither does anything since the last flush.
class FakeRegistry : public LinkRegistry {
  public:
    std::map<std::string, LinkValue> links;
    std::map<std::string, LinkValue> copyFiles;
    std::map<std::string, int> holders;
    bool readFails = false;
    bool writeFails = false;
    bool keepFails = false;
    int thisRun = 1;
    std::set<int> running{1};
    int changesMade = 0;

    // What is on disk now counts as flushed; the run ends once `changes`
    // more changes (flushes included) have been made.
    void endRunAfter(int changes, bool powerFails) {
        onDisk = {links, copyFiles, holders};
        changesLeft = changes;
        powerFailsAtEnd = powerFails;
    }
    // The next run, on what the ended one left.
    void startNextRun() {
        running.erase(thisRun);
        running.insert(++thisRun);
        changesLeft = -1;
    }

    bool readLink(const char* face, LinkValue& value) override {
        journal.push_back("read");
        auto it = links.find(face);
        if (readFails || it == links.end() || it->second.size > kLinkDataCapacity)
            return false;
        value = it->second;
        return true;
    }
    bool hasLink(const char* face) override { return links.count(face) != 0; }
    bool writeLink(const char* face, const LinkValue& value) override {
        journal.push_back("write");
        return !writeFails && change([&] { links[face] = value; });
    }
    void deleteLink(const char* face) override {
        journal.push_back("delete");
        change([&] { links.erase(face); });
    }
    bool keepCopy(const char* face, const LinkValue& value) override {
        journal.push_back("keep");
        return !keepFails && change([&] { copyFiles[face] = value; }) && flush();
    }
    void dropCopy(const char* face) override {
        journal.push_back("drop");
        if (change([&] { copyFiles.erase(face); }))
            flush();
    }
    std::vector<RemovedLink> copies() override {
        std::vector<RemovedLink> all(copyFiles.size());
        size_t i = 0;
        for (const auto& [face, value] : copyFiles) {
            copyBounded(all[i].face, face.c_str());
            all[i++].value = value;
        }
        return all;
    }
    bool recordHolder(const char* face) override {
        journal.push_back("hold");
        return change([&] { holders[face] = thisRun; });
    }
    void dropHolder(const char* face) override {
        journal.push_back("unhold");
        change([&] { holders.erase(face); });
    }
    bool heldByAnotherRun(const char* face) override {
        auto it = holders.find(face);
        return it != holders.end() && it->second != thisRun && running.count(it->second) != 0;
    }
    std::vector<std::string> heldFaces() override {
        std::vector<std::string> faces;
        for (const auto& entry : holders)
            faces.push_back(entry.first);
        return faces;
    }

  private:
    struct Contents {
        std::map<std::string, LinkValue> links, copyFiles;
        std::map<std::string, int> holders;
    };

    // One change to the registry, unless the run has ended.
    template <typename F> bool change(F&& apply) {
        if (changesLeft == 0)
            return false;
        apply();
        ++changesMade;
        if (changesLeft > 0 && --changesLeft == 0 && powerFailsAtEnd) {
            links = onDisk.links;
            copyFiles = onDisk.copyFiles;
            holders = onDisk.holders;
        }
        return true;
    }
    bool flush() {
        return change([&] { onDisk = {links, copyFiles, holders}; });
    }

    Contents onDisk;
    int changesLeft = -1;
    bool powerFailsAtEnd = false;
};

class EudcLinkSwitch : public ::testing::Test {
  protected:
    void SetUp() override {
        appState = AppState{};
        appState.enableEudc = recordEnableEudc;
        copyBounded(appState.defaultFaceName, kDefaultFace);
        registry = FakeRegistry{};
        registry.links[kDefaultFace] = userLink;
        registry.links["AR PL UMing TW"] = linkOf("C:\\FONTS\\RING.TTE", kRegSz);
        journal.clear();
    }

    const LinkValue userLink = linkOf("%SystemRoot%\\Fonts\\EUDC.TTE", kRegExpandSz);
    FakeRegistry registry;
};

TEST_F(EudcLinkSwitch, RemovalKeepsACopyOnDiskBeforeDeletingAndRestoreGivesBackTheSameValue) {
    removeDefaultFaceLink(registry);
    EXPECT_EQ(registry.links.count(kDefaultFace), 0u);
    EXPECT_EQ(appState.associationSwapped, 1);
    EXPECT_STREQ(appState.savedAssociation, userLink.data);
    ASSERT_EQ(registry.copyFiles.count(kDefaultFace), 1u);
    EXPECT_TRUE(sameValue(registry.copyFiles[kDefaultFace], userLink));
    EXPECT_EQ(registry.holders[kDefaultFace], registry.thisRun);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"eudc off", "read", "hold", "keep", "delete", "eudc on"}));

    journal.clear();
    restoreDefaultFaceLink(registry);
    ASSERT_EQ(registry.links.count(kDefaultFace), 1u);
    EXPECT_TRUE(sameValue(registry.links[kDefaultFace], userLink)) << "type and bytes kept";
    EXPECT_TRUE(registry.copyFiles.empty());
    EXPECT_EQ(appState.associationSwapped, 0);
    EXPECT_EQ(appState.savedAssociation[0], '\0');
    EXPECT_TRUE(registry.holders.empty());
    EXPECT_EQ(journal,
              (std::vector<std::string>{"eudc off", "write", "unhold", "drop", "eudc on"}));

    journal.clear();
    restoreDefaultFaceLink(registry);
    EXPECT_TRUE(journal.empty()) << "nothing held, nothing done";
}

TEST_F(EudcLinkSwitch, NothingIsRemovedWhenTheLinkCannotBeReadOrKept) {
    struct Case {
        const char* what;
        void (*arrange)(FakeRegistry&);
    };
    const Case cases[] = {
        {"key or value unreadable", [](FakeRegistry& r) { r.readFails = true; }},
        {"no value of its own", [](FakeRegistry& r) { r.links.erase(kDefaultFace); }},
        {"value of 300 bytes",
         [](FakeRegistry& r) { r.links[kDefaultFace] = linkOf(std::string(299, 'x').c_str(), 1); }},
        {"copy cannot be written", [](FakeRegistry& r) { r.keepFails = true; }},
    };
    for (const Case& c : cases) {
        SetUp();
        c.arrange(registry);
        const auto linksBefore = registry.links.size();
        removeDefaultFaceLink(registry);
        EXPECT_EQ(registry.links.size(), linksBefore) << c.what;
        EXPECT_EQ(appState.associationSwapped, 0) << c.what;
        EXPECT_TRUE(registry.copyFiles.empty()) << c.what;
        EXPECT_TRUE(registry.holders.empty()) << c.what;
        EXPECT_EQ(journal.back(), "eudc on") << c.what;
    }
}

TEST_F(EudcLinkSwitch, AFailedWriteBackHoldsTheLinkUntilALaterOneSucceeds) {
    removeDefaultFaceLink(registry);
    registry.writeFails = true;
    restoreDefaultFaceLink(registry);
    EXPECT_EQ(appState.associationSwapped, 1);
    EXPECT_STREQ(appState.savedAssociation, userLink.data);
    EXPECT_EQ(registry.copyFiles.count(kDefaultFace), 1u);

    // Choosing the standard row again meanwhile must not replace what is
    // held, even when the face has a link again by then.
    registry.writeFails = false;
    registry.links[kDefaultFace] = linkOf("D:\\MINE.TTE", kRegSz);
    removeDefaultFaceLink(registry);
    EXPECT_STREQ(appState.savedAssociation, userLink.data);
    EXPECT_TRUE(sameValue(registry.copyFiles[kDefaultFace], userLink));
    registry.links.erase(kDefaultFace);

    restoreDefaultFaceLink(registry);
    EXPECT_EQ(appState.associationSwapped, 0);
    EXPECT_TRUE(sameValue(registry.links[kDefaultFace], userLink));
    EXPECT_TRUE(registry.copyFiles.empty());
}

TEST_F(EudcLinkSwitch, NoEnableEudcIsNeverCalled) {
    appState.enableEudc = nullptr;
    removeDefaultFaceLink(registry);
    restoreDefaultFaceLink(registry);
    EXPECT_TRUE(sameValue(registry.links[kDefaultFace], userLink));
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "eudc off"), 0);
}

TEST_F(EudcLinkSwitch, StartUpPutsBackALeftCopyUnlessTheUserLinkedTheFaceAgain) {
    const LinkValue relinked = linkOf("D:\\MINE.TTE", kRegSz);
    registry.links.erase(kDefaultFace);
    registry.copyFiles[kDefaultFace] = userLink;
    registry.copyFiles["Other face"] = userLink;
    registry.links["Other face"] = relinked;

    recoverRemovedLinks(registry);
    EXPECT_TRUE(sameValue(registry.links[kDefaultFace], userLink));
    EXPECT_TRUE(sameValue(registry.links["Other face"], relinked)) << "never overwritten";
    EXPECT_TRUE(registry.copyFiles.empty());

    registry.links.erase(kDefaultFace);
    registry.copyFiles[kDefaultFace] = userLink;
    registry.writeFails = true;
    recoverRemovedLinks(registry);
    EXPECT_EQ(registry.copyFiles.count(kDefaultFace), 1u) << "kept for the next start";
}

// The run ends, killed or by a power cut, right after any one change that
// taking the link away and putting it back makes; whatever is left, the
// next start has the link back as it was and nothing of the program's left.
TEST_F(EudcLinkSwitch, ARunEndedAfterAnyStepOfTheSwitchLosesNothing) {
    removeDefaultFaceLink(registry);
    restoreDefaultFaceLink(registry);
    const int changes = registry.changesMade;
    ASSERT_EQ(changes, 8) << "hold, copy, flush, delete, write back, unhold, drop, flush";
    for (bool powerFails : {false, true})
        for (int end = 1; end <= changes; ++end) {
            const std::string when = std::string(powerFails ? "power failed" : "killed") +
                                     " after change " + std::to_string(end);
            SetUp();
            registry.endRunAfter(end, powerFails);
            removeDefaultFaceLink(registry);
            restoreDefaultFaceLink(registry);
            registry.startNextRun();
            appState = AppState{};
            copyBounded(appState.defaultFaceName, kDefaultFace);
            recoverRemovedLinks(registry);
            ASSERT_EQ(registry.links.count(kDefaultFace), 1u) << when;
            EXPECT_TRUE(sameValue(registry.links[kDefaultFace], userLink)) << when;
            EXPECT_TRUE(registry.copyFiles.empty()) << when;
            EXPECT_TRUE(registry.holders.empty()) << when;
        }
}

TEST_F(EudcLinkSwitch, ALinkAnotherRunningRunHoldsIsLeftToItUntilItEnds) {
    removeDefaultFaceLink(registry); // run 1 holds
    const int first = registry.thisRun;
    registry.thisRun = 2;
    registry.running.insert(2);
    AppState held = appState;
    appState.associationSwapped = 0;
    journal.clear();

    recoverRemovedLinks(registry);
    EXPECT_EQ(registry.links.count(kDefaultFace), 0u) << "not written back at the second start";
    EXPECT_TRUE(sameValue(registry.copyFiles[kDefaultFace], userLink));
    EXPECT_EQ(registry.holders[kDefaultFace], first);

    // The second run chooses the standard row, also once the user has linked
    // the face again: it takes nothing and holds nothing.
    for (bool relinked : {false, true}) {
        if (relinked)
            registry.links[kDefaultFace] = linkOf("D:\\MINE.TTE", kRegSz);
        removeDefaultFaceLink(registry);
        restoreDefaultFaceLink(registry);
        EXPECT_EQ(appState.associationSwapped, 0);
        EXPECT_EQ(registry.links.count(kDefaultFace), relinked ? 1u : 0u);
        EXPECT_TRUE(sameValue(registry.copyFiles[kDefaultFace], userLink));
        EXPECT_EQ(registry.holders[kDefaultFace], first);
    }
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "write"), 0);

    // The first run puts nothing over the link the user made meanwhile.
    registry.thisRun = first;
    appState = held;
    restoreDefaultFaceLink(registry);
    EXPECT_EQ(appState.associationSwapped, 0);
    EXPECT_STREQ(registry.links[kDefaultFace].data, "D:\\MINE.TTE");
    EXPECT_TRUE(registry.copyFiles.empty());
    EXPECT_TRUE(registry.holders.empty());
}

TEST_F(EudcLinkSwitch, StartUpForgetsTheHolderOfARunThatEndedBeforeItKeptItsCopy) {
    registry.holders[kDefaultFace] = 7; // not running
    registry.holders["Other face"] = 8;
    registry.running.insert(8);
    recoverRemovedLinks(registry);
    EXPECT_EQ(registry.holders.count(kDefaultFace), 0u);
    EXPECT_EQ(registry.holders.count("Other face"), 1u) << "that run may be about to keep it";
    EXPECT_TRUE(sameValue(registry.links[kDefaultFace], userLink));
}

} // namespace
} // namespace kestra
