// PDF values written as text, each by its type: a name with the bytes the
// syntax reserves escaped as #xx, a byte string with its delimiters escaped, a
// text string in UTF-16 with its byte order mark unless it is plain ASCII,
// numbers as pdf_numbers writes them, references, dictionaries and arrays.
// A dictionary or array is closed when its writer goes out of scope, so the
// nesting of the code that writes it is the nesting of the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestra {

class PdfDictionary;
class PdfArray;

// Upper-case hexadecimal, the given number of digits.
void appendHex(std::string& out, uint32_t value, int digits);
// The character's UTF-16 units in hexadecimal, as a text string or a
// ToUnicode map holds it.
void appendUtf16Hex(std::string& out, char32_t character);

// One value, written at the end of out.
class PdfValue {
  public:
    explicit PdfValue(std::string& out) : out_(out) {}

    void name(std::string_view name);
    void integer(int64_t value);
    void number(double value, int decimals = 3);
    void reference(int32_t object);
    void byteString(std::string_view bytes);
    void hexString(std::string_view bytes);
    // UTF-8 in, as any reader shows it: readers take a string without a
    // byte order mark for PDFDocEncoding, which is ASCII only up to 0x7E.
    void textString(std::string_view utf8);
    PdfDictionary dictionary();
    PdfArray array();

  private:
    std::string& out_;
};

class PdfDictionary {
  public:
    explicit PdfDictionary(std::string& out);
    ~PdfDictionary();
    // What is moved from closes nothing: the dictionary is the other's.
    PdfDictionary(PdfDictionary&& other) noexcept : out_(other.out_) { other.out_ = nullptr; }
    PdfDictionary(const PdfDictionary&) = delete;
    PdfDictionary& operator=(const PdfDictionary&) = delete;

    // The entry's value is written through what this returns, before the
    // next key.
    PdfValue key(std::string_view name);

  private:
    std::string* out_;
};

class PdfArray {
  public:
    explicit PdfArray(std::string& out);
    ~PdfArray();
    PdfArray(const PdfArray&) = delete;
    PdfArray& operator=(const PdfArray&) = delete;

    PdfValue item();

  private:
    std::string& out_;
};

} // namespace kestra
