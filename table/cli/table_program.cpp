#include "table/cli/table_program.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "eudc/app_state.h"
#include "ime/radical_dictionary.h"
#include "ime/whole_file.h"
#include "match/index_cache.h"
#include "table/cli/messages.h"
#include "table/cli/reference_fonts.h"
#include "table/cli/table_options.h"
#include "table/fonts/font_files.h"
#include "table/fonts/font_subset.h"
#include "table/job/code_list.h"
#include "table/job/code_matches.h"
#include "table/job/match_field.h"
#include "table/job/table_job.h"
#include "table/job/table_pdf.h"
#include "table/output/output_file.h"
#include "table/text/big5_text.h"

namespace kestra {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// As the program's own loader allows: far beyond any real dictionary.
constexpr size_t kMaxDictionarySize = 64u << 20;
// Of the codes a damaged font has lost, so many are named.
constexpr size_t kCodesNamed = 5;

void report(const std::string& message) {
    std::fprintf(stderr, "kestra-table: %s\n", message.c_str());
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "FA40, FA42, ..." : the first codes of a list, and a mark when there are more.
std::string firstCodes(const std::vector<uint16_t>& codes) {
    std::string text;
    for (size_t i = 0; i < codes.size() && i < kCodesNamed; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "%s%04X", i == 0 ? "" : ", ", codes[i]);
        text += code;
    }
    return codes.size() > kCodesNamed ? text + ", ..." : text;
}

// The signatures a font file begins with: TrueType, OpenType, Apple's
// TrueType, a collection and Apple's PostScript.
bool isFontFile(const unsigned char* data, size_t size) {
    static const char* const kSignatures[] = {"\x00\x01\x00\x00", "OTTO", "true", "ttcf", "typ1"};
    for (const char* signature : kSignatures) {
        if (size >= 4 && std::memcmp(data, signature, 4) == 0)
            return true;
    }
    return false;
}

const char* codeFormName(CodeForm form) {
    return form == CodeForm::Pua ? "pua" : "big5";
}

// Why a dictionary that readWholeFile refused cannot be read.
std::string dictionaryProblem(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return std::strerror(errno);
    if (S_ISDIR(info.st_mode))
        return std::strerror(EISDIR);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return std::strerror(errno);
    std::fclose(file);
    return std::strerror(EIO);
}

class TableProgram {
  public:
    explicit TableProgram(Language language) : language_(language) {}

    int run(int argc, const char* const* argv) {
        const OptionsResult parsed = parseTableOptions(argc, argv, language_);
        if (!parsed.ok) {
            report(parsed.error);
            report(text(Message::TryHelp));
            return kExitUsage;
        }
        if (parsed.options.help) {
            std::fputs(text(Message::Usage).c_str(), stdout);
            return EXIT_SUCCESS;
        }
        if (parsed.options.version) {
            std::puts("kestra-table " KESTRA_VERSION);
            return EXIT_SUCCESS;
        }
        options_ = parsed.options;
        return makeTable() ? EXIT_SUCCESS : kExitFailure;
    }

  private:
    std::string text(Message message, std::initializer_list<std::string> fields = {}) const {
        return messageText(message, language_, fields);
    }

    bool fail(Message message, std::initializer_list<std::string> fields = {}) {
        report(text(message, fields));
        return false;
    }

    void warn(Message message, std::initializer_list<std::string> fields = {}) const {
        report(text(message, fields));
    }

    bool makeTable() {
        if (!outputIsNoInput() || !openEudcFont())
            return false;
        if (!options_.list && outlineFormatOf(eudc_.face()) == OutlineFormat::None)
            return fail(Message::FontNotEmbeddable, {options_.fontPath});
        const std::string family = familyNameOf(eudc_.face());
        const std::string fileName = fileNameOf(options_.fontPath);
        // The header names the font as the user knows it, and its file as
        // the user gave it.
        applyTableChoices(options_, family.empty() ? fileName : family, options_.fontPath);
        if (!loadDictionaries() || (!options_.list && !openLabelFont()))
            return false;
        std::optional<std::vector<uint16_t>> chosen;
        if (options_.definedOnly) {
            chosen = definedCodesOfRange(eudc_);
            if (chosen->empty())
                return fail(Message::NoDefinedCode, {options_.fontPath});
        }
        const PaperGeometry paper = paperGeometry(options_.paper, options_.landscape);
        const TableJob job(paper.printable, chosen ? &*chosen : nullptr,
                           options_.match && !options_.list ? kMatchFieldWidth : 0);
        if (!options_.list && !job.layout().fitsOnPage())
            return fail(Message::PageTooSmall);
        if (options_.match && !matchCodes(job))
            return false;
        if (options_.list)
            return writeList(job);
        return write(job, paper, {fileName, family, "kestra-table " KESTRA_VERSION});
    }

