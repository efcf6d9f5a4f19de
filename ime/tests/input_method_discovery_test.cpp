// Discovery against a registry of the test's making: the cases a real test
// bed cannot show (layouts registered but not loaded, values too large,
// more input methods than the table holds).
#include "ime/input_method_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "eudc/app_state.h"
#include "ime/tests/dictionary_writer.h"
#include "ime/tests/radical_store_fixture.h"

namespace kestra::testing {
namespace {

constexpr char kPhonetic[] = "\xAA\x60\xAD\xB5"; // 注音
constexpr char kCangjie[] = "\xAD\xDC\xBE\x65";  // 倉頡
constexpr char kQuick[] = "\xB3\x74\xA6\xA8";    // 速成
constexpr char kLayoutsPath[] = "SYSTEM\\CURRENTCONTROLSET\\CONTROL\\KEYBOARD LAYOUTS";
constexpr char kUserPrefix[] = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\";

struct Value {
    std::string name;
    std::string data;
};

std::string upper(std::string text) {
    for (char& c : text)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

// Paths match without regard to case, and names and data that need more
// than the enumeration buffers fail their call, as in the Windows registry.
// String data is counted with its terminator, as it is stored.
class FakeRegistry final : public InputMethodRegistry {
  public:
    FakeRegistry() { nodes_[layoutsNode_]; }

    // A layout's subkey, enumerated in the order added; loaded unless told.
    void layout(const std::string& subKey, std::vector<Value> values, bool loaded = true,
                bool openable = true) {
        nodes_[layoutsNode_].subKeys.push_back(subKey);
        if (openable)
            nodes_[layoutsNode_ + "\\" + upper(subKey)].values = std::move(values);
        if (loaded)
            loadedIds.push_back(static_cast<uint32_t>(std::strtoul(subKey.c_str(), nullptr, 16)));
    }
    void userKey(const std::string& name, std::vector<Value> values) {
        nodes_[std::string("U") + kUserPrefix + upper(name)].values = std::move(values);
    }
    void removeLayoutsKey() { nodes_.erase(layoutsNode_); }

    RegistryKey openKey(RegistryRoot root, const char* path) override {
        std::string name = upper(path);
        if (root == RegistryRoot::user && name.rfind(kUserPrefix, 0) == 0)
            userKeysOpened.push_back(path + std::strlen(kUserPrefix));
        return open(std::string(root == RegistryRoot::machine ? "M" : "U") + name);
    }
    RegistryKey openSubKey(RegistryKey parent, const char* name) override {
        return open(node(parent).first + "\\" + upper(name));
    }
    void closeKey(RegistryKey key) override {
        auto at = std::find(openKeys_.begin(), openKeys_.end(), key);
        if (at == openKeys_.end())
            ADD_FAILURE() << "closing a key that is not open";
        else
            openKeys_.erase(at);
    }
    bool subKeyName(RegistryKey key, uint32_t index, char (&name)[kRegistryNameSize]) override {
        const auto& subKeys = node(key).second.subKeys;
        if (index >= subKeys.size() || subKeys[index].size() >= kRegistryNameSize)
            return false;
        std::strcpy(name, subKeys[index].c_str());
        return true;
    }
    bool value(RegistryKey key, uint32_t index, RegistryValue& value) override {
        const auto& values = node(key).second.values;
        if (index >= values.size() || values[index].name.size() >= kRegistryNameSize ||
            values[index].data.size() >= kRegistryDataSize)
            return false;
        std::strcpy(value.name, values[index].name.c_str());
        std::strcpy(value.data, values[index].data.c_str());
        return true;
    }
    int loadedLayouts(uint32_t* ids, int capacity) override {
        const int count = std::min(static_cast<int>(loadedIds.size()), capacity);
        std::copy_n(loadedIds.begin(), count, ids);
        return count;
    }

    size_t keysLeftOpen() const { return openKeys_.size(); }

    std::vector<uint32_t> loadedIds;
    std::vector<std::string> userKeysOpened; // the part after CurrentVersion, as asked for

  private:
    struct Node {
        std::vector<std::string> subKeys;
        std::vector<Value> values;
    };
    using Entry = std::map<std::string, Node>::value_type;

    RegistryKey open(const std::string& path) {
        auto found = nodes_.find(path);
        if (found == nodes_.end())
            return nullptr;
        auto key = reinterpret_cast<RegistryKey>(&*found);
        openKeys_.push_back(key);
        return key;
    }
    Entry& node(RegistryKey key) {
        EXPECT_NE(std::find(openKeys_.begin(), openKeys_.end(), key), openKeys_.end())
            << "reading a key that is not open";
        return *reinterpret_cast<Entry*>(key);
    }

    const std::string layoutsNode_ = std::string("M") + kLayoutsPath;
    std::map<std::string, Node> nodes_;
    std::vector<RegistryKey> openKeys_;
};

// An input method as the layouts key registers it.
std::vector<Value> imeValues(const char* imeFile, const char* layoutText) {
    return {{"Layout File", "KBDUS.DLL"}, {"IME file", imeFile}, {"layout text", layoutText}};
}

std::vector<Value> userDictionary(const std::string& path) {
    return {{"User Dictionary", path}};
}

class DiscoveryTest : public RadicalStoreTest {
  protected:
    void SetUp() override {
        RadicalStoreTest::SetUp();
        // What an earlier run would have left, which discovery must not keep.
        appState.annotatableImeCount = 7;
        std::fill(std::begin(appState.annotate), std::end(appState.annotate), 1);
    }

    void discover(FakeRegistry& registry) {
        discoverInputMethods(registry);
        EXPECT_EQ(registry.keysLeftOpen(), 0u);
        EXPECT_TRUE(std::all_of(std::begin(appState.annotate), std::end(appState.annotate),
                                [](int flag) { return flag == 0; }));
    }

    // layoutId layoutKey imeFile layoutText dictionaryPath
    static std::string fields(const ImeRecord& r) {
        char id[16];
        std::snprintf(id, sizeof id, "%08X", static_cast<unsigned>(r.layoutId));
        return std::string(id) + " " + r.layoutKey + " " + r.imeFile + " " + r.layoutText + " " +
               r.dictionaryPath;
    }

    static std::vector<std::string> keptLayoutKeys() {
        std::vector<std::string> keys;
        for (int i = 0; i < appState.annotatableImeCount; ++i)
            keys.push_back(appState.imeTable[i].layoutKey);
        return keys;
    }

    // The display names in the loader's warnings, in the order shown.
    static std::vector<std::string> warnedFor() {
        std::vector<std::string> names;
        for (const ShownWarning& w : shown()) {
            for (const char* name : {kPhonetic, kCangjie, kQuick, "Other"}) {
                if (w.text.find(name) != std::string::npos)
                    names.push_back(name);
            }
        }
        return names;
    }

    const std::string missing = missingFilePath();
};

TEST_F(DiscoveryTest, KeepsPhoneticAndCangjieInTheOrderFoundAndLoadsEveryDictionary) {
    DictionaryWriter quickEntries(kQuickLayoutId);
    quickEntries.add(0xFA40, {8, 12});
    const TempFile quickFile(quickEntries.bytes());

    FakeRegistry registry;
    registry.layout("00000404", {{"Layout File", "KBDUS.DLL"}});
    registry.loadedIds.push_back(0x04040404);
    registry.layout("E0030404", imeValues("QUICK.IME", kQuick));
    registry.userKey("QUICK", userDictionary(quickFile.path()));
    registry.layout("E0020404", imeValues("CHAJEI.IME", kCangjie));
    registry.userKey("CHAJEI", userDictionary(missing + "c"));
    registry.layout("E0040404", imeValues("OTHER.IME", "Other"));
    registry.userKey("OTHER", userDictionary(missing + "o"));
    registry.layout("E0010404", imeValues("PHON.IME", kPhonetic));
    registry.userKey("PHON", {{"Eudc Dictionary", missing + "p"}});
    discover(registry);

    ASSERT_EQ(appState.annotatableImeCount, 2);
    EXPECT_EQ(fields(appState.imeTable[0]),
              "E0020404 E0020404 CHAJEI " + std::string(kCangjie) + " " + missing + "c");
    EXPECT_EQ(fields(appState.imeTable[1]),
              "E0010404 E0010404 PHON " + std::string(kPhonetic) + " " + missing + "p");
    EXPECT_EQ(appState.imeTable[2].layoutId, 0u) << "records past the kept ones are emptied";

    // Quick is read though it cannot annotate; every other layout is opened.
    EXPECT_EQ(quick(0), "\xA6\xCB\xA4\xA4\xA1\x40\xA1\x40\xA1\x40"); // 竹中　　　
    EXPECT_EQ(warnedFor(), (std::vector<std::string>{kCangjie, "Other", kPhonetic}));
}

struct SubkeyCase {
    const char* what;
    std::vector<std::pair<std::string, const char*>> layouts; // subkey, "IME file"
    std::vector<uint32_t> loaded;
    std::vector<std::string> userKeys;
};

TEST_F(DiscoveryTest, WhichSubkeysAreInputMethodsAndWhereTheirDictionariesAre) {
    const SubkeyCase cases[] = {
        {"a digit first, even when it reads as a loaded handle",
         {{"404", "DIGIT.IME"}},
         {0x404},
         {}},
        {"registered, not loaded", {{"E0030404", "QUICK.IME"}}, {0xE0010404}, {}},
        {"lower-case subkey", {{"e0010404", "phon.ime"}}, {0xE0010404}, {"PHON"}},
        {"subkey order, not load order",
         {{"E0020404", "CHAJEI.IME"}, {"E0010404", "PHON.IME"}},
         {0xE0010404, 0xE0020404},
         {"CHAJEI", "PHON"}},
        {"WINIME in any case",
         {{"E0040404", "WinIme.Ime"}, {"E0010404", "PHON.IME"}},
         {0xE0040404, 0xE0010404},
         {"PHON"}},
        {"two dots", {{"E0010404", "Phon.ime.old"}}, {0xE0010404}, {"PHON"}},
        {"no dot", {{"E0010404", "Chajei"}}, {0xE0010404}, {"CHAJEI"}},
        // 字 ends in the byte of 'r', which is no letter here.
        {"Big5 in the name", {{"E0010404", "\xA6\x72x.ime"}}, {0xE0010404}, {"\xA6\x72X"}},
    };
    for (const SubkeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRegistry registry;
        for (const auto& [subKey, imeFile] : c.layouts)
            registry.layout(subKey, imeValues(imeFile, kPhonetic), false);
        registry.loadedIds = c.loaded;
        discover(registry);
        EXPECT_EQ(registry.userKeysOpened, c.userKeys);
    }
}

TEST_F(DiscoveryTest, AValueTooLargeHidesTheValuesAfterIt) {
    const Value tooLarge[] = {{std::string(kRegistryNameSize, 'N'), "x"},
                              {"Big", std::string(kRegistryDataSize, 'D')}};
    for (const Value& large : tooLarge) {
        SCOPED_TRACE(large.name.substr(0, 3));
        FakeRegistry registry;
        registry.layout("E0010404", {{"IME file", "PHON.IME"}, large, {"layout text", kPhonetic}});
        registry.userKey("PHON", {{"User Dictionary", missing}, large});
        registry.layout("E0020404", imeValues("CHAJEI.IME", kCangjie));
        registry.userKey("CHAJEI", {large, {"User Dictionary", missing}});
        discover(registry);
        ASSERT_EQ(keptLayoutKeys(), std::vector<std::string>{"E0010404"});
        EXPECT_STREQ(appState.imeTable[0].imeFile, "PHON");
        EXPECT_STREQ(appState.imeTable[0].layoutText, "");
    }
}

struct DictionaryCase {
    const char* what;
    std::vector<Value> values; // of the per-user key; none: no such key
    const char* path;          // empty: not annotatable
};

TEST_F(DiscoveryTest, TheFirstDictionaryValueIsLoadedAndMakesPhoneticAnnotatable) {
    const DictionaryCase cases[] = {
        {"User Dictionary", {{"User Dictionary", "u"}}, "u"},
        {"either name, any case", {{"Other", "o"}, {"eudc DICTIONARY", "e"}}, "e"},
        {"the first of both", {{"Eudc Dictionary", "e"}, {"User Dictionary", "u"}}, "e"},
        {"neither", {{"Dictionary", "d"}}, ""},
        {"no per-user key", {}, ""},
    };
    for (const DictionaryCase& c : cases) {
        SCOPED_TRACE(c.what);
        shown().clear();
        FakeRegistry registry;
        registry.layout("E0010404", imeValues("PHON.IME", kPhonetic));
        std::vector<Value> values = c.values;
        for (Value& v : values)
            v.data = missing + v.data;
        if (!values.empty())
            registry.userKey("PHON", values);
        discover(registry);
        const bool annotatable = *c.path != '\0';
        ASSERT_EQ(appState.annotatableImeCount, annotatable ? 1 : 0);
        EXPECT_EQ(shown().size(), annotatable ? 1u : 0u) << "one load per dictionary found";
        EXPECT_EQ(appState.imeTable[0].dictionaryPath, annotatable ? missing + c.path : "");
    }
}

TEST_F(DiscoveryTest, StopsWhenTheTableIsFull) {
    FakeRegistry registry;
    // Discarded, so its record goes to the next one.
    registry.layout("E0100404", imeValues("WINIME.IME", "Other"));
    // Counted, though nothing can be read of it.
    registry.layout("E0110404", {}, true, false);
    for (uint32_t i = 0; i < kMaxImes - 2; ++i) {
        char subKey[16];
        std::snprintf(subKey, sizeof subKey, "%X", 0xE0120404u + (i << 16));
        registry.layout(subKey, imeValues("FILLER.IME", "Other"));
    }
    registry.layout("E0010404", imeValues("PHON.IME", kPhonetic)); // the 32nd
    registry.userKey("PHON", userDictionary(missing));
    registry.layout("E0020404", imeValues("CHAJEI.IME", kCangjie)); // one too many
    registry.userKey("CHAJEI", userDictionary(missing));
    discover(registry);
    EXPECT_EQ(keptLayoutKeys(), std::vector<std::string>{"E0010404"});
    EXPECT_EQ(std::count(registry.userKeysOpened.begin(), registry.userKeysOpened.end(), "CHAJEI"),
              0);
}

TEST_F(DiscoveryTest, NoKeyboardLayoutsKeyFindsNothing) {
    FakeRegistry registry;
    registry.layout("E0010404", imeValues("PHON.IME", kPhonetic));
    registry.userKey("PHON", userDictionary(missing));
    registry.removeLayoutsKey();
    discover(registry);
    EXPECT_EQ(appState.annotatableImeCount, 0);
    EXPECT_TRUE(shown().empty());
}

} // namespace
} // namespace kestra::testing
