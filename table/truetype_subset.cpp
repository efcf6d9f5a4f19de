#include "table/truetype_subset.h"

#include "table/sfnt_directory.h"

#include <algorithm>
#include <cstring>

namespace kestra {
namespace {

constexpr uint32_t kChecksumMagic = 0xB1B0AFBA;
// Offsets of the fields this program rewrites.
constexpr size_t kHeadChecksumAdjustment = 8;
constexpr size_t kHeadIndexToLocFormat = 50;
constexpr size_t kHeadMinimumSize = 54;
constexpr size_t kHheaMetricCount = 34;
constexpr size_t kHheaMinimumSize = 36;
constexpr size_t kMaxpGlyphCount = 4;
constexpr size_t kMaxpMinimumSize = 6;
// A composite glyph's parts, after its 10-byte header.
constexpr size_t kGlyphHeaderSize = 10;
constexpr uint16_t kArgsAreWords = 0x0001;
constexpr uint16_t kHasScale = 0x0008;
constexpr uint16_t kMoreComponents = 0x0020;
constexpr uint16_t kHasXYScale = 0x0040;
constexpr uint16_t kHasTwoByTwo = 0x0080;

uint32_t read16(const unsigned char* p) {
    return (static_cast<uint32_t>(p[0]) << 8) | p[1];
}

uint32_t read32(const unsigned char* p) {
    return (read16(p) << 16) | read16(p + 2);
}

void write16(unsigned char* p, uint32_t value) {
    p[0] = static_cast<unsigned char>(value >> 8);
    p[1] = static_cast<unsigned char>(value);
}

void write32(unsigned char* p, uint32_t value) {
    write16(p, value >> 16);
    write16(p + 2, value & 0xFFFF);
}

size_t padded(size_t length) {
    return (length + 3) & ~size_t{3};
}

struct Span {
    const unsigned char* data = nullptr;
    size_t length = 0;
};

// The tables of one face; the optional hinting programs may be missing.
struct Face {
    Span head, hhea, maxp, hmtx, loca, glyf, cvt, fpgm, prep;
    uint32_t glyphCount = 0;
    uint32_t metricCount = 0;
    bool longOffsets = false;

    Span* slot(uint32_t tag) {
        switch (tag) {
        case sfntTag("head"):
            return &head;
        case sfntTag("hhea"):
            return &hhea;
        case sfntTag("maxp"):
            return &maxp;
        case sfntTag("hmtx"):
            return &hmtx;
        case sfntTag("loca"):
            return &loca;
        case sfntTag("glyf"):
            return &glyf;
        case sfntTag("cvt "):
            return &cvt;
        case sfntTag("fpgm"):
            return &fpgm;
        case sfntTag("prep"):
            return &prep;
        default:
            return nullptr;
        }
    }

    // The outline of the glyph; empty where the index points outside 'glyf'.
    Span glyph(uint32_t g) const {
        const size_t entry = longOffsets ? 4 : 2;
        if (g >= glyphCount || (g + 2) * entry > loca.length)
            return {};
        const unsigned char* at = loca.data + g * entry;
        const size_t scale = longOffsets ? 1 : 2;
        const size_t start = (longOffsets ? read32(at) : read16(at)) * scale;
        const size_t end = (longOffsets ? read32(at + entry) : read16(at + entry)) * scale;
        if (end <= start || end > glyf.length)
            return {};
        return {glyf.data + start, end - start};
    }

    uint32_t advance(uint32_t g) const {
        const size_t record = std::min(g, metricCount - 1) * 4;
        return record + 2 <= hmtx.length ? read16(hmtx.data + record) : 0;
    }

