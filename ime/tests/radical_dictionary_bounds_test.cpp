// Damaged dictionaries: the loader reads only bytes the file has. Each buffer
// here is exactly the file's size, so a read past it is caught by the
// sanitizer build.
#include "ime/radical_dictionary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "eudc/app_state.h"
#include "ime/tests/dictionary_writer.h"
#include "ime/tests/radical_store_fixture.h"
#include "ime/whole_file.h"

namespace kestra::testing {
namespace {

constexpr char kRiYue[] = "\xA4\xE9\xA4\xEB\xA1\x40\xA1\x40\xA1\x40"; // 日月　　　

// Copies into a block of exactly the given size, as the file would be read.
void loadExactly(const std::vector<unsigned char>& bytes, size_t size, uint32_t layoutId) {
    std::unique_ptr<unsigned char[]> block(new unsigned char[size == 0 ? 1 : size]);
    std::memcpy(block.get(), bytes.data(), size);
    loadRadicalEntries(block.get(), size, layoutId);
}

class DamagedDictionary : public RadicalStoreTest {};

TEST_F(DamagedDictionary, AFileShorterThanItsHeaderLoadsNothing) {
    DictionaryWriter d(kCangjieLayoutId);
    d.add(0xFA40, {1, 2});
    const std::vector<unsigned char> bytes = d.bytes();
    for (size_t size : {0, 1, 12, 15, 16, 100, 257, 258, 266}) {
        SCOPED_TRACE(size);
        std::memset(appState.cangjieRoots[0], 'x', 10);
        loadExactly(bytes, size, kCangjieLayoutId);
        EXPECT_EQ(cangjie(0), "");
    }
}

TEST_F(DamagedDictionary, ACountBeyondTheFileLoadsTheCompleteEntries) {
    for (int32_t count : {4, 1000, INT32_MAX}) {
        SCOPED_TRACE(count);
        DictionaryWriter d(kCangjieLayoutId);
        d.add(0xFA40, {1, 2}).add(0xFA41, {1, 2}).add(0xFA42, {1, 2});
        d.appendRaw({0x43, 0xFA, 1, 2}).announce(count); // the start of a fourth entry
        const std::vector<unsigned char> bytes = d.bytes();
        loadExactly(bytes, bytes.size(), kCangjieLayoutId);
        EXPECT_EQ(cangjie(2), kRiYue);
        EXPECT_EQ(cangjie(3), "");
    }
}

TEST(DictionaryShape, TheSizeTellsALayoutsEntriesFromTheOthers) {
    DictionaryWriter phonetic(kPhoneticLayoutId);
    DictionaryWriter cangjie(kCangjieLayoutId);
    phonetic.add(0xE000, {1}).add(0xE001, {1}).add(0xE002, {1}); // 258 + 3 x 8
    cangjie.add(0xE000, {1}).add(0xE001, {1}).add(0xE002, {1});  // 258 + 3 x 9
    const std::vector<unsigned char> p = phonetic.bytes();
    const std::vector<unsigned char> c = cangjie.bytes();
    std::vector<unsigned char> longer = p;
    longer.resize(p.size() + 4); // past 3 x 9 too: bytes after the entries
    const struct {
        const std::vector<unsigned char>& bytes;
        size_t size;
        uint32_t layoutId;
        DictionaryFit fit;
    } cases[] = {
        {p, p.size(), kPhoneticLayoutId, DictionaryFit::Fits},
        {p, p.size() - 1, kPhoneticLayoutId, DictionaryFit::CutShort},
        {p, p.size(), kCangjieLayoutId, DictionaryFit::OtherLayout},
        {longer, longer.size(), kPhoneticLayoutId, DictionaryFit::Fits},
        {c, c.size(), kPhoneticLayoutId, DictionaryFit::OtherLayout},
        {c, c.size() - 1, kPhoneticLayoutId, DictionaryFit::Fits}, // 3 x 8 and some more
        {c, 257, kCangjieLayoutId, DictionaryFit::NoHeader},
    };
    for (const auto& t : cases) {
        const std::vector<unsigned char> file(t.bytes.begin(), t.bytes.begin() + t.size);
        EXPECT_EQ(dictionaryShape(file.data(), file.size(), t.layoutId).fit, t.fit) << t.size;
    }
}

TEST_F(DamagedDictionary, AnEmptyFileOnDiskIsReadAndHoldsNothing) {
    std::memset(appState.quickRoots[0], 'x', 10);
    const TempFile empty({});
    loadRadicalDictionary(empty.path(), "Q", kQuickLayoutId);
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(quick(0), "");
}

TEST_F(DamagedDictionary, AFolderCannotBeReadAndWarns) {
    std::memset(appState.quickRoots[0], 'x', 10);
    const std::string folder = std::filesystem::temp_directory_path().string();
    loadRadicalDictionary(folder.c_str(), "Q", kQuickLayoutId);
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_EQ(quick(0), "xxxxxxxxxx");
}

TEST(WholeFile, ReadsEveryByteWithoutTranslation) {
    const std::vector<unsigned char> bytes = {'a', '\r', '\n', 0x1A, 0, 0xFF, '\n'};
    const TempFile file(bytes);
    const WholeFile whole = readWholeFile(file.path(), bytes.size());
    ASSERT_TRUE(whole.ok);
    ASSERT_EQ(whole.size, bytes.size());
    EXPECT_EQ(std::memcmp(whole.data.get(), bytes.data(), bytes.size()), 0);
}

TEST(WholeFile, AMissingFileIsNotOk) {
    EXPECT_FALSE(readWholeFile(missingFilePath().c_str(), 100).ok);
}

TEST(WholeFile, AFileLongerThanTheLimitIsNotOk) {
    const TempFile file(std::vector<unsigned char>(101, 'x'));
    EXPECT_FALSE(readWholeFile(file.path(), 100).ok);
    EXPECT_TRUE(readWholeFile(file.path(), 101).ok);
}

} // namespace
} // namespace kestra::testing
