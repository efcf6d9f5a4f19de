#include "table/fonts/font_files.h"

#include <fontconfig/fontconfig.h>
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H
#include <sys/mman.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "table/text/big5_text.h"
#include "table/fonts/glyph_index.h"

namespace kestra {
namespace {

constexpr FT_ULong kFirstPuaCodePoint = 0xE000;
constexpr FT_ULong kLastPuaCodePoint = 0xF8FF;
// Past the last user-defined code's character, U+F848.
constexpr FT_ULong kFirstPuaCodePointPastCodes = 0xE000 + kEudcCodeCount;
constexpr FT_ULong kFirstSupplementaryPuaCodePoint = 0xF0000;
constexpr FT_Int32 kOutlineLoad = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING;
// Far beyond any real EUDC font (6400 glyphs): a pipe that gives more is no
// font, and is not read into memory without end.
constexpr size_t kLargestPipedFont = 256u << 20;

// The hexadecimal digits of the codes, and 內, 碼 and 頁 of the code heading
// and the page number: a family without the one or the other prints blank
// labels (a Chinese font may have no Latin letters, a Latin one no Chinese).
constexpr FcChar32 kLabelProbes[] = {'0', '1', '2', '3', '4', '5', '6',    '7',    '8',   '9',
                                     'A', 'B', 'C', 'D', 'E', 'F', 0x5167, 0x78BC, 0x9801};

// Big-endian UTF-16, as the name table holds it; a lone surrogate is dropped.
std::string utf8OfUtf16(const FT_Byte* text, FT_UInt length) {
    std::string utf8;
    for (FT_UInt i = 0; i + 1 < length; i += 2) {
        char32_t unit = static_cast<char32_t>((text[i] << 8) | text[i + 1]);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < length) {
            const char32_t low = static_cast<char32_t>((text[i + 2] << 8) | text[i + 3]);
            if (low < 0xDC00 || low >= 0xE000)
                continue;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            continue;
        }
        appendUtf8(utf8, unit);
    }
    return utf8;
}

// A loaded glyph with something to draw.
bool isOutlineDrawn(FT_GlyphSlot slot) {
    return slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_contours > 0;
}

bool isOrdinaryCharacter(FT_ULong character) {
    const bool control = character <= 0x20 || (character >= 0x7F && character <= 0xA0);
    const bool privateUse = (character >= kFirstPuaCodePoint && character <= kLastPuaCodePoint) ||
                            character >= kFirstSupplementaryPuaCodePoint;
    return !control && !privateUse;
}

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

struct CharSetDeleter {
    void operator()(FcCharSet* characters) const { FcCharSetDestroy(characters); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* objects) const { FcObjectSetDestroy(objects); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* fonts) const { FcFontSetDestroy(fonts); }
};

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

// As fontconfig compares family names: without case or blanks.
std::string withoutBlanks(const char* name) {
    std::string kept;
    for (; *name != '\0'; ++name) {
        if (*name != ' ')
            kept += *name;
    }
    return kept;
}

bool isOfFamily(FcPattern* match, const std::string& family) {
    const std::string wanted = withoutBlanks(family.c_str());
    FcChar8* name = nullptr;
    for (int n = 0; FcPatternGetString(match, FC_FAMILY, n, &name) == FcResultMatch; ++n) {
        const std::string candidate = withoutBlanks(reinterpret_cast<const char*>(name));
        if (FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(candidate.c_str()),
                               reinterpret_cast<const FcChar8*>(wanted.c_str())) == 0)
            return true;
    }
    return false;
}

bool anyFontHasLabelCharacters() {
    std::unique_ptr<FcCharSet, CharSetDeleter> characters(FcCharSetCreate());
    Pattern pattern(FcPatternCreate());
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(FcObjectSetBuild(FC_FILE, nullptr));
    if (!characters || !pattern || !objects)
        return false;
    for (FcChar32 probe : kLabelProbes)
        FcCharSetAddChar(characters.get(), probe);
    FcPatternAddCharSet(pattern.get(), FC_CHARSET, characters.get());
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(
        FcFontList(nullptr, pattern.get(), objects.get()));
    return fonts && fonts->nfont > 0;
}

LabelFontProblem missingLabelFont(LabelFontProblem problem) {
    return anyFontHasLabelCharacters() ? problem : LabelFontProblem::NoChineseFont;
}

} // namespace

MappedFile::~MappedFile() {
    unmap();
}

MappedFile::MappedFile(MappedFile&& other) noexcept {
    *this = std::move(other);
}

// A vector's buffer stays where it is when the vector is moved.
MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        unmap();
        data_ = other.data_;
        size_ = other.size_;
        read_ = std::move(other.read_);
        other.data_ = nullptr;
        other.size_ = 0;
        other.read_.clear();
    }
    return *this;
}

void MappedFile::unmap() {
    if (data_ != nullptr && read_.empty())
        munmap(data_, size_);
    read_ = std::vector<unsigned char>();
    data_ = nullptr;
    size_ = 0;
}

