#include "app/eudc_link_switch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "eudc/app_state.h"

namespace kestra {
namespace {

const char kDefaultFace[] = "\xB2\xD3\xA9\xFA\xC5\xE9"; // 細明體
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegMultiSz = 7;

std::vector<std::string> journal;

int recordEnableEudc(int enable) {
    journal.push_back(enable ? "eudc on" : "eudc off");
    return 1;
}

LinkValue text(const std::string& path, uint32_t type = kRegSz) {
    return LinkValue{path + '\0', type};
}

const char* nameOf(LinkKey key) {
    const char* const names[] = {"links", "copies", "holders", "program"}; // in LinkKey's order
    return names[static_cast<int>(key)];
}

// The registry and the processes in memory. Each call is journalled as
// "<call> <key>", and any of them can be made to fail by naming it in
// `failing`. Runs are process ids; the one calling is `self`. After a given
// number of changes the calling run is killed (nothing it does afterwards
// reaches the registry), or the power fails (every run ends, and the
// program's keys are as they were at their last flush).
class FakeSystem : public LinkRegistry, public ProcessTable {
  public:
    using Values = std::map<std::string, LinkValue>;
    std::map<LinkKey, Values> keys; // a key exists while it is in here
    std::set<std::string> failing;
    std::map<uint32_t, uint64_t> running{{1, 100}}; // id -> creation time
    uint32_t self = 1;
    int changesMade = 0;

    Values& links() { return keys[LinkKey::eudcLinks]; }
    Values& copies() { return keys[LinkKey::removedLinks]; }
    size_t holderCount() const {
        const auto it = keys.find(LinkKey::linkHolders);
        return it == keys.end() ? 0 : it->second.size();
    }
    bool programKeyLeft() const {
        return keys.count(LinkKey::program) || keys.count(LinkKey::removedLinks) ||
               keys.count(LinkKey::linkHolders);
    }
    void start(uint32_t run, uint64_t created) { running[run] = created; }
    // What is there now counts as on disk.
    void endRunAfter(int changes, bool powerFails) {
        onDisk = keys;
        changesLeft = changes;
        powerFailsAtEnd = powerFails;
    }

    bool read(LinkKey key, const std::string& name, LinkValue& value) override {
        if (!call("read", key))
            return false;
        const auto values = keys.find(key);
        if (values == keys.end() || !values->second.count(name))
            return false;
        value = values->second.at(name);
        return true;
    }
    bool has(LinkKey key, const std::string& name) override {
        return keys.count(key) && keys[key].count(name);
    }
    bool write(LinkKey key, const std::string& name, const LinkValue& value) override {
        return call("write", key) && (key != LinkKey::eudcLinks || keys.count(key)) && change([&] {
                   if (key != LinkKey::eudcLinks)
                       keys[LinkKey::program];
                   keys[key][name] = value;
               });
    }
    void erase(LinkKey key, const std::string& name) override {
        if (call("erase", key) && has(key, name))
            change([&] { keys[key].erase(name); });
    }
    bool flush(LinkKey key) override {
        return call("flush", key) && change([&] {
                   onDisk.erase(key);
                   if (keys.count(key))
                       onDisk[key] = keys[key];
               });
    }
    std::vector<std::string> names(LinkKey key) override {
        std::vector<std::string> all;
        if (keys.count(key))
            for (const auto& entry : keys[key])
                all.push_back(entry.first);
        return all;
    }
    void eraseIfEmpty(LinkKey key) override {
        const bool children = key == LinkKey::program && (keys.count(LinkKey::removedLinks) ||
                                                          keys.count(LinkKey::linkHolders));
        if (keys.count(key) && keys[key].empty() && !children)
            change([&] { keys.erase(key); });
    }
    RunId thisRun() override { return RunId{self, running.count(self) ? running[self] : 0}; }
    bool creationOf(uint32_t processId, uint64_t& created) override {
        if (!running.count(processId))
            return false;
        created = running[processId];
        return true;
    }

  private:
    bool call(const char* what, LinkKey key) {
        const std::string entry = std::string(what) + " " + nameOf(key);
        journal.push_back(entry);
        return !failing.count(entry);
    }
    template <typename F> bool change(F&& apply) {
        if (!running.count(self))
            return false;
        apply();
        ++changesMade;
        if (changesLeft > 0 && --changesLeft == 0) {
            changesLeft = -1;
            running.erase(self);
            if (powerFailsAtEnd) {
                powerFail();
                running.clear();
            }
        }
        return true;
    }

    // The worst a power cut can do: the program's keys lose every change since
    // their last flush, while a change to EUDC\950 may have reached the disk.
    void powerFail() {
        for (LinkKey key : {LinkKey::removedLinks, LinkKey::linkHolders}) {
            keys.erase(key);
            if (onDisk.count(key))
                keys[key] = onDisk[key];
        }
        keys.erase(LinkKey::program);
        if (keys.count(LinkKey::removedLinks) || keys.count(LinkKey::linkHolders))
            keys[LinkKey::program];
    }

