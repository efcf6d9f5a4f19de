#include "table/pdf_document.h"

// qpdf 11 asks its users to say they want its std::shared_ptr interface.
#define POINTERHOLDER_TRANSITION 4
#include <libdeflate.h>
#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "table/font_subset.h"

namespace kestra {
namespace {

using Object = QPDFObjectHandle;

// zlib's fastest level costs two and a half times libdeflate's for the same
// size; the font program, nearly all of the file, is the part that counts.
constexpr int kCompressionLevel = 1;
// The CMap syntax allows at most 100 entries to a block.
constexpr size_t kCMapBlock = 100;
constexpr int kWidthDecimals = 3;
// The font is symbolic: its glyphs are no standard Latin set.
constexpr int kSymbolicFlag = 4;
// A dominant vertical stem width is required; it only guides hinting, which
// the subset no longer has.
constexpr int kStemV = 80;

Object name(const std::string& text) {
    return Object::newName("/" + text);
}

Object number(double value) {
    return Object::newReal(value, kWidthDecimals, true);
}

Object array(std::initializer_list<Object> items) {
    return Object::newArray(std::vector<Object>(items));
}

// Where qpdf's writer puts the file. The first failed write keeps the
// system's reason and the rest is dropped: nothing here throws, since the
// writer finishes its pipelines from destructors.
class FileSink : public Pipeline {
  public:
    explicit FileSink(std::FILE* file) : Pipeline("table", nullptr), file_(file) {}

    void write(unsigned char const* data, size_t length) override {
        if (error_ == 0 && length > 0 && std::fwrite(data, 1, length, file_) != length)
            keepError();
    }
    void finish() override {
        if (error_ == 0 && std::fflush(file_) != 0)
            keepError();
    }
    int error() const { return error_; }

  private:
    void keepError() { error_ = errno != 0 ? errno : EIO; }

    std::FILE* file_;
    int error_ = 0;
};

void appendHex(std::string& out, uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
}

// The character as UTF-16, the form a ToUnicode map gives.
void appendUtf16(std::string& out, char32_t character) {
    if (character < 0x10000) {
        appendHex(out, character, 4);
        return;
    }
    const char32_t offset = character - 0x10000;
    appendHex(out, 0xD800 + (offset >> 10), 4);
    appendHex(out, 0xDC00 + (offset & 0x3FF), 4);
}

struct CodeRange {
    uint16_t first;
    uint16_t last;
    char32_t character;
};

// Codes that stand for consecutive characters share one entry, within the
// bounds the CMap syntax sets: only the last byte of either side may count up.
std::vector<CodeRange> characterRanges(const std::vector<char32_t>& characters) {
    std::vector<CodeRange> ranges;
    for (size_t code = 1; code < characters.size(); ++code) {
        const char32_t character = characters[code];
        if (!ranges.empty()) {
            CodeRange& last = ranges.back();
            const bool follows = last.last + 1u == code &&
                                 last.character + (last.last - last.first) + 1 == character;
            if (follows && (code & 0xFF) != 0 && (character & 0xFF) != 0 && character < 0x10000) {
                last.last = static_cast<uint16_t>(code);
                continue;
            }
        }
        ranges.push_back({static_cast<uint16_t>(code), static_cast<uint16_t>(code), character});
    }
    return ranges;
}

std::string toUnicodeMap(const std::vector<char32_t>& characters) {
    std::string map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    const std::vector<CodeRange> ranges = characterRanges(characters);
    for (size_t start = 0; start < ranges.size(); start += kCMapBlock) {
        const size_t end = std::min(ranges.size(), start + kCMapBlock);
        map += std::to_string(end - start) + " beginbfrange\n";
        for (size_t i = start; i < end; ++i) {
            map += '<';
            appendHex(map, ranges[i].first, 4);
            map += "> <";
            appendHex(map, ranges[i].last, 4);
            map += "> <";
            appendUtf16(map, ranges[i].character);
            map += ">\n";
        }
        map += "endbfrange\n";
    }
    map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return map;
}

// Runs of codes of one width as "first last width", the others as
// "first [width width ...]".
Object widthArray(const std::vector<double>& widths) {
    Object array = Object::newArray();
    Object singles;
    for (size_t code = 1; code < widths.size();) {
        size_t end = code + 1;
        while (end < widths.size() && widths[end] == widths[code])
            ++end;
        if (end - code > 1) {
            array.appendItem(Object::newInteger(static_cast<long long>(code)));
            array.appendItem(Object::newInteger(static_cast<long long>(end - 1)));
            array.appendItem(number(widths[code]));
            singles = Object();
        } else {
            if (!singles.isArray()) {
                array.appendItem(Object::newInteger(static_cast<long long>(code)));
                singles = Object::newArray();
                array.appendItem(singles);
            }
            singles.appendItem(number(widths[code]));
        }
        code = end;
    }
    return array;
}

std::string glyphMap(const std::vector<uint16_t>& glyphs) {
    std::string map;
    map.reserve(glyphs.size() * 2);
    for (uint16_t glyph : glyphs) {
        map += static_cast<char>(glyph >> 8);
        map += static_cast<char>(glyph & 0xFF);
    }
    return map;
}

} // namespace

struct PdfDocument::Objects {
    QPDF pdf;
    Object pages;
    Object resources;
    Object fonts;
    double width;
    double height;
    libdeflate_compressor* compressor = nullptr;
    // The compressed bytes of every stream, which qpdf reads, uncopied, as
    // it writes.
    std::vector<std::vector<unsigned char>> compressed;

