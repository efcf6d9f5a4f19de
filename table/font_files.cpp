#include "table/font_files.h"

#include <fontconfig/fontconfig.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kestra {
namespace {

constexpr FT_ULong kFirstPuaCodePoint = 0xE000;

// 內, 碼 and 頁: the code heading and the page number need them.
constexpr FcChar32 kLabelProbes[] = {0x5167, 0x78BC, 0x9801};

// fopen gives the system's reason for a file that cannot be read, which
// FreeType's error codes do not.
std::string unreadableReason(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return std::strerror(errno);
    char byte;
    const bool readable = std::fread(&byte, 1, 1, file) == 1 || std::feof(file);
    const int error = errno;
    std::fclose(file);
    return readable ? std::string() : std::strerror(error);
}

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

bool hasLabelCharacters(FcPattern* match) {
    FcCharSet* characters = nullptr;
    if (FcPatternGetCharSet(match, FC_CHARSET, 0, &characters) != FcResultMatch)
        return false;
    for (FcChar32 probe : kLabelProbes) {
        if (!FcCharSetHasChar(characters, probe))
            return false;
    }
    return true;
}

} // namespace

FreeTypeLibrary::FreeTypeLibrary() {
    if (FT_Init_FreeType(&library_) != 0)
        library_ = nullptr;
}

FreeTypeLibrary::~FreeTypeLibrary() {
    if (library_ != nullptr)
        FT_Done_FreeType(library_);
}

FontFace::~FontFace() {
    if (face_ != nullptr)
        FT_Done_Face(face_);
}

FontFace& FontFace::operator=(FontFace&& other) noexcept {
    if (this != &other) {
        if (face_ != nullptr)
            FT_Done_Face(face_);
        face_ = other.face_;
        other.face_ = nullptr;
    }
    return *this;
}

bool EudcFont::open(FT_Library library, const std::string& path) {
    const std::string reason = unreadableReason(path);
    if (!reason.empty())
        return fail(FontProblem::Unreadable, reason);
    FT_Face face = nullptr;
    if (library == nullptr || FT_New_Face(library, path.c_str(), 0, &face) != 0)
        return fail(FontProblem::NotAFont);
    face_ = FontFace(face);
    glyphByPuaIndex_.assign(kEudcCodeCount, 0);
    bool anyMapped = false;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) {
        for (FT_ULong i = 0; i < kEudcCodeCount; ++i) {
            glyphByPuaIndex_[i] = FT_Get_Char_Index(face, kFirstPuaCodePoint + i);
            anyMapped = anyMapped || glyphByPuaIndex_[i] != 0;
        }
    }
    if (!anyMapped)
        return fail(FontProblem::NoPuaMapping);
    problem_ = FontProblem::None;
    return true;
}

FT_UInt EudcFont::glyphOfCode(uint16_t code) const {
    const uint16_t index = codeToPuaIndex(code);
    return index < glyphByPuaIndex_.size() ? glyphByPuaIndex_[index] : 0;
}

bool EudcFont::definesCode(uint16_t code) const {
    const FT_UInt glyph = glyphOfCode(code);
    if (glyph == 0 || FT_Load_Glyph(face_.get(), glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0)
        return false;
    const FT_GlyphSlot slot = face_.get()->glyph;
    return slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_contours > 0;
}

bool EudcFont::fail(FontProblem problem, std::string reason) {
    face_ = FontFace();
    glyphByPuaIndex_.clear();
    problem_ = problem;
    reason_ = std::move(reason);
    return false;
}

FontconfigSession::~FontconfigSession() {
    FcFini();
}

std::optional<FontLocation> findLabelFont(const std::string& family) {
    Pattern pattern(FcPatternCreate());
    if (!pattern)
        return std::nullopt;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || !hasLabelCharacters(match.get()))
        return std::nullopt;
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
        return std::nullopt;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return FontLocation{reinterpret_cast<const char*>(file), index};
}

} // namespace kestra