    std::map<LinkKey, Values> onDisk;
    int changesLeft = -1;
    bool powerFailsAtEnd = false;
};

class EudcLinkSwitch : public ::testing::Test {
  protected:
    void SetUp() override {
        system = FakeSystem{};
        system.links()[kDefaultFace] = userLink;
        system.links()["AR PL UMing TW"] = text("C:\\FONTS\\RING.TTE");
        system.start(2, 200);
        runs.clear();
        for (uint32_t run : {1u, 2u})
            runs[run] = freshState();
        appState = runs[1];
        journal.clear();
    }

    static AppState freshState() {
        AppState state{};
        state.enableEudc = recordEnableEudc;
        copyBounded(state.defaultFaceName, kDefaultFace);
        return state;
    }

    // Runs `step` as run `run`, with that run's own state.
    void as(uint32_t run, const std::function<void()>& step) {
        runs[system.self] = appState;
        system.self = run;
        appState = runs[run];
        step();
        runs[run] = appState;
    }
    void remove(uint32_t run) {
        as(run, [&] { removeDefaultFaceLink(system, system); });
    }
    // What a font command does before its dialog, and the end of a run.
    void restore(uint32_t run) {
        as(run, [&] {
            restoreDefaultFaceLink(system, system);
            recoverRemovedLinks(system, system);
        });
    }

    void expectLinksAsBefore(const std::string& when) {
        ASSERT_EQ(system.links().count(kDefaultFace), 1u) << when;
        EXPECT_EQ(system.links()[kDefaultFace], userLink) << when << ": type and bytes kept";
        EXPECT_FALSE(system.programKeyLeft()) << when << ": the program left keys behind";
    }

    LinkValue userLink = text("%SystemRoot%\\Fonts\\EUDC.TTE", kRegExpandSz);
    FakeSystem system;
    std::map<uint32_t, AppState> runs;
};

TEST_F(EudcLinkSwitch, RemovalKeepsAFlushedCopyBeforeDeletingAndRestoreGivesBackTheSameValue) {
    const LinkValue values[] = {
        userLink,
        {std::string("C:\\A.TTE\0C:\\B.TTE\0\0", 20), kRegMultiSz},
        {"C:\\NO_TERMINATOR.TTE", kRegSz},
        text("C:\\" + std::string(251, 'L') + ".TTE"), // a path of 258 characters
    };
    for (const LinkValue& value : values) {
        SetUp();
        userLink = value;
        system.links()[kDefaultFace] = value;
        remove(1);
        EXPECT_EQ(system.links().count(kDefaultFace), 0u);
        EXPECT_EQ(appState.associationSwapped, 1);
        EXPECT_EQ(system.copies()[kDefaultFace], value);
        EXPECT_EQ(system.holderCount(), 1u);
        EXPECT_EQ(journal, (std::vector<std::string>{"eudc off", "write holders", "read links",
                                                     "write copies", "flush copies", "erase links",
                                                     "eudc on"}));
        restore(1);
        expectLinksAsBefore("after the write-back");
        EXPECT_EQ(appState.associationSwapped, 0);
        EXPECT_TRUE(appState.savedAssociation.empty());
        journal.clear();
        restore(1);
        EXPECT_EQ(std::count(journal.begin(), journal.end(), "eudc off"), 0) << "nothing held";
    }
}

TEST_F(EudcLinkSwitch, NothingIsRemovedWhenTheLinkCannotBeReadOrKept) {
    const struct {
        const char* failing;
        bool noValue;
    } cases[] = {{"read links", false},
                 {nullptr, true},
                 {"write copies", false},
                 {"flush copies", false},
                 {"write holders", false}};
    for (const auto& c : cases) {
        SetUp();
        if (c.failing)
            system.failing.insert(c.failing);
        if (c.noValue)
            system.links().erase(kDefaultFace);
        const auto linksBefore = system.links();
        remove(1);
        const std::string what = c.failing ? c.failing : "no value";
        EXPECT_EQ(system.links(), linksBefore) << what;
        EXPECT_EQ(appState.associationSwapped, 0) << what;
        EXPECT_EQ(system.holderCount(), 0u) << what;
        EXPECT_EQ(journal.back(), "eudc on") << what;
    }
}

TEST_F(EudcLinkSwitch, AFailedWriteBackHoldsTheLinkUntilALaterOneSucceeds) {
    remove(1);
    system.failing.insert("write links");
    restore(1);
    EXPECT_EQ(appState.associationSwapped, 1);
    EXPECT_EQ(std::string(appState.savedAssociation.data(), appState.savedAssociation.size()),
              userLink.data);
    EXPECT_EQ(system.copies().count(kDefaultFace), 1u);

    // Choosing the standard row again meanwhile keeps what is held.
    remove(1);
    EXPECT_EQ(system.copies()[kDefaultFace], userLink);

    system.failing.clear();
    restore(1);
    expectLinksAsBefore("after the second write-back");
}

TEST_F(EudcLinkSwitch, NoEnableEudcIsNeverCalled) {
    runs[1].enableEudc = nullptr;
    appState.enableEudc = nullptr;
    remove(1);
    restore(1);
    expectLinksAsBefore("after the run");
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "eudc off"), 0);
}

