#include "table/job/table_job.h"

#include "eudc/app_state.h"
#include "eudc/code_entry.h"
#include "eudc/code_space.h"
#include "ime/radical_text.h"
#include "print/text_format.h"
#include "table/text/big5_text.h"
#include "table/fonts/font_files.h"

namespace kestra {
namespace {

constexpr char kLabelFace[] = "\xB2\xD3\xA9\xFA\xC5\xE9"; // 細明體
// 字型：%s        外字檔案：%s
constexpr char kHeaderFormat[] =
    "\xA6\x72\xAB\xAC\xA1\x47%s        \xA5\x7E\xA6\x72\xC0\xC9\xAE\xD7\xA1\x47%s";
constexpr char kFooterFormat[] = "\xB2\xC4 %d \xAD\xB6"; // 第 %d 頁
constexpr char kCodeHeading[] = "\xA4\xBA\xBD\x58";      // 內碼
constexpr char kPhoneticName[] = "\xAA\x60\xAD\xB5";     // 注音
constexpr char kCangjieName[] = "\xAD\xDC\xBE\x65";      // 倉頡

constexpr char kEllipsis[] = "\xA1\x4B"; // …

constexpr double kMarginMm = 5;

struct PaperSize {
    Paper paper;
    double widthMm;
    double heightMm;
};

constexpr PaperSize kPaperSizes[] = {
    {Paper::A4, 210, 297},         {Paper::A3, 297, 420},        {Paper::A5, 148, 210},
    {Paper::Letter, 215.9, 279.4}, {Paper::Legal, 215.9, 355.6},
};

int32_t pageUnits(double mm) {
    return static_cast<int32_t>(mm * 10);
}

uint16_t codeOfRangeIndex(uint16_t index) {
    return appState.printAll == 1 ? puaIndexToCode(index) : codeOrderIndexToCode(index);
}

// The codes of appState's print range in print order, while wanted(code).
template <typename Wanted> void walkRange(Wanted wanted) {
    for (uint32_t cell = 0; cell < appState.printCount; ++cell) {
        const uint32_t index = appState.printStartIndex + cell;
        if (index >= kEudcCodeCount || !wanted(codeOfRangeIndex(static_cast<uint16_t>(index))))
            return;
    }
}

// Where each character of Big5 text begins, escapes counted as one.
std::vector<size_t> characterStarts(const std::string& text) {
    std::vector<size_t> starts;
    const int size = static_cast<int>(text.size());
    for (int i = 0; i < size; i += characterLength(text.data() + i, size - i))
        starts.push_back(static_cast<size_t>(i));
    return starts;
}

// The text itself where it fits, else as many of its characters as fit, half
// from its start and half (the file's name) from its end, with an ellipsis
// between; the ellipsis alone where nothing else fits.
template <typename Fits> std::string shortenedInTheMiddle(const std::string& text, Fits fits) {
    if (fits(text))
        return text;
    const std::vector<size_t> starts = characterStarts(text);
    auto keeping = [&](size_t kept) {
        const size_t head = kept / 2;
        const size_t tail = kept - head;
        return text.substr(0, starts[head]) + kEllipsis +
               (tail == 0 ? std::string() : text.substr(starts[starts.size() - tail]));
    };
    size_t fitting = 0; // kept characters known to fit
    size_t tooMany = starts.size();
    while (tooMany - fitting > 1) {
        const size_t kept = (fitting + tooMany) / 2;
        (fits(keeping(kept)) ? fitting : tooMany) = kept;
    }
    return keeping(fitting);
}

// As the big5 text is stored in a field of `size` bytes.
std::string shortenedToField(const std::string& big5, size_t size) {
    return shortenedInTheMiddle(big5, [&](const std::string& text) { return text.size() < size; });
}

int32_t headerWidth(DrawSurface& surface, const char* path) {
    char header[kHeaderTextSize];
    const char* const fields[] = {appState.fontFace, path};
    const int length =
        formatFields(header, kHeaderTextSize, kTablePageTexts.headerFormat, fields, 2);
    return surface.textWidth(header, length);
}

} // namespace

const PageTexts kTablePageTexts{kLabelFace, "", kHeaderFormat, kFooterFormat, kCodeHeading};

PaperGeometry paperGeometry(Paper paper, bool landscape) {
    PaperGeometry geometry;
    for (const PaperSize& size : kPaperSizes) {
        if (size.paper == paper) {
            geometry.widthMm = landscape ? size.heightMm : size.widthMm;
            geometry.heightMm = landscape ? size.widthMm : size.heightMm;
        }
    }
    geometry.marginMm = kMarginMm;
    geometry.printable = {pageUnits(geometry.widthMm - 2 * kMarginMm),
                          pageUnits(geometry.heightMm - 2 * kMarginMm)};
    return geometry;
}

void applyTableChoices(const TableChoices& choices, const std::string& fontName,
                       const std::string& fontPath) {
    Big5Text big5;
    copyBounded(appState.fontFace,
                shortenedToField(big5.fromUtf8(fontName), kFaceNameSize).c_str());
    copyBounded(appState.eudcFilePath,
                shortenedToField(big5.fromUtf8(fontPath), kPathSize).c_str());
    const PrintSpan span = printSpanFor(choices.printAll, choices.rangeStart, choices.rangeEnd);
    appState.printAll = choices.printAll ? 1 : 0;
    appState.rangeStartCode = choices.rangeStart;
    appState.rangeEndCode = choices.rangeEnd;
    appState.printStartIndex = span.startIndex;
    appState.printCount = span.count;
    useDictionaryCodeForm(choices.codeForm);

    appState.annotatableImeCount = 0;
    for (const DictionaryFile& dictionary : choices.dictionaries) {
        const int k = appState.annotatableImeCount++;
        ImeRecord& ime = appState.imeTable[k];
        ime = ImeRecord{};
        ime.layoutId = dictionary.layoutId;
        copyBounded(ime.layoutText,
                    dictionary.layoutId == kPhoneticLayoutId ? kPhoneticName : kCangjieName);
        copyBounded(ime.dictionaryPath, dictionary.path.c_str());
        appState.annotate[k] = 1;
    }
}

std::u32string headerCharactersOutsideBig5() {
    std::u32string found;
    for (const std::string field : {appState.fontFace, appState.eudcFilePath}) {
        for (size_t start : characterStarts(field)) {
            const char32_t c =
                escapedCharacter(field.data() + start, static_cast<int>(field.size() - start));
            if (c != 0 && found.find(c) == std::u32string::npos)
                found += c;
        }
    }
    return found;
}

void useDictionaryCodeForm(CodeForm form) {
    // The loader reads NT-family dictionaries as PUA code points, others as Big5.
    appState.platform = form == CodeForm::Pua ? 2 : 1;
}

std::vector<uint16_t> definedCodesOfRange(const EudcFont& font) {
    std::vector<uint16_t> codes;
    walkRange([&](uint16_t code) {
        if (font.definesCode(code))
            codes.push_back(code);
        return true;
    });
    return codes;
}

bool rangeHasRadicals(uint32_t layoutId) {
    bool found = false;
    walkRange([&](uint16_t code) {
        lookupRadicalText(code, layoutId);
        found = appState.annotationText[0] != '\0';
        return !found;
    });
    return found;
}

TableJob::TableJob(PageSize printable, const std::vector<uint16_t>* chosenCodes,
                   int32_t extraFieldWidth)
    : printable_(printable) {
    if (chosenCodes != nullptr) {
        chosenCodes_ = *chosenCodes;
        onlyChosen_ = true;
        appState.printCount = static_cast<uint16_t>(chosenCodes_.size());
    }
    layout_ = computePageLayout(printable_, appState);
    if (extraFieldWidth > 0)
        layout_ = computePageLayout(printable_, layout_.columnWidth + extraFieldWidth,
                                    appState.printCount);
}

std::vector<uint16_t> TableJob::codes() const {
    if (onlyChosen_)
        return chosenCodes_;
    std::vector<uint16_t> codes;
    walkRange([&](uint16_t code) {
        codes.push_back(code);
        return true;
    });
    return codes;
}

void TableJob::drawPage(DrawSurface& surface, int32_t pageNumber,
                        const ExtraField* extraField) const {
    fitHeaderToPage(surface);
    PageRenderer renderer(surface, layout_, printable_, kTablePageTexts);
    if (onlyChosen_)
        renderer.useCellCodes({chosenCodes_.data(), static_cast<int32_t>(chosenCodes_.size())});
    renderer.useExtraField(extraField);
    renderer.printPage(pageNumber);
}

// Measured in the label font the header is drawn in.
void TableJob::fitHeaderToPage(DrawSurface& surface) const {
    SurfaceObjectOwner labelFont(surface,
                                 surface.createFont(kLabelFontHeight, kTablePageTexts.labelFace));
    SelectionKeeper fonts(surface);
    fonts.select(labelFont.get());
    const std::string path =
        shortenedInTheMiddle(appState.eudcFilePath, [&](const std::string& text) {
            return headerWidth(surface, text.c_str()) <= printable_.cx;
        });
    copyBounded(appState.eudcFilePath, path.c_str());
}

} // namespace kestra
