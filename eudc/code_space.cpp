#include "eudc/code_space.h"

namespace kestra {
namespace {

constexpr int kCellsPerRow = 157;
constexpr int kLowTrailCells = 63;  // trail bytes 40..7E

// Cell 0..156 of a row, or -1 when the trail byte is not a cell.
int cellOfTrail(unsigned trail) {
    if (trail >= 0x40 && trail <= 0x7E)
        return static_cast<int>(trail - 0x40);
    if (trail >= 0xA1 && trail <= 0xFE)
        return static_cast<int>(trail - 0x62);
    return -1;
}

unsigned trailOfCell(int cell) {
    return cell < kLowTrailCells ? static_cast<unsigned>(cell + 0x40)
                                 : static_cast<unsigned>(cell + 0x62);
}

// The code j cells after the first cell of row firstLead.
uint16_t placeInRow(unsigned firstLead, int j) {
    const unsigned lead = firstLead + static_cast<unsigned>(j / kCellsPerRow);
    return static_cast<uint16_t>((lead << 8) | trailOfCell(j % kCellsPerRow));
}

uint16_t rowC6Code(int offsetFromC6A1) {
    return static_cast<uint16_t>(0xC600 + 0xA1 + offsetFromC6A1);
}

// offset + row * 157 + cell, or the sentinel when the trail is not a cell.
uint16_t indexInRows(int offset, int row, unsigned trail) {
    const int cell = cellOfTrail(trail);
    if (cell < 0)
        return kNoCode;
    return static_cast<uint16_t>(offset + row * kCellsPerRow + cell);
}

}  // namespace

uint16_t puaIndexToCode(uint16_t i) {
    if (i >= 5903)
        return placeInRow(0xC7, i - 5903);
    if (i >= 5809)
        return rowC6Code(i - 5809);
    if (i >= 3768)
        return placeInRow(0x81, i - 3768);
    if (i >= 785)
        return placeInRow(0x8E, i - 785);
    return placeInRow(0xFA, i);
}

uint16_t codeOrderIndexToCode(uint16_t i) {
    if (i < 2041)
        return placeInRow(0x81, i);
    if (i < 5024)
        return placeInRow(0x8E, i - 2041);
    if (i < 5118)
        return rowC6Code(i - 5024);
    if (i < 5432)
        return placeInRow(0xC7, i - 5118);
    return placeInRow(0xFA, i - 5432);
}

uint16_t codeToCodeOrderIndex(uint16_t code) {
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFF;
    if (lead >= 0x81 && lead <= 0x8D)
        return indexInRows(0, static_cast<int>(lead - 0x81), trail);
    if (lead >= 0x8E && lead <= 0xA0)
        return indexInRows(2041, static_cast<int>(lead - 0x8E), trail);
    if (lead == 0xC6)
        return (trail >= 0xA1 && trail <= 0xFE) ? static_cast<uint16_t>(trail + 4863) : kNoCode;
    if (lead >= 0xC7 && lead <= 0xC8)
        return indexInRows(5118, static_cast<int>(lead - 0xC7), trail);
    if (lead >= 0xFA && lead <= 0xFE)
        return indexInRows(5432, static_cast<int>(lead - 0xFA), trail);
    return kNoCode;
}

uint16_t codeToLinearIndex(uint16_t code) {
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFF;
    if (lead >= 0xA1 && lead <= 0xFE)
        return indexInRows(0, static_cast<int>(lead - 0xA1), trail);
    if (lead >= 0x8E && lead <= 0xA0)
        return indexInRows(14758, static_cast<int>(lead - 0x8E), trail);
    if (lead >= 0x81 && lead <= 0x8D)
        return indexInRows(17741, static_cast<int>(lead - 0x81), trail);
    return kNoCode;
}

uint16_t codeToPuaIndex(uint16_t code) {
    const int n = static_cast<int16_t>(codeToLinearIndex(code));
    if (n >= 5872 && n <= 6279)
        return static_cast<uint16_t>(n - 63);
    if (n >= 13973)
        return static_cast<uint16_t>(n - 13973);
    return kNoCode;
}

bool isEudcCode(uint16_t code) {
    if (cellOfTrail(code & 0xFF) < 0)
        return false;
    for (const EudcRange& range : kEudcRanges) {
        if (range.start <= code && code <= range.end)
            return true;
    }
    return false;
}

}  // namespace kestra
