#include "table/table_program.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>

#include "eudc/app_state.h"
#include "ime/radical_dictionary.h"
#include "ime/whole_file.h"
#include "table/big5_text.h"
#include "table/font_files.h"
#include "table/messages.h"
#include "table/output_file.h"
#include "table/pdf_surface.h"
#include "table/table_job.h"
#include "table/table_options.h"
#include "table/table_pdf.h"

namespace kestra {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// As the program's own loader allows: far beyond any real dictionary.
constexpr size_t kMaxDictionarySize = 64u << 20;

void report(const std::string& message) {
    std::fprintf(stderr, "kestra-table: %s\n", message.c_str());
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string absolutePath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : path;
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

    bool makeTable() {
        if (!openEudcFont())
            return false;
        const std::string fontPath = absolutePath(options_.fontPath);
        applyTableOptions(options_, big5_.fromUtf8(fileNameOf(fontPath)).c_str(),
                          big5_.fromUtf8(fontPath).c_str());
        if (!loadDictionaries() || !openLabelFont())
            return false;
        std::optional<std::vector<uint16_t>> chosen;
        if (options_.definedOnly) {
            chosen = definedCodesOfRange(eudc_);
            if (chosen->empty())
                return fail(Message::NoDefinedCode, {options_.fontPath});
        }
        const PaperGeometry paper = paperGeometry(options_.paper, options_.landscape);
        const TableJob job(paper.printable, chosen ? &*chosen : nullptr);
        if (!job.layout().fitsOnPage())
            return fail(Message::PageTooSmall);
        return write(job, paper, fileNameOf(fontPath));
    }

    bool openEudcFont() {
        if (library_.get() == nullptr || eudc_.open(library_.get(), options_.fontPath))
            return library_.get() != nullptr;
        switch (eudc_.problem()) {
        case FontProblem::Unreadable:
            return fail(Message::FileUnreadable, {options_.fontPath, eudc_.reason()});
        case FontProblem::NoPuaMapping:
            return fail(Message::NoPuaMapping, {options_.fontPath});
        default:
            return fail(Message::NotAFont, {options_.fontPath});
        }
    }

    bool loadDictionaries() {
        for (const DictionaryFile& dictionary : options_.dictionaries) {
            const WholeFile file = readWholeFile(dictionary.path.c_str(), kMaxDictionarySize);
            if (!file.ok)
                return fail(Message::DictionaryUnreadable,
                            {dictionary.path, dictionaryProblem(dictionary.path)});
            loadRadicalEntries(file.data.get(), file.size, dictionary.layoutId);
        }
        return true;
    }

    bool openLabelFont() {
        const std::optional<FontLocation> location = findLabelFont(options_.labelFamily);
        FT_Face face = nullptr;
        if (!location ||
            FT_New_Face(library_.get(), location->path.c_str(), location->index, &face) != 0)
            return fail(Message::NoLabelFont, {options_.labelFamily});
        labelFace_ = FontFace(face);
        return true;
    }

    bool write(const TableJob& job, const PaperGeometry& paper, const std::string& title) {
        OutputFile output;
        if (!output.open(options_.outputPath))
            return fail(Message::OutputUnwritable, {options_.outputPath, output.error()});
        const CairoFace glyphFace(eudc_.face());
        const CairoFace labelFace(labelFace_.get());
        const std::string problem =
            writeTablePdf(job, paper, {eudc_, glyphFace, labelFace}, title, output.stream());
        if (!problem.empty())
            return fail(Message::OutputFailed, {options_.outputPath, problem});
        if (!output.commit())
            return fail(Message::OutputFailed, {options_.outputPath, output.error()});
        return true;
    }

    FontconfigSession fontconfig_; // first in, last out
    Language language_;
    TableOptions options_;
    Big5Text big5_;
    FreeTypeLibrary library_;
    EudcFont eudc_;
    FontFace labelFace_;
};

} // namespace

int runTableProgram(int argc, const char* const* argv) {
    return TableProgram(languageFromEnvironment()).run(argc, argv);
}

} // namespace kestra
