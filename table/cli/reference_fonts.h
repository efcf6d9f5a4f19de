// The reference fonts that --match compares glyphs against: the files given,
// each checked, or else the packaged default ones that can be read; and the
// progress of their index being built, shown on a terminal.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <string>
#include <vector>

#include "match/default_references.h"
#include "table/cli/messages.h"

namespace kestra {

struct ReferenceFonts {
    std::vector<std::string> files;
    std::vector<std::string> warnings;
    std::string error; // not empty: there is nothing to match against
};

// Each given file must be a font with standard Han characters in outlines
// (of a kind a PDF embeds, forPdf); the first that is not is the error. A
// default font that cannot be read is left out with a warning that names
// its package; with none left, the error names every package.
ReferenceFonts chooseReferenceFonts(FT_Library library, const std::vector<std::string>& given,
                                    const std::vector<match::DefaultReference>& defaults,
                                    bool forPdf, Language language);

// The packages of the default fonts, each once: "fonts-a, fonts-b".
std::string referencePackages(const std::vector<match::DefaultReference>& defaults);

// One line on the file descriptor, rewritten in place as the index is built,
// and cleared when the build is over; nothing unless it is a terminal, where
// a person waits for the run.
class IndexProgress {
  public:
    IndexProgress(int fd, Language language);
    ~IndexProgress();
    IndexProgress(const IndexProgress&) = delete;
    IndexProgress& operator=(const IndexProgress&) = delete;

    void show(size_t done, size_t total);

  private:
    void write(const std::string& text) const;

    int fd_;
    Language language_;
    bool terminal_;
    int shownPercent_ = -1; // none shown yet
};

} // namespace kestra