    // A user's font or dictionary may be the only copy of years of work.
    bool outputIsNoInput() {
        std::vector<std::string> inputs{options_.fontPath};
        for (const DictionaryFile& dictionary : options_.dictionaries)
            inputs.push_back(dictionary.path);
        inputs.insert(inputs.end(), options_.matchFonts.begin(), options_.matchFonts.end());
        for (const std::string& input : inputs) {
            if (outputIsInput(options_.outputPath, input))
                return fail(Message::OutputIsInput, {options_.outputPath, input});
        }
        return true;
    }

    bool openEudcFont() {
        if (library_.get() == nullptr)
            return false;
        if (eudc_.open(library_.get(), options_.fontPath, options_.faceIndex)) {
            sayWhichFace();
            warnOfTextFont();
            warnOfGlyphsPastLastCode();
            return true;
        }
        const std::string& path = options_.fontPath;
        const std::vector<uint16_t>& lost = eudc_.lostCodes();
        switch (eudc_.problem()) {
        case FontProblem::Unreadable:
            return fail(Message::FileUnreadable, {path, eudc_.reason()});
        case FontProblem::NoSuchFace:
            return fail(Message::NoSuchFace, {path, std::to_string(eudc_.faceCount()),
                                              std::to_string(eudc_.faceCount() - 1)});
        case FontProblem::NoPuaMapping:
            return fail(Message::NoPuaMapping, {path});
        case FontProblem::Truncated:
            return fail(
                Message::FontTruncated,
                {path, countedText(lost.size(), Counted::Glyphs, language_), firstCodes(lost)});
        case FontProblem::Damaged:
            return fail(
                Message::FontDamaged,
                {path, countedText(lost.size(), Counted::Glyphs, language_), firstCodes(lost)});
        default:
            return fail(Message::NotAFont, {path});
        }
    }

    void sayWhichFace() const {
        if (eudc_.faceCount() > 1)
            warn(Message::FaceOfCollection,
                 {options_.fontPath, std::to_string(eudc_.faceCount()),
                  std::to_string(eudc_.faceIndex()), familyNameOf(eudc_.face())});
    }

    void warnOfGlyphsPastLastCode() const {
        if (eudc_.glyphsPastLastCode() > 0)
            warn(Message::GlyphsPastLastCode,
                 {options_.fontPath,
                  countedText(eudc_.glyphsPastLastCode(), Counted::Characters, language_)});
    }

    void warnOfTextFont() const {
        if (eudc_.ordinaryCharacterCount() > 0)
            warn(Message::TextFontWarning,
                 {options_.fontPath, std::to_string(eudc_.ordinaryCharacterCount()),
                  codePointName(eudc_.firstOrdinaryCharacter())});
    }

    bool loadDictionaries() {
        for (const DictionaryFile& dictionary : options_.dictionaries) {
            const WholeFile file = readWholeFile(dictionary.path.c_str(), kMaxDictionarySize);
            if (!file.ok)
                return fail(Message::DictionaryUnreadable,
                            {dictionary.path, dictionaryProblem(dictionary.path)});
            if (!isDictionaryOfItsOption(dictionary, file))
                return false;
            loadRadicalEntries(file.data.get(), file.size, dictionary.layoutId);
            if (!rangeHasRadicals(dictionary.layoutId))
                warnOfEmptyDictionary(dictionary, file);
        }
        return true;
    }

    // A file that cannot be the dictionary its option names would print
    // wrong radicals, or none, without a word.
    bool isDictionaryOfItsOption(const DictionaryFile& dictionary, const WholeFile& file) {
        const std::string& path = dictionary.path;
        if (isFontFile(file.data.get(), file.size))
            return fail(Message::DictionaryIsAFont, {path});
        const DictionaryShape shape =
            dictionaryShape(file.data.get(), file.size, dictionary.layoutId);
        const bool phonetic = dictionary.layoutId == kPhoneticLayoutId;
        const std::string own = text(phonetic ? Message::PhoneticName : Message::CangjieName);
        const std::string other = text(phonetic ? Message::CangjieName : Message::PhoneticName);
        switch (shape.fit) {
        case DictionaryFit::Fits:
            return true;
        case DictionaryFit::NoHeader:
            return fail(Message::DictionaryTooShort,
                        {path, countedText(file.size, Counted::Bytes, language_)});
        case DictionaryFit::OtherLayout:
            return fail(Message::DictionaryOfOtherLayout,
                        {path, other, own, phonetic ? "--cangjie" : "--phonetic"});
        case DictionaryFit::CutShort:
            return fail(Message::DictionaryCutShort,
                        {path, own,
                         countedText(static_cast<size_t>(shape.count), Counted::Entries, language_),
                         std::to_string(shape.entrySize)});
        }
        return true;
    }