TEST_F(EudcLinkSwitch, StartUpPutsBackALeftCopyUnlessTheUserLinkedTheFaceAgain) {
    const LinkValue relinked = text("D:\\MINE.TTE");
    system.links().erase(kDefaultFace);
    system.copies()[kDefaultFace] = userLink;
    system.copies()["Other face"] = userLink;
    system.links()["Other face"] = relinked;
    system.keys[LinkKey::linkHolders]["7:0000000000000001:" + std::string(kDefaultFace)] = {};
    system.keys[LinkKey::linkHolders][kDefaultFace] = text("7:0000000000000001"); // not ours
    system.keys[LinkKey::program];

    restore(1);
    EXPECT_EQ(system.links()["Other face"], relinked) << "never overwritten";
    expectLinksAsBefore("after start-up");

    system.links().erase(kDefaultFace);
    system.copies()[kDefaultFace] = userLink;
    system.failing.insert("write links");
    restore(1);
    EXPECT_EQ(system.copies().count(kDefaultFace), 1u) << "kept for the next start";
}

// Run 1 takes the link away and run 2 shows the standard table too; either
// may end first. A run is killed, or the power fails, right after any one
// change either makes: once the survivor has ended, or at the next start
// after a power cut, the link is back as it was and nothing of the program's
// is left.
TEST_F(EudcLinkSwitch, ARunEndedAfterAnyChangeOfTheSwitchLosesNothing) {
    const std::vector<std::vector<std::pair<uint32_t, bool>>> scenarios = {
        {{1, true}, {1, false}},
        {{1, true}, {2, true}, {1, false}, {2, false}},
        {{1, true}, {2, true}, {2, false}, {1, false}},
    };
    for (size_t s = 0; s < scenarios.size(); ++s) {
        SetUp();
        for (const auto& [run, removes] : scenarios[s])
            removes ? remove(run) : restore(run);
        const int changes = system.changesMade;
        for (bool powerFails : {false, true})
            for (int end = 1; end <= changes; ++end) {
                const std::string when = "scenario " + std::to_string(s) +
                                         (powerFails ? ", power failed" : ", killed") +
                                         " after change " + std::to_string(end);
                SetUp();
                system.endRunAfter(end, powerFails);
                for (const auto& [run, removes] : scenarios[s])
                    if (system.running.count(run))
                        removes ? remove(run) : restore(run);
                system.start(3, 300);
                restore(3); // the next start
                expectLinksAsBefore(when);
            }
    }
}

TEST_F(EudcLinkSwitch, TheLinkComesBackOnlyWhenTheLastRunShowingTheStandardTableEnds) {
    remove(1);
    remove(2);
    EXPECT_EQ(system.holderCount(), 2u);
    restore(1);
    EXPECT_EQ(system.links().count(kDefaultFace), 0u) << "run 2 still shows the standard table";
    EXPECT_EQ(runs[1].associationSwapped, 0);

    // The user links the face anew, and run 1 chooses the standard row
    // again: the newer link is the one kept and, in the end, put back.
    userLink = text("D:\\MINE.TTE");
    system.links()[kDefaultFace] = userLink;
    remove(1);
    EXPECT_EQ(system.links().count(kDefaultFace), 0u);
    EXPECT_EQ(system.copies()[kDefaultFace], userLink);
    restore(2);
    EXPECT_EQ(system.links().count(kDefaultFace), 0u) << "run 1 holds it now";
    restore(1);
    expectLinksAsBefore("after both");
}

// Run 1 holds the link and ends without a word. Run 2, which shows the
// standard table too or not, notices at its next font command or its end,
// also when a new process has been given run 1's id.
TEST_F(EudcLinkSwitch, ARunningRunPutsBackTheLinkOfAHolderThatEnded) {
    for (bool secondHolds : {false, true})
        for (bool idReused : {false, true}) {
            SetUp();
            remove(1);
            if (secondHolds)
                remove(2);
            system.running.erase(1);
            if (idReused)
                system.start(1, 101);
            restore(2);
            expectLinksAsBefore(std::string(secondHolds ? "holder" : "bystander") +
                                (idReused ? ", id reused" : ""));
        }
}

TEST_F(EudcLinkSwitch, AHolderStillRunningKeepsItsLinkAgainstStartUp) {
    remove(1);
    system.start(3, 300);
    restore(3);
    EXPECT_EQ(system.links().count(kDefaultFace), 0u);
    EXPECT_EQ(system.copies()[kDefaultFace], userLink);
    EXPECT_EQ(system.holderCount(), 1u);
}

} // namespace
} // namespace kestra
