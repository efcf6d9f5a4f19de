// The matcher on a few glyphs copied from AR PL UMing into an EUDC font,
// against a few characters of TW-Sung (make_test_fonts.py), and the index
// cache's refusals.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "match/compatibility_ideographs.h"
#include "match/index_cache.h"
#include "match/standard_code_points.h"

namespace kestra::match {
namespace {

namespace fs = std::filesystem;

const std::string kFonts = KESTRA_MATCH_FONT_DIR;

std::vector<std::string> referenceFiles() {
    return {kFonts + "/REFS.TTF", kFonts + "/REFS-B.TTF"};
}

const ReferenceIndex& testIndex() {
    static const ReferenceIndex index = ReferenceIndex::build(referenceFiles(), {});
    return index;
}

class QueryFont {
  public:
    QueryFont() {
        FT_Init_FreeType(&library_);
        FT_New_Face(library_, (kFonts + "/QUERY.TTE").c_str(), 0, &face_);
    }
    ~QueryFont() {
        if (face_ != nullptr)
            FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    Suggestion suggest(char32_t code, const ReferenceIndex& index) {
        Features features;
        if (face_ == nullptr ||
            !extractor_.features(face_, FT_Get_Char_Index(face_, code), features))
            return {0, -1, -1};
        return index.suggest(features);
    }

  private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    GlyphFeatures extractor_;
};

TEST(Matcher, SuggestsTheCharacterOfTheSameShapeOrNone) {
    struct Case {
        char32_t query;
        char32_t expected; // 0: no suggestion
        const char* what;
    };
    const Case cases[] = {
        {0xE000, 0x6728, "木 beside 本 and 未"},
        {0xE001, 0x672C, "本"},
        {0xE002, 0x672A, "未, not 末"},
        {0xE003, 0x672B, "末, not 未"},
        {0xE004, 0x571F, "土, not 士"},
        {0xE005, 0x58EB, "士, not 土"},
        {0xE006, 0x5DF1, "己, not 已 or 巳"},
        {0xE007, 0x5DF2, "已"},
        {0xE008, 0x65E5, "日, not 曰"},
        {0xE009, 0x66F0, "曰"},
        {0xE00A, 0x9451, "鑑, many strokes"},
        {0xE00B, 0x3401, "Extension A"},
        {0xE00C, 0x20021, "Extension B, from a second reference file"},
        {0xE00D, 0x8C48, "豈 copied from U+F900, found under U+F900: its unified U+8C48"},
        {0xE00E, 0, "鑑 mirrored"},
        {0xE00F, 0, "朝 mirrored"},
    };
    QueryFont font;
    for (const Case& c : cases) {
        const Suggestion s = font.suggest(c.query, testIndex());
        EXPECT_EQ(s.code, c.expected) << c.what;
        if (c.expected != 0) {
            EXPECT_GE(s.similarity, ReferenceIndex::kLeastSimilarity) << c.what;
            EXPECT_LE(s.similarity, 1.0f) << c.what;
            ASSERT_GE(s.face, 0) << c.what;
            EXPECT_EQ(testIndex().faces()[s.face].path, referenceFiles()[c.expected > 0xFFFF])
                << c.what;
        }
    }
}

TEST(Matcher, AnswersOnlyStandardIdeographsAndUnifiedCounterparts) {
    const std::pair<char32_t, char32_t> cases[] = {
        {0x4E00, 0x4E00}, {0x3400, 0x3400},  {0x31350, 0x31350}, // Unified, Ext A, Ext H
        {0xF900, 0x8C48}, {0x2F800, 0x4E3D},                     // compatibility ideographs
        {0xFA0E, 0xFA0E}, {0x3007, 0x3007},                      // unified in that block; 〇
        {0xE000, 0},      {0xF0000, 0},                          // private use
        {0x2F00, 0},      {0x2E80, 0},       {0x31C0, 0},        {0x41, 0}, // radicals, strokes
    };
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(standardCharacterOf(code), expected) << std::hex << static_cast<unsigned>(code);
    EXPECT_EQ(unifiedCounterpart(0xFA2D), 0x9DB4u);
    EXPECT_EQ(unifiedCounterpart(0x2FA1D), 0x2A600u); // the last of the table
}

TEST(Matcher, CachePathFollowsTheXdgRules) {
    const char* savedCache = std::getenv("XDG_CACHE_HOME");
    const std::string cache = savedCache ? savedCache : "";
    setenv("HOME", "/home/user", 1);
    setenv("XDG_CACHE_HOME", "/var/cache/user", 1);
    EXPECT_EQ(indexCachePath(), "/var/cache/user/kestra/reference-index");
    setenv("XDG_CACHE_HOME", "relative", 1);
    EXPECT_EQ(indexCachePath(), "/home/user/.cache/kestra/reference-index");
    unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(indexCachePath(), "/home/user/.cache/kestra/reference-index");
    if (savedCache != nullptr)
        setenv("XDG_CACHE_HOME", cache.c_str(), 1);
}

class CacheTest : public ::testing::Test {
  public:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("kestra-match-test-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        for (const std::string& file : referenceFiles())
            fs::copy_file(file, folder_ / fs::path(file).filename());
        fonts_ = {(folder_ / "REFS.TTF").string(), (folder_ / "REFS-B.TTF").string()};
        cache_ = (folder_ / "cache" / "reference-index").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    static void patch(const std::string& path, size_t offset, const std::string& bytes) {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(offset));
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static void flipByte(const std::string& path, size_t offset) {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(static_cast<std::streamoff>(offset));
        const char byte = static_cast<char>(file.get() ^ 0x40);
        file.seekp(static_cast<std::streamoff>(offset));
        file.put(byte);
    }

    fs::path folder_;
    std::vector<std::string> fonts_;
    std::string cache_;
};

TEST_F(CacheTest, UsesOnlyAWholeCurrentIndexOfTheSameFonts) {
    struct Case {
        const char* what;
        std::function<void(CacheTest&)> spoil;
        bool used;
    };
    const auto size = [](const std::string& path) {
        return static_cast<size_t>(fs::file_size(path));
    };
    const Case cases[] = {
        {"as written", [](CacheTest&) {}, true},
        {"truncated", [&](CacheTest& t) { fs::resize_file(t.cache_, size(t.cache_) - 1); }, false},
        {"one byte longer", [](CacheTest& t) { std::ofstream(t.cache_, std::ios::app) << 'x'; },
         false},
        {"damaged inside", [&](CacheTest& t) { flipByte(t.cache_, size(t.cache_) - 100); }, false},
        {"another format", [](CacheTest& t) { patch(t.cache_, 0, "NOTKESTR"); }, false},
        {"another version", [](CacheTest& t) { patch(t.cache_, 8, std::string("\x63\0\0\0", 4)); },
         false},
        {"other byte order", [](CacheTest& t) { patch(t.cache_, 12, "\x01\x02\x03\x04"); }, false},
        {"a font grown", [](CacheTest& t) { std::ofstream(t.fonts_[1], std::ios::app) << 'x'; },
         false},
        {"a font replaced, same size and time",
         [](CacheTest& t) {
             const auto time = fs::last_write_time(t.fonts_[0]);
             fs::copy_file(t.fonts_[0], t.fonts_[0] + ".new");
             fs::rename(t.fonts_[0] + ".new", t.fonts_[0]);
             fs::last_write_time(t.fonts_[0], time);
         },
         false},
        {"a font edited in place, time put back",
         [&](CacheTest& t) {
             const auto time = fs::last_write_time(t.fonts_[0]);
             // An outline byte within the head the cache fingerprints.
             flipByte(t.fonts_[0], 32 * 1024);
             fs::last_write_time(t.fonts_[0], time);
         },
         false},
        {"fonts in another order", [](CacheTest& t) { std::swap(t.fonts_[0], t.fonts_[1]); },
         false},
    };
    for (const Case& c : cases) {
        SetUp();
        ASSERT_TRUE(saveIndex(ReferenceIndex::build(fonts_, {}), fonts_, cache_)) << c.what;
        // Written under another name and renamed: nothing else is left behind.
        EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(cache_).parent_path()),
                                fs::directory_iterator()),
                  1)
            << c.what;
        c.spoil(*this);
        ReferenceIndex loaded;
        EXPECT_EQ(loadIndex(cache_, fonts_, loaded), c.used) << c.what;
        // Whatever the cache held, a run gets a whole index and leaves a current cache.
        const CachedIndex again = loadOrBuildIndex(fonts_, cache_, {});
        EXPECT_EQ(again.use, c.used ? CacheUse::Loaded : CacheUse::Written) << c.what;
        EXPECT_EQ(again.index.size(), testIndex().size()) << c.what;
        EXPECT_TRUE(loadIndex(cache_, fonts_, loaded)) << c.what;
    }
}

TEST_F(CacheTest, BuildsInMemoryWhenTheCacheCannotBeWritten) {
    std::ofstream(folder_ / "file") << "not a folder";
    const std::string unwritable = (folder_ / "file" / "kestra" / "reference-index").string();
    size_t calls = 0;
    const CachedIndex cached = loadOrBuildIndex(fonts_, unwritable, [&](size_t done, size_t total) {
        EXPECT_LE(done, total);
        ++calls;
    });
    EXPECT_EQ(cached.use, CacheUse::Unwritten);
    EXPECT_EQ(cached.index.size(), testIndex().size());
    EXPECT_GT(calls, 0u);
    // A missing reference file is named, and the others still serve.
    const std::string missing = (folder_ / "missing.ttf").string();
    const CachedIndex partial = loadOrBuildIndex({fonts_[0], missing}, "", {});
    EXPECT_EQ(partial.index.unreadFiles(), std::vector<std::string>{missing});
    EXPECT_GT(partial.index.size(), 0u);
}

} // namespace
} // namespace kestra::match
