#include "table/messages.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "print/text_format.h"

namespace kestra {
namespace {

struct MessageTexts {
    Message message;
    const char* english;
    const char* chinese;
};

// The four range messages are the range dialog's strings 61446-61449.
const MessageTexts kMessages[] = {
    {Message::Usage,
     "Usage: kestra-table [OPTION]... FONT-FILE\n"
     "Writes the reference table of an EUDC font file (.TTE) as a PDF: every\n"
     "user-defined Big5 code with its glyph, its code and, on request, its\n"
     "Phonetic and Cangjie radicals.\n"
     "\n"
     "  -o, --output FILE        the PDF to write (default: FONT-FILE's name with .pdf,\n"
     "                           in the current folder)\n"
     "  -r, --range START-END    only the codes START to END in code order, four\n"
     "                           hexadecimal digits each (default: all codes in\n"
     "                           private-use order)\n"
     "      --phonetic FILE      Phonetic (zhuyin) radical dictionary\n"
     "      --cangjie FILE       Cangjie radical dictionary; the dictionaries'\n"
     "                           columns follow the order of these options\n"
     "      --codes pua|big5     how the dictionaries record a character: its code\n"
     "                           point from U+E000 (Windows NT family, the default)\n"
     "                           or its Big5 code (Windows 95/98/Me)\n"
     "      --paper a4|a3|a5|letter|legal   paper size (default a4)\n"
     "      --landscape          landscape pages\n"
     "      --defined-only       leave out every code that has no glyph in the font\n"
     "      --label-font FAMILY  the fontconfig family of the codes, headings and\n"
     "                           radicals (default \"AR PL UMing TW\")\n"
     "  -h, --help               show this help\n"
     "\n"
     "The page is the paper less a 5 mm margin on each side.\n",
     "用法：kestra-table [選項]... 造字檔\n"
     "把造字檔（.TTE）的對照表寫成 PDF：每個使用者自造字的 Big5 內碼、字形，\n"
     "並可附上注音、倉頡字根。\n"
     "\n"
     "  -o, --output 檔案        要寫出的 PDF（預設：造字檔的檔名改為 .pdf，放在目前的資料夾）\n"
     "  -r, --range 起始碼-結束碼  只印起始碼到結束碼（依內碼順序），各為四位十六進位數字\n"
     "                           （預設：依私用區順序印全部的字碼）\n"
     "      --phonetic 檔案      注音輸入法字根檔\n"
     "      --cangjie 檔案       倉頡輸入法字根檔；字根欄的順序依這兩個選項出現的順序\n"
     "      --codes pua|big5     字根檔記錄字元的方式：自 U+E000 起的字碼（Windows NT 系列，\n"
     "                           預設）或 Big5 內碼（Windows 95/98/Me）\n"
     "      --paper a4|a3|a5|letter|legal   紙張大小（預設 a4）\n"
     "      --landscape          橫向列印\n"
     "      --defined-only       略去造字檔中沒有字形的字碼\n"
     "      --label-font 字型    內碼、標題與字根所用的 fontconfig 字型\n"
     "                           （預設 \"AR PL UMing TW\"）\n"
     "  -h, --help               顯示這份說明\n"
     "\n"
     "頁面為紙張四邊各留 5 公釐後的範圍。\n"},
    {Message::TryHelp, "Try 'kestra-table --help' for more information.",
     "請執行 'kestra-table --help' 看說明。"},
    {Message::UnknownOption, "unknown option %s", "不認得的選項 %s"},
    {Message::MissingValue, "option %s needs a value", "選項 %s 需要一個值"},
    {Message::UnknownPaper, "unknown paper size %s (a4, a3, a5, letter, legal)",
     "不認得的紙張大小 %s（a4、a3、a5、letter、legal）"},
    {Message::UnknownCodeForm, "unknown code form %s (pua, big5)",
     "不認得的字碼形式 %s（pua、big5）"},
    {Message::DictionaryTwice, "option %s given twice", "選項 %s 重複了"},
    {Message::NoFontFile, "no font file given", "沒有指定造字檔"},
    {Message::ExtraArgument, "one font file only: %s is one too many",
     "只能指定一個造字檔：%s 是多出來的"},
    {Message::InvalidEudcCode, "Not a valid EUDC code!", "不是正確的外字字碼！"},
    {Message::StartCodeIncomplete, "The start code is not complete!", "起始碼輸入尚未完成！"},
    {Message::EndCodeIncomplete, "The end code is not complete!", "結束碼輸入尚未完成！"},
    {Message::StartAfterEnd, "The start code is greater than the end code!", "起始碼大於結束碼！"},
    {Message::RangeRejected, "range %s: %s", "範圍 %s：%s"},
    {Message::FileUnreadable, "%s: cannot be read: %s", "%s：無法讀取：%s"},
    {Message::NotAFont, "%s: not a font file", "%s：不是字型檔"},
    {Message::NoPuaMapping, "%s: the font maps no character of U+E000 to U+F848",
     "%s：這個字型沒有 U+E000 到 U+F848 的任何字元"},
    {Message::DictionaryUnreadable, "%s: the radical dictionary cannot be read: %s",
     "%s：無法讀取字根檔：%s"},
    {Message::NoLabelFont, "no font \"%s\" with Chinese characters was found",
     "找不到含有中文字的字型「%s」"},
    {Message::NoDefinedCode, "%s: none of the codes to print has a glyph in the font",
     "%s：要印的字碼在這個字型裡都沒有字形"},
    {Message::PageTooSmall,
     "The page is too small for even one cell of the table: choose larger paper, "
     "landscape pages or fewer input methods.",
     "紙張太小，一頁連一格表格都放不下。請改用較大的紙張、橫向列印或減少註解的輸入法。"},
    {Message::OutputUnwritable, "%s: cannot write in this folder: %s",
     "%s：無法在這個資料夾寫入：%s"},
    {Message::OutputFailed, "%s: writing the PDF failed: %s", "%s：寫出 PDF 失敗：%s"},
};

const char* templateOf(Message message, Language language) {
    for (const MessageTexts& texts : kMessages) {
        if (texts.message == message)
            return language == Language::Chinese ? texts.chinese : texts.english;
    }
    return "";
}

bool isSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

} // namespace

Language languageFor(const char* lcAll, const char* lcMessages, const char* lang) {
    const char* locale = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : lang;
    return isSet(locale) && std::strncmp(locale, "zh", 2) == 0 ? Language::Chinese
                                                               : Language::English;
}

Language languageFromEnvironment() {
    return languageFor(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

std::string messageText(Message message, Language language,
                        std::initializer_list<std::string> fields) {
    const char* format = templateOf(message, language);
    std::vector<const char*> fieldTexts;
    size_t size = std::strlen(format) + 1;
    for (const std::string& field : fields) {
        fieldTexts.push_back(field.c_str());
        size += field.size();
    }
    std::vector<char> out(size);
    const int length = formatFields(out.data(), static_cast<int>(size), format, fieldTexts.data(),
                                    static_cast<int>(fieldTexts.size()));
    return std::string(out.data(), static_cast<size_t>(length));
}

} // namespace kestra
