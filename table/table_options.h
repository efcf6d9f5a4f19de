// The command line of kestra-table, read into the choices of one table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "table/messages.h"

namespace kestra {

enum class Paper { A4, A3, A5, Letter, Legal };

// How a dictionary file records a character: U+E000 + PUA index, as the NT
// family's input methods write it, or the Big5 code, as Windows 95/98/Me's.
enum class CodeForm { Pua, Big5 };

struct DictionaryFile {
    uint32_t layoutId = 0;
    std::string path;
};

struct TableOptions {
    std::string fontPath;
    std::string outputPath;
    bool printAll = true;
    uint16_t rangeStart = 0; // checked EUDC codes, start <= end, when !printAll
    uint16_t rangeEnd = 0;
    std::vector<DictionaryFile> dictionaries; // in the order of their columns
    CodeForm codeForm = CodeForm::Pua;
    Paper paper = Paper::A4;
    bool landscape = false;
    bool definedOnly = false;
    std::string labelFamily = "AR PL UMing TW";
    int faceIndex = 0; // of a font collection
    bool list = false; // the codes as tab-separated text instead of a PDF
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
