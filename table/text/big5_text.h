// Between the renderer's Big5 (code page 950) text and the Unicode that the
// PDF and the file system speak. Not for the glyph cells: a user-defined code
// reaches its glyph through its PUA index, which iconv's tables do not give.
#pragma once

#include <iconv.h>

#include <string>

namespace kestra {

// A character that code page 950 cannot hold (the kana, Hangul or emoji of a
// file's name) travels through the page's Big5 texts as this byte, which
// begins no Big5 character, and six hexadecimal digits of its code point;
// the PDF surface draws the character itself. Windows never sees one.
constexpr char kUnicodeEscape = '\xFF';
constexpr int kUnicodeEscapeLength = 7;

// Appends the escape of a character, whether or not code page 950 holds it:
// text that must be drawn from a font of the caller's choosing.
void appendEscape(std::string& out, char32_t character);

// The character whose escape begins text, or 0 where none does.
char32_t escapedCharacter(const char* text, int length);

// The bytes of the character that begins page text: an escape's, a
// double-byte character's two, else one.
int characterLength(const char* text, int length);

class Big5Text {
  public:
    Big5Text();
    ~Big5Text();
    Big5Text(const Big5Text&) = delete;
    Big5Text& operator=(const Big5Text&) = delete;

    // Each character that code page 950 does not define becomes U+FFFD.
    std::u32string toUnicode(const char* text, int length);

    // Each character that code page 950 cannot hold is escaped (see
    // kUnicodeEscape); a byte that begins no UTF-8 character becomes '?'.
    std::string fromUtf8(const std::string& text);

  private:
    iconv_t toUnicode_;
    iconv_t fromUtf8_;
};

// "U+4E00", "U+2A6D6": four hexadecimal digits at least, in capitals.
std::string codePointName(char32_t character);

// The UTF-8 bytes of one code point.
void appendUtf8(std::string& out, char32_t codePoint);

// The code points of UTF-8 text; a byte that begins no well-formed sequence
// becomes U+FFFD.
std::u32string decodeUtf8(const std::string& text);

} // namespace kestra
