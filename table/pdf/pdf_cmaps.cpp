#include "table/pdf/pdf_cmaps.h"

#include <algorithm>

namespace kestra {
namespace {

// The CMap syntax allows at most 100 entries to a block.
constexpr size_t kCMapBlock = 100;
constexpr int kCodeDigits = 4;
constexpr char32_t kFirstSupplementary = 0x10000;

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
            const bool valueMayCount =
                !characters || ((value & 0xFF) != 0 && value < kFirstSupplementary);
            if (follows && (code & 0xFF) != 0 && valueMayCount) {
                last.last = static_cast<uint16_t>(code);
                continue;
            }
        }
        ranges.push_back({static_cast<uint16_t>(code), static_cast<uint16_t>(code), value});
    }
    return ranges;
}

void appendRange(std::string& map, const CodeRange& range, bool characters) {
    map += '<';
    appendHex(map, range.first, kCodeDigits);
    map += "> <";
    appendHex(map, range.last, kCodeDigits);
    if (characters) {
        map += "> <";
        appendUtf16Hex(map, range.value);
        map += ">\n";
    } else {
        map += "> " + std::to_string(range.value) + "\n";
    }
}

std::string cmapHead(std::string_view name, const CidSystem& system, int type) {
    std::string head = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                       "/CIDSystemInfo ";
    writeCidSystemInfo(PdfValue(head), system);
    head += " def\n/CMapName ";
    PdfValue(head).name(name);
    head += " def\n/CMapType " + std::to_string(type) +
            " def\n1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    return head;
}

// The ranges, after the head, in blocks of the kind given ("bfrange" to
// characters, "cidrange" to CIDs).
std::string cmapOf(std::string map, std::string_view kind, const std::vector<uint32_t>& values) {
    const bool characters = kind == "bfrange";
    const std::vector<CodeRange> ranges = codeRanges(values, characters);
    for (size_t start = 0; start < ranges.size(); start += kCMapBlock) {
        const size_t end = std::min(ranges.size(), start + kCMapBlock);
        map += std::to_string(end - start) + " begin";
        map += kind;
        map += '\n';
        for (size_t i = start; i < end; ++i)
            appendRange(map, ranges[i], characters);
        map += "end";
        map += kind;
        map += '\n';
    }
    map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return map;
}

} // namespace

void writeCidSystemInfo(PdfValue value, const CidSystem& system) {
    PdfDictionary info = value.dictionary();
    info.key("Registry").byteString(system.registry);
    info.key("Ordering").byteString(system.ordering);
    info.key("Supplement").integer(system.supplement);
}

std::string toUnicodeCMap(const std::vector<char32_t>& characterOfCode) {
    return cmapOf(cmapHead("Adobe-Identity-UCS", {"Adobe", "UCS", 0}, 2), "bfrange",
                  std::vector<uint32_t>(characterOfCode.begin(), characterOfCode.end()));
}

std::string encodingCMap(std::string_view name, const CidSystem& system,
                         const std::vector<uint16_t>& cidOfCode) {
    return cmapOf(cmapHead(name, system, 1), "cidrange",
                  std::vector<uint32_t>(cidOfCode.begin(), cidOfCode.end()));
}

} // namespace kestra
