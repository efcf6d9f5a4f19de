#include "table/cli/reference_fonts.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "match/standard_code_points.h"
#include "table/fonts/font_files.h"
#include "table/fonts/font_subset.h"

namespace kestra {
namespace {

// Whether the face draws some standard Han character: the first is found
// within the first few hundred characters of a Chinese font's map, and a font
// of other scripts is walked through once.
bool hasStandardHanCharacter(FT_Face face) {
    if (!FT_IS_SCALABLE(face))
        return false;
    FT_UInt glyph = 0;
    for (FT_ULong c = FT_Get_First_Char(face, &glyph); glyph != 0;
         c = FT_Get_Next_Char(face, c, &glyph)) {
        if (match::standardCharacterOf(static_cast<char32_t>(c)) != 0)
            return true;
    }
    return false;
}

// Empty when the given file can serve, else why not.
std::string givenFontProblem(FT_Library library, const std::string& path, bool forPdf,
                             Language language) {
    MappedFile file;
    if (!file.map(path))
        return messageText(Message::FileUnreadable, language, {path, std::strerror(errno)});
    FontFace first(openFace(library, file, 0));
    if (first.get() == nullptr)
        return messageText(Message::NotAFont, language, {path});
    const long faces = first.get()->num_faces;
    bool found = false;
    for (long k = 0; k < faces; ++k) {
        FontFace face(k == 0 ? std::move(first)
                             : FontFace(openFace(library, file, static_cast<int>(k))));
        if (face.get() == nullptr || !hasStandardHanCharacter(face.get()))
            continue;
        if (forPdf && outlineFormatOf(face.get()) == OutlineFormat::None)
            return messageText(Message::FontNotEmbeddable, language, {path});
        found = true;
    }
    return found ? std::string() : messageText(Message::MatchFontNoHan, language, {path});
}

// The reason a file cannot be read, empty when it can.
std::string unreadableBecause(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    ::close(fd);
    return {};
}

// The terminal's control sequence that erases the line from the cursor on.
constexpr char kEraseToEnd[] = "\033[K";

} // namespace

std::string referencePackages(const std::vector<match::DefaultReference>& defaults) {
    std::vector<std::string> named;
    std::string packages;
    for (const match::DefaultReference& reference : defaults) {
        if (std::find(named.begin(), named.end(), reference.package) != named.end())
            continue;
        named.push_back(reference.package);
        packages += (packages.empty() ? "" : ", ") + reference.package;
    }
    return packages;
}

ReferenceFonts chooseReferenceFonts(FT_Library library, const std::vector<std::string>& given,
                                    const std::vector<match::DefaultReference>& defaults,
                                    bool forPdf, Language language) {
    ReferenceFonts fonts;
    for (const std::string& path : given) {
        fonts.error = givenFontProblem(library, path, forPdf, language);
        if (!fonts.error.empty())
            return fonts;
        fonts.files.push_back(path);
    }
    if (!given.empty())
        return fonts;
    for (const match::DefaultReference& reference : defaults) {
        const std::string problem = unreadableBecause(reference.path);
        if (problem.empty())
            fonts.files.push_back(reference.path);
        else
            fonts.warnings.push_back(messageText(Message::ReferenceFontMissing, language,
                                                 {reference.path, problem, reference.package}));
    }
    if (fonts.files.empty())
        fonts.error =
            messageText(Message::NoReferenceFont, language, {referencePackages(defaults)});
    return fonts;
}

IndexProgress::IndexProgress(int fd, Language language)
    : fd_(fd), language_(language), terminal_(::isatty(fd) == 1) {}

IndexProgress::~IndexProgress() {
    if (shownPercent_ >= 0)
        write(std::string(1, '\r') + kEraseToEnd);
}

// Rewritten only when the share done changes: a hundred writes at most. Each
// line erases what a longer one before it left.
void IndexProgress::show(size_t done, size_t total) {
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    if (!terminal_ || percent == shownPercent_)
        return;
    shownPercent_ = percent;
    std::string line(1, '\r');
    line += messageText(Message::IndexProgress, language_,
                        {std::to_string(total), std::to_string(percent)});
    write(line += kEraseToEnd);
}

void IndexProgress::write(const std::string& text) const {
    for (size_t at = 0; at < text.size();) {
        const ssize_t written = ::write(fd_, text.data() + at, text.size() - at);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        at += static_cast<size_t>(written);
    }
}

} // namespace kestra
