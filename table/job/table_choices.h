// What one table is made of, however it was asked for: the codes, the
// dictionaries that annotate them and the paper they are laid out on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestra {

enum class Paper { A4, A3, A5, Letter, Legal };

// How a dictionary file records a character: U+E000 + PUA index, as the NT
// family's input methods write it, or the Big5 code, as Windows 95/98/Me's.
enum class CodeForm { Pua, Big5 };

struct DictionaryFile {
    uint32_t layoutId = 0;
    std::string path;
};

struct TableChoices {
    bool printAll = true;
    uint16_t rangeStart = 0; // checked EUDC codes, start <= end, when !printAll
    uint16_t rangeEnd = 0;
    std::vector<DictionaryFile> dictionaries; // in the order of their columns
    CodeForm codeForm = CodeForm::Pua;
    Paper paper = Paper::A4;
    bool landscape = false;
    bool definedOnly = false;
};

} // namespace kestra