bool MappedFile::map(const std::string& path) {
    unmap();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool mapped = fstat(fd, &info) == 0;
    if (mapped && S_ISDIR(info.st_mode)) {
        mapped = false;
        errno = EISDIR;
    } else if (mapped && !S_ISREG(info.st_mode)) {
        mapped = readWhole(fd);
    } else if (mapped && info.st_size > 0) {
        void* bytes =
            mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        mapped = bytes != MAP_FAILED;
        if (mapped) {
            data_ = static_cast<unsigned char*>(bytes);
            size_ = static_cast<size_t>(info.st_size);
        }
    }
    const int error = errno;
    close(fd);
    errno = error;
    return mapped;
}

bool MappedFile::readWhole(int fd) {
    constexpr size_t kChunk = 1u << 16;
    size_t length = 0;
    for (;;) {
        if (length == kLargestPipedFont) {
            read_.clear();
            errno = EFBIG;
            return false;
        }
        read_.resize(std::min(length + kChunk, kLargestPipedFont));
        const ssize_t got = ::read(fd, read_.data() + length, read_.size() - length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            read_.clear();
            return false;
        }
        if (got == 0)
            break;
        length += static_cast<size_t>(got);
    }
    read_.resize(length);
    read_.shrink_to_fit();
    data_ = read_.empty() ? nullptr : read_.data();
    size_ = length;
    return true;
}

FT_Face openFace(FT_Library library, const MappedFile& file, int index) {
    FT_Face face = nullptr;
    if (library == nullptr || file.size() == 0 ||
        FT_New_Memory_Face(library, file.data(), static_cast<FT_Long>(file.size()), index, &face) !=
            0)
        return nullptr;
    return face;
}

std::string familyNameOf(FT_Face face) {
    // Windows' Unicode names: Traditional Chinese first, then English.
    constexpr FT_UShort kChineseTaiwan = 0x0404;
    constexpr FT_UShort kEnglishUs = 0x0409;
    const FT_UInt count = face != nullptr ? FT_Get_Sfnt_Name_Count(face) : 0;
    std::string best;
    int bestRank = 0;
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != TT_NAME_ID_FONT_FAMILY ||
            name.platform_id != TT_PLATFORM_MICROSOFT ||
            (name.encoding_id != TT_MS_ID_UNICODE_CS && name.encoding_id != TT_MS_ID_UCS_4))
            continue;
        const int rank = name.language_id == kChineseTaiwan ? 3
                         : name.language_id == kEnglishUs   ? 2
                                                            : 1;
        if (rank > bestRank) {
            bestRank = rank;
            best = utf8OfUtf16(name.string, name.string_len);
        }
    }
    return best;
}

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

FontFile::Opened FontFile::open(FT_Library library, const std::string& fontPath, int faceIndex) {
    path = fontPath;
    index = faceIndex;
    face = FontFace();
    if (!file.map(fontPath))
        return Opened::Unreadable;
    face = FontFace(openFace(library, file, faceIndex));
    return face.get() != nullptr ? Opened::Yes : Opened::NotAFont;
}

bool EudcFont::open(FT_Library library, const std::string& path, int faceIndex) {
    lostCodes_.clear();
    if (!file_.map(path))
        return fail(FontProblem::Unreadable, std::strerror(errno));
    if (!chooseFace(library, faceIndex))
        return false;
    if (!mapPuaCodes())
        return fail(FontProblem::NoPuaMapping);
    if (!checkOutlines())
        return false;
    countOrdinaryCharacters();
    countGlyphsPastLastCode();
    problem_ = FontProblem::None;
    return true;
}

// The first face tells how many the file holds.
bool EudcFont::chooseFace(FT_Library library, int faceIndex) {
    face_ = FontFace(openFace(library, file_, 0));
    if (face_.get() == nullptr)
        return fail(FontProblem::NotAFont);
    faceCount_ = face_.get()->num_faces;
    faceIndex_ = faceIndex;
    if (faceIndex < 0 || faceIndex >= faceCount_)
        return fail(FontProblem::NoSuchFace);
    if (faceIndex > 0)
        face_ = FontFace(openFace(library, file_, faceIndex));
    return face_.get() != nullptr || fail(FontProblem::NotAFont);
}

bool EudcFont::mapPuaCodes() {
    glyphByPuaIndex_.assign(kEudcCodeCount, 0);
    bool anyMapped = false;
    if (FT_Select_Charmap(face_.get(), FT_ENCODING_UNICODE) == 0) {
        for (FT_ULong i = 0; i < kEudcCodeCount; ++i) {
            glyphByPuaIndex_[i] = FT_Get_Char_Index(face_.get(), kFirstPuaCodePoint + i);
            anyMapped = anyMapped || glyphByPuaIndex_[i] != 0;
        }
    }
    return anyMapped;
}

