// The fonts of a table: the user's EUDC font file, read through the mapping
// code page 950 has on Windows (a code's PUA index gives the character
// U+E000 + index), the face of the labels and the faces it falls back to,
// found through fontconfig.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>
#include <vector>

#include "eudc/code_space.h"

namespace kestra {

// A file's bytes, mapped read-only for the life of the object. FreeType
// draws from them and HarfBuzz subsets them, so a font is in memory once. A
// pipe (/dev/stdin, a shell's <(...)) cannot be mapped and is read whole.
class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // False, with errno set, when the file cannot be read. An empty file
    // maps to no bytes.
    bool map(const std::string& path);

    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

  private:
    void unmap();
    bool readWhole(int fd);

    unsigned char* data_ = nullptr;
    size_t size_ = 0;
    std::vector<unsigned char> read_; // the bytes of a file that was read, not mapped
};

// A face read from a font file's mapped bytes; index chooses the face of a
// collection. Null on failure.
FT_Face openFace(FT_Library library, const MappedFile& file, int index);

// The face's family name in UTF-8: the Traditional Chinese name where the
// font has one, else the English one; empty when it has neither.
std::string familyNameOf(FT_Face face);

class FreeTypeLibrary {
  public:
    FreeTypeLibrary();
    ~FreeTypeLibrary();
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

    FT_Library get() const { return library_; }

  private:
    FT_Library library_ = nullptr;
};

// One FreeType face, released with its owner.
class FontFace {
  public:
    FontFace() = default;
    explicit FontFace(FT_Face face) : face_(face) {}
    ~FontFace();
    FontFace(FontFace&& other) noexcept : face_(other.face_) { other.face_ = nullptr; }
    FontFace& operator=(FontFace&& other) noexcept;
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    FT_Face get() const { return face_; }

  private:
    FT_Face face_ = nullptr;
};

// A font file's face with the bytes it reads, let go together.
struct FontFile {
    std::string path;
    MappedFile file; // before the face, which reads it until its end
    FontFace face;
    int index = 0;

    // Face index of the file at path. Unreadable, with errno set, when the
    // file cannot be read; NotAFont when it holds no such face.
    enum class Opened { Yes, Unreadable, NotAFont };
    Opened open(FT_Library library, const std::string& fontPath, int faceIndex);

    void close() {
        face = FontFace();
        file = MappedFile();
    }
};

enum class FontProblem {
    None,
    Unreadable,
    NotAFont,
    NoSuchFace, // a face past the last of a collection
    NoPuaMapping,
    Truncated, // outlines the glyph index places past the end of the file
    Damaged,   // outlines in the file that FreeType cannot read
};

class EudcFont {
  public:
    // Face faceIndex of the file (of a collection, which holds several). On
    // failure problem() says what is wrong, reason() the system's word for an
    // unreadable file, and lostCodes() the codes, in PUA order, whose glyphs a
    // truncated or damaged file has lost.
    bool open(FT_Library library, const std::string& path, int faceIndex = 0);
    // Lets the face and the file go.
    void close();

    FontProblem problem() const { return problem_; }
    const std::string& reason() const { return reason_; }
    const std::vector<uint16_t>& lostCodes() const { return lostCodes_; }

    // Characters outside the private-use areas (no space or control): an
    // EUDC font maps none, a text font thousands.
    size_t ordinaryCharacterCount() const { return ordinaryCharacterCount_; }
    char32_t firstOrdinaryCharacter() const { return firstOrdinaryCharacter_; }
    // Glyphs drawn for private-use characters past the last user-defined
    // code's, which no table shows.
    size_t glyphsPastLastCode() const { return glyphsPastLastCode_; }
    // The faces of the file: more than one in a collection.
    long faceCount() const { return faceCount_; }
    int faceIndex() const { return faceIndex_; }
    FT_Face face() const { return face_.get(); }
    const MappedFile& file() const { return file_; }

    // The glyph of a user-defined code, 0 when the font maps no glyph to it.
    FT_UInt glyphOfCode(uint16_t code) const;

    // A mapped glyph with an outline to draw: an EUDC editor maps every code
    // of the block and leaves the glyphs of unmade characters empty.
    bool definesCode(uint16_t code) const;

  private:
    bool chooseFace(FT_Library library, int faceIndex);
    bool mapPuaCodes();
    bool checkOutlines();
    bool hasOutline(FT_UInt glyph) const;
    void countOrdinaryCharacters();
    void countGlyphsPastLastCode();
    bool fail(FontProblem problem, std::string reason = {});

    MappedFile file_; // before the face, which reads it until its end
    FontFace face_;
    long faceCount_ = 0;
    int faceIndex_ = 0;
    std::vector<FT_UInt> glyphByPuaIndex_;
    std::vector<bool> definedByPuaIndex_;
    FontProblem problem_ = FontProblem::None;
    std::string reason_;
    std::vector<uint16_t> lostCodes_;
    size_t ordinaryCharacterCount_ = 0;
    char32_t firstOrdinaryCharacter_ = 0;
    size_t glyphsPastLastCode_ = 0;
};

// Fontconfig keeps its parsed configuration for the life of the process. A
// program that looks fonts up holds a session while it does, so that the
// configuration is released as soon as the font is found.
class FontconfigSession {
  public:
    FontconfigSession() = default;
    ~FontconfigSession();
    FontconfigSession(const FontconfigSession&) = delete;
    FontconfigSession& operator=(const FontconfigSession&) = delete;
};

struct FontLocation {
    std::string path;
    int index = 0;
};

enum class LabelFontProblem {
    None,
    NoSuchFamily,        // fontconfig has no font of the family
    NoChineseCharacters, // the family's font lacks the characters the labels need
    NoChineseFont,       // and neither has any other font
};

struct LabelFont {
    LabelFontProblem problem = LabelFontProblem::None;
    FontLocation location; // when there is no problem
};

// The font of family, which must have the Chinese characters the labels
// need. fontconfig offers some font for any name; only one of the family
// counts.
LabelFont findLabelFont(const std::string& family);

// An installed font that draws the character, as fontconfig ranks them for it;
// an empty path when none does.
FontLocation findFontWith(char32_t character);

} // namespace kestra