    // A dictionary that annotates nothing is the wrong file, or one written
    // by the other family of Windows.
    void warnOfEmptyDictionary(const DictionaryFile& dictionary, const WholeFile& file) const {
        const CodeForm chosen = options_.codeForm;
        const CodeForm other = chosen == CodeForm::Pua ? CodeForm::Big5 : CodeForm::Pua;
        useDictionaryCodeForm(other);
        loadRadicalEntries(file.data.get(), file.size, dictionary.layoutId);
        const bool otherFormAnnotates = rangeHasRadicals(dictionary.layoutId);
        useDictionaryCodeForm(chosen);
        loadRadicalEntries(file.data.get(), file.size, dictionary.layoutId);
        if (otherFormAnnotates)
            warn(Message::DictionaryOtherForm,
                 {dictionary.path, codeFormName(chosen), codeFormName(other)});
        else
            warn(Message::DictionaryGivesNothing, {dictionary.path});
    }

    // One fontconfig session finds the label font and its fallbacks: each
    // session parses the configuration anew.
    bool openLabelFont() {
        FontconfigSession fontconfig;
        const LabelFont found = findLabelFont(options_.labelFamily);
        switch (found.problem) {
        case LabelFontProblem::None:
            break;
        case LabelFontProblem::NoSuchFamily:
            return fail(Message::NoSuchLabelFamily, {options_.labelFamily});
        case LabelFontProblem::NoChineseCharacters:
            return fail(Message::NoLabelFont, {options_.labelFamily});
        case LabelFontProblem::NoChineseFont:
            return fail(Message::NoChineseFont);
        }
        if (labelFont_.open(library_.get(), found.location.path, found.location.index) !=
            FontFile::Opened::Yes)
            return fail(Message::NoLabelFont, {options_.labelFamily});
        if (outlineFormatOf(labelFont_.face.get()) == OutlineFormat::None)
            return fail(Message::LabelFontNotTrueType, {options_.labelFamily});
        openFallbackFaces();
        return true;
    }

    // For each character of the header that the label font lacks, the
    // installed face that fontconfig offers for it, if that face has it in
    // outlines a PDF embeds; each face once. Where none has it, the page
    // shows the character's code point.
    void openFallbackFaces() {
        std::vector<FontLocation> opened;
        for (char32_t c : headerCharactersOutsideBig5()) {
            if (FT_Get_Char_Index(labelFont_.face.get(), c) != 0 || hasFallbackFor(c))
                continue;
            const FontLocation found = findFontWith(c);
            const bool known =
                std::any_of(opened.begin(), opened.end(), [&](const FontLocation& f) {
                    return f.path == found.path && f.index == found.index;
                });
            if (found.path.empty() || known)
                continue;
            opened.push_back(found);
            FontFile font;
            if (font.open(library_.get(), found.path, found.index) == FontFile::Opened::Yes &&
                outlineFormatOf(font.face.get()) != OutlineFormat::None &&
                FT_Get_Char_Index(font.face.get(), c) != 0)
                fallbackFaces_.push_back(std::move(font));
        }
    }

    bool hasFallbackFor(char32_t c) const {
        return std::any_of(fallbackFaces_.begin(), fallbackFaces_.end(), [&](const FontFile& f) {
            return FT_Get_Char_Index(f.face.get(), c) != 0;
        });
    }

    // The suggestion for each code of the job, from the index of the
    // reference fonts, which is let go once they are found.
    bool matchCodes(const TableJob& job) {
        const ReferenceFonts fonts =
            chooseReferenceFonts(library_.get(), options_.matchFonts, match::defaultReferences(),
                                 !options_.list, language_);
        for (const std::string& warning : fonts.warnings)
            report(warning);
        if (!fonts.error.empty()) {
            report(fonts.error);
            return false;
        }
        const std::string cachePath = match::indexCachePath();
        match::CachedIndex cached;
        {
            IndexProgress progress(STDERR_FILENO, language_);
            cached =
                match::loadOrBuildIndex(fonts.files, cachePath, [&](size_t done, size_t total) {
                    progress.show(done, total);
                });
        }
        for (const std::string& path : cached.index.unreadFiles())
            warn(Message::ReferenceFontNotAFont, {path});
        if (cached.index.size() == 0)
            return fail(Message::NoReferenceFont, {referencePackages(match::defaultReferences())});
        if (cached.use == match::CacheUse::Unwritten && cachePath.empty())
            warn(Message::IndexNoCacheFolder);
        else if (cached.use == match::CacheUse::Unwritten)
            warn(Message::IndexNotKept, {cachePath});
        matches_.emplace(job.codes(), eudc_, cached.index);
        referenceFaces_ = cached.index.faces();
        return true;
    }