// A glyph with an outline in the file that cannot be read is a damaged or
// cut file, not a character never made: drawn, it would be an empty box. The
// glyphs read are kept in mind as defined or not, so that no one has to
// read them again.
bool EudcFont::checkOutlines() {
    const GlyphIndex index = GlyphIndex::read(file_.data(), file_.size(), faceIndex_);
    std::vector<uint16_t> pastEnd;
    std::vector<uint16_t> unreadable;
    definedByPuaIndex_.assign(kEudcCodeCount, false);
    for (uint16_t i = 0; i < kEudcCodeCount; ++i) {
        const FT_UInt glyph = glyphByPuaIndex_[i];
        const GlyphData data = glyph == 0 ? GlyphData::None : index.dataOf(glyph);
        if (data == GlyphData::PastEnd)
            pastEnd.push_back(puaIndexToCode(i));
        else if (data != GlyphData::None && FT_Load_Glyph(face_.get(), glyph, kOutlineLoad) != 0)
            unreadable.push_back(puaIndexToCode(i));
        else if (data != GlyphData::None)
            definedByPuaIndex_[i] = isOutlineDrawn(face_.get()->glyph);
    }
    if (!pastEnd.empty()) {
        lostCodes_ = std::move(pastEnd);
        return fail(FontProblem::Truncated);
    }
    lostCodes_ = std::move(unreadable);
    return lostCodes_.empty() || fail(FontProblem::Damaged);
}

bool EudcFont::hasOutline(FT_UInt glyph) const {
    return glyph != 0 && FT_Load_Glyph(face_.get(), glyph, kOutlineLoad) == 0 &&
           isOutlineDrawn(face_.get()->glyph);
}

void EudcFont::countGlyphsPastLastCode() {
    glyphsPastLastCode_ = 0;
    for (FT_ULong c = kFirstPuaCodePointPastCodes; c <= kLastPuaCodePoint; ++c) {
        if (hasOutline(FT_Get_Char_Index(face_.get(), c)))
            ++glyphsPastLastCode_;
    }
}

void EudcFont::countOrdinaryCharacters() {
    ordinaryCharacterCount_ = 0;
    firstOrdinaryCharacter_ = 0;
    FT_UInt glyph = 0;
    for (FT_ULong c = FT_Get_First_Char(face_.get(), &glyph); glyph != 0;
         c = FT_Get_Next_Char(face_.get(), c, &glyph)) {
        if (!isOrdinaryCharacter(c))
            continue;
        if (ordinaryCharacterCount_++ == 0)
            firstOrdinaryCharacter_ = static_cast<char32_t>(c);
    }
}

FT_UInt EudcFont::glyphOfCode(uint16_t code) const {
    const uint16_t index = codeToPuaIndex(code);
    return index < glyphByPuaIndex_.size() ? glyphByPuaIndex_[index] : 0;
}

bool EudcFont::definesCode(uint16_t code) const {
    const uint16_t index = codeToPuaIndex(code);
    return index < definedByPuaIndex_.size() && definedByPuaIndex_[index];
}

void EudcFont::close() {
    face_ = FontFace();
    file_ = MappedFile();
    glyphByPuaIndex_.clear();
    definedByPuaIndex_.clear();
}

bool EudcFont::fail(FontProblem problem, std::string reason) {
    close();
    problem_ = problem;
    reason_ = std::move(reason);
    return false;
}

FontconfigSession::~FontconfigSession() {
    FcFini();
}

LabelFont findLabelFont(const std::string& family) {
    Pattern pattern(FcPatternCreate());
    if (!pattern)
        return {missingLabelFont(LabelFontProblem::NoSuchFamily), {}};
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || !isOfFamily(match.get(), family))
        return {missingLabelFont(LabelFontProblem::NoSuchFamily), {}};
    FcChar8* file = nullptr;
    if (!hasLabelCharacters(match.get()) ||
        FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
        return {missingLabelFont(LabelFontProblem::NoChineseCharacters), {}};
    int index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return {LabelFontProblem::None, {reinterpret_cast<const char*>(file), index}};
}

// fontconfig offers its best font for any pattern: only one whose characters
// hold this one counts.
FontLocation findFontWith(char32_t character) {
    Pattern pattern(FcPatternCreate());
    std::unique_ptr<FcCharSet, CharSetDeleter> characters(FcCharSetCreate());
    if (!pattern || !characters)
        return {};
    FcCharSetAddChar(characters.get(), character);
    FcPatternAddCharSet(pattern.get(), FC_CHARSET, characters.get());
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    FcCharSet* offered = nullptr;
    FcChar8* file = nullptr;
    if (!match || FcPatternGetCharSet(match.get(), FC_CHARSET, 0, &offered) != FcResultMatch ||
        !FcCharSetHasChar(offered, character) ||
        FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
        return {};
    int index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return {reinterpret_cast<const char*>(file), index};
}

} // namespace kestra
