#include "table/pdf/pdf_document.h"

// qpdf 11 asks its users to say they want its std::shared_ptr interface.
#define POINTERHOLDER_TRANSITION 4
#include <libdeflate.h>
#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "table/fonts/font_subset.h"

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
// A dominant vertical stem width is required; a reader uses it only to pick a
// stand-in for a font it cannot load.
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
    uint32_t value; // of the first code; each code after it, one more
};

// Codes with consecutive values share one entry, within the bounds the CMap
// syntax sets: only the last byte of a code may count up, and of a character
// (a UTF-16 string) as well.
std::vector<CodeRange> codeRanges(const std::vector<uint32_t>& values, bool characters) {
    std::vector<CodeRange> ranges;
    for (size_t code = 1; code < values.size(); ++code) {
        const uint32_t value = values[code];
        if (!ranges.empty()) {
            CodeRange& last = ranges.back();
            const bool follows =
                last.last + 1u == code && last.value + (last.last - last.first) + 1 == value;
            const bool valueMayCount = !characters || ((value & 0xFF) != 0 && value < 0x10000);
            if (follows && (code & 0xFF) != 0 && valueMayCount) {
                last.last = static_cast<uint16_t>(code);
                continue;
            }
        }
        ranges.push_back({static_cast<uint16_t>(code), static_cast<uint16_t>(code), value});
    }
    return ranges;
}

// A CMap of two-byte codes: its head (names and system), then the ranges in
// blocks of the kind given ("bfrange" to characters, "cidrange" to CIDs).
std::string cmapOf(const std::string& head, const char* kind, const std::vector<uint32_t>& values) {
    const bool characters = std::string(kind) == "bfrange";
    std::string map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n" + head +
                      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    const std::vector<CodeRange> ranges = codeRanges(values, characters);
    for (size_t start = 0; start < ranges.size(); start += kCMapBlock) {
        const size_t end = std::min(ranges.size(), start + kCMapBlock);
        map += std::to_string(end - start) + " begin" + kind + "\n";
        for (size_t i = start; i < end; ++i) {
            map += '<';
            appendHex(map, ranges[i].first, 4);
            map += "> <";
            appendHex(map, ranges[i].last, 4);
            if (characters) {
                map += "> <";
                appendUtf16(map, ranges[i].value);
                map += ">\n";
            } else {
                map += "> " + std::to_string(ranges[i].value) + "\n";
            }
        }
        map += std::string("end") + kind + "\n";
    }
    map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return map;
}

std::string toUnicodeMap(const std::vector<char32_t>& characters) {
    return cmapOf("/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                  "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n",
                  "bfrange", std::vector<uint32_t>(characters.begin(), characters.end()));
}

std::string cidSystemText(const CidSystem& system) {
    return "<< /Registry (" + system.registry + ") /Ordering (" + system.ordering +
           ") /Supplement " + std::to_string(system.supplement) + " >>";
}

// The codes of a CFF font to the CIDs of their glyphs, which the program
// fixes: two codes may stand for one glyph.
std::string encodingCMap(const SubsetFont& font, const std::string& name) {
    return cmapOf("/CIDSystemInfo " + cidSystemText(font.cidSystem) + " def\n/CMapName /" + name +
                      " def\n/CMapType 1 def\n",
                  "cidrange",
                  std::vector<uint32_t>(font.glyphOfCode.begin(), font.glyphOfCode.end()));
}

// Runs of CIDs of one width as "first last width", the others as
// "first [width width ...]"; widths are given by CID, in CID order, each
// once.
Object widthArray(const std::vector<std::pair<uint16_t, double>>& widths) {
    Object array = Object::newArray();
    Object singles;
    for (size_t at = 0; at < widths.size();) {
        const auto [first, width] = widths[at];
        size_t end = at + 1;
        while (end < widths.size() && widths[end].second == width &&
               widths[end].first == first + (end - at))
            ++end;
        if (end - at > 1) {
            array.appendItem(Object::newInteger(first));
            array.appendItem(Object::newInteger(widths[end - 1].first));
            array.appendItem(number(width));
            singles = Object();
        } else {
            const bool follows = at > 0 && widths[at - 1].first + 1 == first;
            if (!singles.isArray() || !follows) {
                array.appendItem(Object::newInteger(first));
                singles = Object::newArray();
                array.appendItem(singles);
            }
            singles.appendItem(number(width));
        }
        at = end;
    }
    return array;
}

// The widths of the CIDs the codes stand for: in a TrueType font the CID is
// the code, in a CFF font the glyph's own.
std::vector<std::pair<uint16_t, double>> cidWidths(const SubsetFont& font) {
    std::vector<std::pair<uint16_t, double>> widths;
    for (size_t code = 1; code < font.widthOfCode.size(); ++code) {
        const bool cff = font.format == OutlineFormat::Cff;
        widths.emplace_back(cff ? font.glyphOfCode[code] : static_cast<uint16_t>(code),
                            font.widthOfCode[code]);
    }
    std::sort(widths.begin(), widths.end());
    widths.erase(std::unique(widths.begin(), widths.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 widths.end());
    return widths;
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

// A TrueType font's codes are its CIDs, which a map turns into the subset's
// glyphs; a CFF font's codes reach the CIDs of its glyphs through an encoding
// of their own.
std::string PdfDocument::addFont(const char* resourceName, const SubsetFont& font) {
    try {
        Objects& o = *objects_;
        const bool cff = font.format == OutlineFormat::Cff;
        Object file =
            o.stream(reinterpret_cast<const char*>(font.program.data()), font.program.size());
        if (cff)
            file.getDict().replaceKey("/Subtype", name("CIDFontType0C"));
        else
            file.getDict().replaceKey(
                "/Length1", Object::newInteger(static_cast<long long>(font.program.size())));

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
        descriptor.replaceKey(cff ? "/FontFile3" : "/FontFile2", file);

        const Object system = Object::parse(cidSystemText(cff ? font.cidSystem : CidSystem{}));
        Object cidFont = Object::newDictionary();
        cidFont.replaceKey("/Type", name("Font"));
        cidFont.replaceKey("/Subtype", name(cff ? "CIDFontType0" : "CIDFontType2"));
        cidFont.replaceKey("/BaseFont", name(font.postScriptName));
        cidFont.replaceKey("/CIDSystemInfo", system);
        cidFont.replaceKey("/FontDescriptor", o.indirect(descriptor));
        cidFont.replaceKey("/DW", Object::newInteger(0));
        cidFont.replaceKey("/W", o.indirect(widthArray(cidWidths(font))));
        if (!cff)
            cidFont.replaceKey("/CIDToGIDMap", o.stream(glyphMap(font.glyphOfCode)));

        Object type0 = Object::newDictionary();
        type0.replaceKey("/Type", name("Font"));
        type0.replaceKey("/Subtype", name("Type0"));
        type0.replaceKey("/BaseFont", name(font.postScriptName));
        if (cff) {
            const std::string cmapName = std::string("Kestra-") + resourceName + "-H";
            Object encoding = o.stream(encodingCMap(font, cmapName));
            encoding.getDict().replaceKey("/Type", name("CMap"));
            encoding.getDict().replaceKey("/CMapName", name(cmapName));
            encoding.getDict().replaceKey("/CIDSystemInfo", system);
            type0.replaceKey("/Encoding", encoding);
        } else {
            type0.replaceKey("/Encoding", name("Identity-H"));
        }
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