    // The reference faces that the suggestions are drawn from, by their
    // number in the index; the others stay closed.
    bool openReferenceFaces(std::vector<FontFile>& faces) {
        faces.resize(referenceFaces_.size());
        for (size_t k = 0; k < faces.size(); ++k) {
            if (!matches_->usesFace(static_cast<int>(k)))
                continue;
            const std::string& path = referenceFaces_[k].path;
            switch (faces[k].open(library_.get(), path, referenceFaces_[k].faceIndex)) {
            case FontFile::Opened::Yes:
                break;
            case FontFile::Opened::Unreadable:
                return fail(Message::FileUnreadable, {path, std::strerror(errno)});
            case FontFile::Opened::NotAFont:
                return fail(Message::NotAFont, {path});
            }
        }
        return true;
    }

    bool write(const TableJob& job, const PaperGeometry& paper,
               const DocumentInformation& information) {
        std::vector<FontFile> referenceFaces;
        if (matches_ && !openReferenceFaces(referenceFaces))
            return false;
        OutputFile output;
        if (!output.open(options_.outputPath))
            return failToOpen(output);
        TablePdfProblem made = TablePdfProblem::None;
        std::string problem;
        std::optional<TableMatches> matches;
        if (matches_)
            matches.emplace(TableMatches{*matches_, referenceFaces});
        const std::unique_ptr<PdfDocument> document =
            makeTablePdf(job, paper, eudc_, labelFont_, fallbackFaces_,
                         matches ? &*matches : nullptr, made, problem);
        if (made == TablePdfProblem::EudcFont || made == TablePdfProblem::LabelFont ||
            made == TablePdfProblem::OtherFont)
            return fail(Message::FontNotSubset,
                        {made == TablePdfProblem::EudcFont    ? options_.fontPath
                         : made == TablePdfProblem::LabelFont ? labelFont_.path
                                                              : problem});
        if (!document)
            return fail(Message::OutputFailed, {options_.outputPath, problem});
        document->setInformation(information);
        problem = document->write(output.stream());
        if (!problem.empty())
            return fail(Message::OutputFailed, {options_.outputPath, problem});
        if (!output.commit())
            return fail(Message::OutputFailed, {options_.outputPath, output.error()});
        return true;
    }

    // A list on a terminal is read there.
    bool writeList(const TableJob& job) {
        OutputFile output(OutputFile::Staging::UnnamedWhereSupported,
                          OutputFile::Terminal::Allowed);
        if (!output.open(options_.outputPath))
            return failToOpen(output);
        if (!writeCodeList(job.codes(), eudc_, output.stream(), matches_ ? &*matches_ : nullptr))
            return fail(Message::ListFailed, {options_.outputPath, std::strerror(errno)});
        if (!output.commit())
            return fail(Message::ListFailed, {options_.outputPath, output.error()});
        return true;
    }

    bool failToOpen(const OutputFile& output) {
        switch (output.refusal()) {
        case OutputFile::Refusal::NotARegularFile:
            return fail(Message::OutputNotAFile, {options_.outputPath});
        case OutputFile::Refusal::NotWritable:
            return fail(Message::OutputNotWritable, {options_.outputPath, output.error()});
        case OutputFile::Refusal::Terminal:
            return fail(Message::OutputIsTerminal);
        case OutputFile::Refusal::None:
            break;
        }
        return fail(Message::OutputUnwritable, {options_.outputPath, output.error()});
    }

    Language language_;
    TableOptions options_;
    FreeTypeLibrary library_;
    EudcFont eudc_;
    FontFile labelFont_;
    std::vector<FontFile> fallbackFaces_;
    std::optional<CodeMatches> matches_;
    std::vector<match::ReferenceFace> referenceFaces_;
};

} // namespace

int runTableProgram(int argc, const char* const* argv) {
    return TableProgram(languageFromEnvironment()).run(argc, argv);
}

} // namespace kestra