    uint32_t leftSideBearing(uint32_t g) const {
        const size_t at = g < metricCount ? g * 4 + 2 : metricCount * 4 + (g - metricCount) * 2;
        return at + 2 <= hmtx.length ? read16(hmtx.data + at) : 0;
    }
};

bool readFace(const unsigned char* file, size_t size, int faceIndex, Face& face) {
    const auto read = [file, size](uint64_t offset, unsigned char* out, size_t length) {
        if (offset > size || length > size - offset)
            return false;
        std::memcpy(out, file + offset, length);
        return true;
    };
    std::vector<SfntTable> tables;
    if (!readSfntDirectory(read, faceIndex, tables))
        return false;
    for (const SfntTable& table : tables) {
        Span* span = face.slot(table.tag);
        if (span != nullptr && table.offset <= size && table.length <= size - table.offset)
            *span = {file + table.offset, static_cast<size_t>(table.length)};
    }
    if (face.head.length < kHeadMinimumSize || face.hhea.length < kHheaMinimumSize ||
        face.maxp.length < kMaxpMinimumSize || face.loca.data == nullptr ||
        face.glyf.data == nullptr || face.hmtx.data == nullptr)
        return false;
    face.glyphCount = read16(face.maxp.data + kMaxpGlyphCount);
    face.metricCount = read16(face.hhea.data + kHheaMetricCount);
    face.longOffsets = read16(face.head.data + kHeadIndexToLocFormat) != 0;
    return face.glyphCount > 0 && face.metricCount > 0;
}

// Calls visit(offset of the part's glyph number within the glyph, part) for
// each part of a composite glyph; nothing for a simple one.
template <typename Visit> void forEachPart(Span glyph, Visit visit) {
    if (glyph.length < kGlyphHeaderSize || (read16(glyph.data) & 0x8000) == 0)
        return;
    size_t at = kGlyphHeaderSize;
    uint32_t flags = kMoreComponents;
    while ((flags & kMoreComponents) != 0 && at + 4 <= glyph.length) {
        flags = read16(glyph.data + at);
        visit(at + 2, read16(glyph.data + at + 2));
        at += 4 + ((flags & kArgsAreWords) != 0 ? 4 : 2);
        if ((flags & kHasScale) != 0)
            at += 2;
        else if ((flags & kHasXYScale) != 0)
            at += 4;
        else if ((flags & kHasTwoByTwo) != 0)
            at += 8;
    }
}

// The glyphs wanted, .notdef and every part of a composite glyph, in order.
std::vector<uint32_t> keptGlyphs(const Face& face, const std::vector<uint32_t>& wanted) {
    std::vector<bool> kept(face.glyphCount, false);
    std::vector<uint32_t> pending{0};
    pending.insert(pending.end(), wanted.begin(), wanted.end());
    while (!pending.empty()) {
        const uint32_t g = pending.back();
        pending.pop_back();
        if (g >= face.glyphCount || kept[g])
            continue;
        kept[g] = true;
        forEachPart(face.glyph(g), [&](size_t, uint32_t part) { pending.push_back(part); });
    }
    std::vector<uint32_t> glyphs;
    for (uint32_t g = 0; g < face.glyphCount; ++g) {
        if (kept[g])
            glyphs.push_back(g);
    }
    return glyphs;
}

uint32_t checksum(const unsigned char* data, size_t length) {
    uint32_t sum = 0;
    for (size_t at = 0; at < length; at += 4)
        sum += read32(data + at);
    return sum;
}

class ProgramWriter {
  public:
    ProgramWriter(std::vector<unsigned char>& out, size_t tableCount, size_t size)
        : out_(out), tableCount_(tableCount) {
        out_.assign(size, 0);
        write32(out_.data(), 0x00010000);
        write16(out_.data() + 4, static_cast<uint32_t>(tableCount));
        uint32_t power = 1;
        uint32_t exponent = 0;
        while (power * 2 <= tableCount) {
            power *= 2;
            ++exponent;
        }
        write16(out_.data() + 6, power * 16);
        write16(out_.data() + 8, exponent);
        write16(out_.data() + 10, static_cast<uint32_t>(tableCount * 16 - power * 16));
        end_ = kSfntDirectoryHeaderSize + tableCount * kSfntTableRecordSize;
    }

    // Room for the next table; tables must come in the order of their tags.
    unsigned char* begin(uint32_t tag, size_t length) {
        unsigned char* record =
            out_.data() + kSfntDirectoryHeaderSize + written_ * kSfntTableRecordSize;
        write32(record, tag);
        write32(record + 8, static_cast<uint32_t>(end_));
        write32(record + 12, static_cast<uint32_t>(length));
        unsigned char* table = out_.data() + end_;
        end_ += padded(length);
        ++written_;
        return table;
    }

