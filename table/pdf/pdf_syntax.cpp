#include "table/pdf/pdf_syntax.h"

#include <charconv>
#include <cstring>

#include "table/pdf/pdf_numbers.h"
#include "table/text/big5_text.h"

namespace kestra {
namespace {

constexpr char32_t kByteOrderMark = 0xFEFF;
constexpr char32_t kFirstSupplementary = 0x10000;

bool isPrintableAscii(unsigned char byte) {
    return byte >= 0x20 && byte <= 0x7E;
}

// What a name may hold as it stands: printable ASCII but white space, the
// delimiters and the number sign that starts an escape.
bool standsInName(unsigned char byte) {
    return byte > 0x20 && byte <= 0x7E && std::strchr("()<>[]{}/%#", byte) == nullptr;
}

bool isPlainAscii(std::string_view text) {
    for (char c : text) {
        if (!isPrintableAscii(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

} // namespace

void appendHex(std::string& out, uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
}

// A character beyond the first plane takes two UTF-16 units.
void appendUtf16Hex(std::string& out, char32_t character) {
    if (character < kFirstSupplementary) {
        appendHex(out, character, 4);
        return;
    }
    const char32_t offset = character - kFirstSupplementary;
    appendHex(out, 0xD800 + (offset >> 10), 4);
    appendHex(out, 0xDC00 + (offset & 0x3FF), 4);
}

void PdfValue::name(std::string_view name) {
    out_ += '/';
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (standsInName(byte)) {
            out_ += c;
        } else {
            out_ += '#';
            appendHex(out_, byte, 2);
        }
    }
}

void PdfValue::integer(int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out_.append(digits, end);
}

void PdfValue::number(double value, int decimals) {
    appendPdfNumber(out_, value, decimals);
}

void PdfValue::reference(int32_t object) {
    integer(object);
    out_ += " 0 R";
}

// Other bytes than printable ASCII in octal, so that no line end in the
// string is read as another.
void PdfValue::byteString(std::string_view bytes) {
    out_ += '(';
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            out_ += '\\';
            out_ += c;
        } else if (isPrintableAscii(byte)) {
            out_ += c;
        } else {
            const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)),
                                  static_cast<char>('0' + ((byte >> 3) & 7)),
                                  static_cast<char>('0' + (byte & 7))};
            out_.append(octal, sizeof octal);
        }
    }
    out_ += ')';
}

void PdfValue::hexString(std::string_view bytes) {
    out_ += '<';
    for (char c : bytes)
        appendHex(out_, static_cast<unsigned char>(c), 2);
    out_ += '>';
}

void PdfValue::textString(std::string_view utf8) {
    if (isPlainAscii(utf8)) {
        byteString(utf8);
        return;
    }
    out_ += '<';
    appendUtf16Hex(out_, kByteOrderMark);
    for (char32_t character : decodeUtf8(std::string(utf8)))
        appendUtf16Hex(out_, character);
    out_ += '>';
}

PdfDictionary PdfValue::dictionary() {
    return PdfDictionary(out_);
}

PdfArray PdfValue::array() {
    return PdfArray(out_);
}

PdfDictionary::PdfDictionary(std::string& out) : out_(&out) {
    *out_ += "<<";
}

PdfDictionary::~PdfDictionary() {
    if (out_ != nullptr)
        *out_ += " >>";
}

PdfValue PdfDictionary::key(std::string_view name) {
    *out_ += ' ';
    PdfValue(*out_).name(name);
    *out_ += ' ';
    return PdfValue(*out_);
}

PdfArray::PdfArray(std::string& out) : out_(out) {
    out_ += '[';
}

PdfArray::~PdfArray() {
    out_ += " ]";
}

PdfValue PdfArray::item() {
    out_ += ' ';
    return PdfValue(out_);
}

} // namespace kestra