    Object stream(const char* data, size_t size) {
        std::vector<unsigned char> bytes(libdeflate_zlib_compress_bound(compressor, size));
        const size_t length =
            libdeflate_zlib_compress(compressor, data, size, bytes.data(), bytes.size());
        if (length == 0)
            throw std::runtime_error("compression failed");
        bytes.resize(length);
        if (length < (1u << 20))
            bytes.shrink_to_fit();
        compressed.push_back(std::move(bytes));
        auto buffer = std::make_shared<Buffer>(compressed.back().data(), compressed.back().size());
        Object object = pdf.newStream();
        object.replaceStreamData(buffer, name("FlateDecode"), Object::newNull());
        return object;
    }

    Object stream(const std::string& data) { return stream(data.data(), data.size()); }

    Object indirect(Object object) { return pdf.makeIndirectObject(object); }
};

PdfDocument::PdfDocument(double widthPoints, double heightPoints)
    : objects_(std::make_unique<Objects>()) {
    Objects& o = *objects_;
    o.width = widthPoints;
    o.height = heightPoints;
    o.compressor = libdeflate_alloc_compressor(kCompressionLevel);
    o.pdf.emptyPDF();
    o.pages = o.pdf.getRoot().getKey("/Pages");
    o.fonts = Object::newDictionary();
    o.resources = o.indirect(Object::parse("<< /ProcSet [/PDF /Text] >>"));
    o.resources.replaceKey("/Font", o.fonts);
}

PdfDocument::~PdfDocument() {
    libdeflate_free_compressor(objects_->compressor);
}

std::string PdfDocument::addPage(const std::string& content) try {
    Objects& o = *objects_;
    Object page = Object::newDictionary();
    page.replaceKey("/Type", name("Page"));
    page.replaceKey("/Parent", o.pages);
    page.replaceKey("/MediaBox", array({Object::newInteger(0), Object::newInteger(0),
                                        number(o.width), number(o.height)}));
    page.replaceKey("/Resources", o.resources);
    page.replaceKey("/Contents", o.stream(content));
    o.pages.getKey("/Kids").appendItem(o.indirect(page));
    return std::string();
} catch (const std::exception& error) {
    return error.what();
}

std::string PdfDocument::addFont(const char* resourceName, const SubsetFont& font) {
    try {
        Objects& o = *objects_;
        Object file =
            o.stream(reinterpret_cast<const char*>(font.program.data()), font.program.size());
        file.getDict().replaceKey("/Length1",
                                  Object::newInteger(static_cast<long long>(font.program.size())));

        Object descriptor = Object::newDictionary();
        descriptor.replaceKey("/Type", name("FontDescriptor"));
        descriptor.replaceKey("/FontName", name(font.postScriptName));
        descriptor.replaceKey("/Flags", Object::newInteger(kSymbolicFlag));
        descriptor.replaceKey("/FontBBox", array({number(font.box[0]), number(font.box[1]),
                                                  number(font.box[2]), number(font.box[3])}));
        descriptor.replaceKey("/ItalicAngle", Object::newInteger(0));
        descriptor.replaceKey("/Ascent", number(font.ascent));
        descriptor.replaceKey("/Descent", number(font.descent));
        descriptor.replaceKey("/CapHeight", number(font.ascent));
        descriptor.replaceKey("/StemV", Object::newInteger(kStemV));
        descriptor.replaceKey("/FontFile2", file);

        Object cidFont = Object::newDictionary();
        cidFont.replaceKey("/Type", name("Font"));
        cidFont.replaceKey("/Subtype", name("CIDFontType2"));
        cidFont.replaceKey("/BaseFont", name(font.postScriptName));
        cidFont.replaceKey(
            "/CIDSystemInfo",
            Object::parse("<< /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"));
        cidFont.replaceKey("/FontDescriptor", o.indirect(descriptor));
        cidFont.replaceKey("/DW", Object::newInteger(0));
        cidFont.replaceKey("/W", o.indirect(widthArray(font.widthOfCode)));
        cidFont.replaceKey("/CIDToGIDMap", o.stream(glyphMap(font.glyphOfCode)));

        Object type0 = Object::newDictionary();
        type0.replaceKey("/Type", name("Font"));
        type0.replaceKey("/Subtype", name("Type0"));
        type0.replaceKey("/BaseFont", name(font.postScriptName));
        type0.replaceKey("/Encoding", name("Identity-H"));
        type0.replaceKey("/DescendantFonts", array({o.indirect(cidFont)}));
        type0.replaceKey("/ToUnicode", o.stream(toUnicodeMap(font.characterOfCode)));
        o.fonts.replaceKey(std::string("/") + resourceName, o.indirect(type0));
        return std::string();
    } catch (const std::exception& error) {
        return error.what();
    }
}

namespace {

// Links the entries under parent, each pointing at its page; an entry with
// children starts closed.
void addOutlineItems(QPDF& pdf, Object parent, const std::vector<OutlineEntry>& entries,
                     const std::vector<Object>& pages) {
    Object previous;
    for (const OutlineEntry& entry : entries) {
        Object item = pdf.makeIndirectObject(Object::newDictionary());
        item.replaceKey("/Title", Object::newUnicodeString(entry.title));
        item.replaceKey("/Parent", parent);
        const size_t page = static_cast<size_t>(entry.page - 1);
        if (page < pages.size())
            item.replaceKey("/Dest", array({pages[page], name("Fit")}));
        if (previous.isDictionary()) {
            previous.replaceKey("/Next", item);
            item.replaceKey("/Prev", previous);
        } else {
            parent.replaceKey("/First", item);
        }
        parent.replaceKey("/Last", item);
        if (!entry.children.empty()) {
            addOutlineItems(pdf, item, entry.children, pages);
            // Negative: closed, its children hidden until opened.
            item.replaceKey("/Count",
                            Object::newInteger(-static_cast<long long>(entry.children.size())));
        }
        previous = item;
    }
}

} // namespace

void PdfDocument::setOutline(const std::vector<OutlineEntry>& entries) {
    if (entries.empty())
        return;
    Objects& o = *objects_;
    Object outlines = o.indirect(Object::parse("<< /Type /Outlines >>"));
    addOutlineItems(o.pdf, outlines, entries, o.pages.getKey("/Kids").getArrayAsVector());
    outlines.replaceKey("/Count", Object::newInteger(static_cast<long long>(entries.size())));
    o.pdf.getRoot().replaceKey("/Outlines", outlines);
    o.pdf.getRoot().replaceKey("/PageMode", name("UseOutlines"));
}

void PdfDocument::setInformation(const DocumentInformation& information) {
    Object info = Object::newDictionary();
    const std::pair<const char*, const std::string*> fields[] = {
        {"/Title", &information.title},
        {"/Subject", &information.subject},
        {"/Creator", &information.creator},
    };
    for (const auto& [key, value] : fields) {
        if (!value->empty())
            info.replaceKey(key, Object::newUnicodeString(*value));
    }
    objects_->pdf.getTrailer().replaceKey("/Info", objects_->indirect(info));
}

std::string PdfDocument::write(std::FILE* out) {
    Objects& o = *objects_;
    FileSink sink(out);
    try {
        o.pages.replaceKey("/Count", Object::newInteger(o.pages.getKey("/Kids").getArrayNItems()));
        QPDFWriter writer(o.pdf);
        writer.setOutputPipeline(&sink);
        writer.setCompressStreams(false);
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setMinimumPDFVersion("1.4");
        writer.write();
        return sink.error() != 0 ? std::strerror(sink.error()) : std::string();
    } catch (const std::exception& error) {
        return error.what();
    }
}

} // namespace kestra
