// The command line of kestra-table, read into the choices of one table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "table/cli/messages.h"
#include "table/job/table_choices.h"

namespace kestra {

// The choices of the table, and what the command line says besides: the
// files, the label font, and what to write.
struct TableOptions : TableChoices {
    std::string fontPath;
    std::string outputPath;
    std::string labelFamily = "AR PL UMing TW";
    int faceIndex = 0; // of a font collection
    bool list = false; // the codes as tab-separated text instead of a PDF
    // Each glyph's standard character suggested, found in the reference
    // fonts given (--match-font, which implies --match) or else the default ones.
    bool match = false;
    std::vector<std::string> matchFonts;
    bool help = false;
    bool version = false;
};

struct OptionsResult {
    bool ok = false;
    TableOptions options;
    std::string error; // in the chosen language, when !ok
};

// argv[0] is the program's name. --help, then --version, win over every
// other mistake.
OptionsResult parseTableOptions(int argc, const char* const* argv, Language language);

// FONT-FILE's name without folder and extension, with the extension given.
std::string defaultOutputPath(const std::string& fontPath, const char* extension = ".pdf");

} // namespace kestra
