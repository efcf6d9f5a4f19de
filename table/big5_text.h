// Between the renderer's Big5 (code page 950) text and the Unicode that cairo
// and the file system speak. Not for the glyph cells: a user-defined code
// reaches its glyph through its PUA index, which iconv's tables do not give.
#pragma once

#include <iconv.h>

#include <string>

namespace kestra {

class Big5Text {
  public:
    Big5Text();
    ~Big5Text();
    Big5Text(const Big5Text&) = delete;
    Big5Text& operator=(const Big5Text&) = delete;

    // Each character that code page 950 does not define becomes U+FFFD.
    std::u32string toUnicode(const char* text, int length);

    // Each character that code page 950 cannot hold becomes '?'.
    std::string fromUtf8(const std::string& text);

  private:
    iconv_t toUnicode_;
    iconv_t fromUtf8_;
};

// The UTF-8 bytes of one code point.
void appendUtf8(std::string& out, char32_t codePoint);

} // namespace kestra
