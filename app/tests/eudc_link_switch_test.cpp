#include "app/eudc_link_switch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
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

// The user's links and the program's copies, in memory, with switches that
// make each kind of registry call fail.
class FakeRegistry : public LinkRegistry {
  public:
    std::map<std::string, LinkValue> links;
    std::map<std::string, LinkValue> copyFiles;
    bool readFails = false;
    bool writeFails = false;
    bool keepFails = false;

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
        if (writeFails)
            return false;
        links[face] = value;
        return true;
    }
    void deleteLink(const char* face) override {
        journal.push_back("delete");
        links.erase(face);
    }
    bool keepCopy(const char* face, const LinkValue& value) override {
        journal.push_back("keep");
        if (keepFails)
            return false;
        copyFiles[face] = value;
        return true;
    }
    void dropCopy(const char* face) override {
        journal.push_back("drop");
        copyFiles.erase(face);
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
    EXPECT_EQ(journal, (std::vector<std::string>{"eudc off", "read", "keep", "delete", "eudc on"}));

    journal.clear();
    restoreDefaultFaceLink(registry);
    ASSERT_EQ(registry.links.count(kDefaultFace), 1u);
    EXPECT_TRUE(sameValue(registry.links[kDefaultFace], userLink)) << "type and bytes kept";
    EXPECT_TRUE(registry.copyFiles.empty());
    EXPECT_EQ(appState.associationSwapped, 0);
    EXPECT_EQ(appState.savedAssociation[0], '\0');
    EXPECT_EQ(journal, (std::vector<std::string>{"eudc off", "write", "drop", "eudc on"}));

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

} // namespace
} // namespace kestra