    void copy(uint32_t tag, Span table) {
        if (table.data != nullptr)
            std::memcpy(begin(tag, table.length), table.data, table.length);
    }

    // Each table's checksum, then the whole file's, which 'head' carries.
    void finish(size_t headOffset) {
        for (size_t i = 0; i < tableCount_; ++i) {
            unsigned char* record =
                out_.data() + kSfntDirectoryHeaderSize + i * kSfntTableRecordSize;
            write32(record + 4,
                    checksum(out_.data() + read32(record + 8), padded(read32(record + 12))));
        }
        write32(out_.data() + headOffset + kHeadChecksumAdjustment,
                kChecksumMagic - checksum(out_.data(), out_.size()));
    }

  private:
    std::vector<unsigned char>& out_;
    size_t tableCount_;
    size_t written_ = 0;
    size_t end_ = 0;
};

} // namespace

bool subsetTrueType(const unsigned char* file, size_t size, int faceIndex,
                    const std::vector<uint32_t>& glyphs, TrueTypeSubset& out) {
    Face face;
    if (file == nullptr || !readFace(file, size, faceIndex, face))
        return false;
    const std::vector<uint32_t> kept = keptGlyphs(face, glyphs);
    out.newGlyphOf.assign(face.glyphCount, 0);
    size_t outlines = 0;
    for (size_t n = 0; n < kept.size(); ++n) {
        out.newGlyphOf[kept[n]] = static_cast<uint16_t>(n);
        outlines += padded(face.glyph(kept[n]).length);
    }
    const Span hinting[] = {face.cvt, face.fpgm, face.prep};
    size_t tables = 6;
    size_t total = padded(face.head.length) + padded(face.hhea.length) + padded(face.maxp.length) +
                   kept.size() * 4 + (kept.size() + 1) * 4 + outlines;
    for (const Span& program : hinting) {
        tables += program.data != nullptr ? 1 : 0;
        total += padded(program.length);
    }
    total += kSfntDirectoryHeaderSize + tables * kSfntTableRecordSize;

    ProgramWriter writer(out.program, tables, total);
    writer.copy(sfntTag("cvt "), face.cvt);
    writer.copy(sfntTag("fpgm"), face.fpgm);
    unsigned char* glyf = writer.begin(sfntTag("glyf"), outlines);
    std::vector<uint32_t> offsets{0};
    for (uint32_t g : kept) {
        const Span outline = face.glyph(g);
        unsigned char* at = glyf + offsets.back();
        if (outline.length > 0)
            std::memcpy(at, outline.data, outline.length);
        forEachPart(outline, [&](size_t field, uint32_t part) {
            write16(at + field, part < face.glyphCount ? out.newGlyphOf[part] : 0);
        });
        offsets.push_back(offsets.back() + static_cast<uint32_t>(padded(outline.length)));
    }
    unsigned char* head = writer.begin(sfntTag("head"), face.head.length);
    std::memcpy(head, face.head.data, face.head.length);
    write32(head + kHeadChecksumAdjustment, 0);
    write16(head + kHeadIndexToLocFormat, 1);
    unsigned char* hhea = writer.begin(sfntTag("hhea"), face.hhea.length);
    std::memcpy(hhea, face.hhea.data, face.hhea.length);
    write16(hhea + kHheaMetricCount, static_cast<uint32_t>(kept.size()));
    unsigned char* hmtx = writer.begin(sfntTag("hmtx"), kept.size() * 4);
    for (size_t n = 0; n < kept.size(); ++n) {
        write16(hmtx + n * 4, face.advance(kept[n]));
        write16(hmtx + n * 4 + 2, face.leftSideBearing(kept[n]));
    }
    unsigned char* loca = writer.begin(sfntTag("loca"), offsets.size() * 4);
    for (size_t n = 0; n < offsets.size(); ++n)
        write32(loca + n * 4, offsets[n]);
    unsigned char* maxp = writer.begin(sfntTag("maxp"), face.maxp.length);
    std::memcpy(maxp, face.maxp.data, face.maxp.length);
    write16(maxp + kMaxpGlyphCount, static_cast<uint32_t>(kept.size()));
    writer.copy(sfntTag("prep"), face.prep);
    writer.finish(static_cast<size_t>(head - out.program.data()));
    return true;
}

} // namespace kestra
