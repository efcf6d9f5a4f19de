#include "table/cli/messages.h"

#include <cstdio>
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

// One style throughout: a file's name first where a file is at fault, then
// what is wrong, then what to do; no closing full stop. The four range
// messages are in Chinese the range dialog's own strings 61446-61449, its
// exclamation marks kept.
const MessageTexts kMessages[] = {
    {Message::Usage,
     "Usage: kestra-table [OPTION]... FONT-FILE\n"
     "Writes the reference table of an EUDC font file (.TTE) as a PDF: every\n"
     "user-defined Big5 code with its glyph, its code and, on request, its\n"
     "Phonetic and Cangjie radicals.\n"
     "\n"
     "  -o, --output FILE        the PDF to write (default: FONT-FILE's name with .pdf,\n"
     "                           or .tsv with --list, in the current folder); - for\n"
     "                           standard output\n"
     "      --list               write the same codes as tab-separated text instead:\n"
     "                           Big5 code, Unicode code point, whether the font has a\n"
     "                           glyph, then the radicals of each dictionary\n"
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
     "      --face N             the face of a font collection (.TTC) to draw, 0 for\n"
     "                           the first (the default)\n"
     "      --match              suggest for each glyph the standard Unicode character\n"
     "                           of the same shape, found in the reference fonts: in\n"
     "                           the PDF beside the glyph, drawn in the reference font\n"
     "                           with its code point; with --list in two more columns,\n"
     "                           standard (U+XXXX, empty when no character is close\n"
     "                           enough) and similarity (0.000 to 1.000, that of the\n"
     "                           nearest character even when it is not close enough)\n"
     "      --match-font FILE    a reference font for --match, which it implies; give\n"
     "                           it again for more. Replaces the default ones: TW-Sung\n"
     "                           and TW-Sung-Ext-B (package fonts-cns11643-sung),\n"
     "                           HanaMinA and HanaMinB (fonts-hanazono), BabelStoneHan\n"
     "                           (fonts-babelstone-han)\n"
     "  -h, --help               show this help\n"
     "      --version            show the version\n"
     "\n"
     "The page is the paper less a 5 mm margin on each side. An input file is never\n"
     "the output, and only a regular file (or a link to one) that you may write is\n"
     "replaced; it keeps its permissions. The index of the reference fonts is built\n"
     "once and kept in $XDG_CACHE_HOME/kestra (else ~/.cache/kestra), and built again\n"
     "when a reference font changes.\n",
     "用法：kestra-table [選項]... 造字檔\n"
     "把造字檔（.TTE）的對照表寫成 PDF：每個使用者自造字的 Big5 內碼、字形，\n"
     "並可附上注音、倉頡字根。\n"
     "\n"
     "  -o, --output 檔案        要寫出的 PDF（預設：造字檔的檔名改為 .pdf，加 --list 時為\n"
     "                           .tsv，放在目前的資料夾）；- 表示寫到標準輸出\n"
     "      --list               改為寫出同一批字碼的 tab 分隔文字：Big5 內碼、Unicode\n"
     "                           字碼、字型是否有字形，再依序是各字根檔的字根\n"
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
     "      --face 編號          集合字型檔（.TTC）中要使用的字型，第一個是 0（預設）\n"
     "      --match              從參考字型中找出與每個字形相同的 Unicode 標準字：PDF\n"
     "                           在字形旁以參考字型畫出這個字並標上字碼；加 --list 時\n"
     "                           多兩欄，standard（U+XXXX，沒有夠相似的字時空白）與\n"
     "                           similarity（0.000 到 1.000，即使不夠相似也列出最相似\n"
     "                           的字的相似度）\n"
     "      --match-font 檔案    --match 的參考字型，可重複指定（指定它即表示\n"
     "                           --match）；取代預設的 TW-Sung 與 TW-Sung-Ext-B\n"
     "                           （套件 fonts-cns11643-sung）、HanaMinA 與 HanaMinB\n"
     "                           （fonts-hanazono）、BabelStoneHan\n"
     "                           （fonts-babelstone-han）\n"
     "  -h, --help               顯示這份說明\n"
     "      --version            顯示版本\n"
     "\n"
     "頁面為紙張四邊各留 5 公釐後的範圍。輸入的檔案絕不會被當成輸出檔，\n"
     "而且只會取代您有權寫入的一般檔案（或指向一般檔案的連結），並保留它的權限。\n"
     "參考字型的索引只建立一次，存放在 $XDG_CACHE_HOME/kestra（或 ~/.cache/kestra），\n"
     "參考字型改變時會重新建立。\n"},
    {Message::TryHelp, "try 'kestra-table --help' for more information",
     "請執行 'kestra-table --help' 看說明"},
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
    {Message::InvalidEudcCode, "not a valid EUDC code", "不是正確的外字字碼！"},
    {Message::StartCodeIncomplete, "the start code is not complete", "起始碼輸入尚未完成！"},
    {Message::EndCodeIncomplete, "the end code is not complete", "結束碼輸入尚未完成！"},
    {Message::StartAfterEnd, "the start code is greater than the end code", "起始碼大於結束碼！"},
    {Message::RangeRejected, "range %s: %s", "範圍 %s：%s"},
    {Message::RangeNeedsOneDash, "one dash must join the start and the end code (START-END)",
     "起始碼與結束碼之間要有一個連字號（起始碼-結束碼）"},
    {Message::RangeFullWidth,
     "it is written in full-width characters: type it in half-width, as %s",
     "這是全形字元，請改用半形輸入：%s"},
    {Message::StartCodeTooLong, "the start code %s is longer than four digits",
     "起始碼 %s 超過四位數"},
    {Message::EndCodeTooLong, "the end code %s is longer than four digits", "結束碼 %s 超過四位數"},
    {Message::WhichStartCode, " (the start code %s)", "（起始碼 %s）"},
    {Message::WhichEndCode, " (the end code %s)", "（結束碼 %s）"},
    {Message::FileUnreadable, "%s: cannot be read: %s", "%s：無法讀取：%s"},
    {Message::NotAFont, "%s: not a font file", "%s：不是字型檔"},
    {Message::NoPuaMapping, "%s: the font maps no character of U+E000 to U+F848",
     "%s：這個字型沒有 U+E000 到 U+F848 的任何字元"},
    {Message::FontTruncated, "%s: the file is cut short: it ends before %s (%s)",
     "%s：檔案不完整，被截斷了：%s在檔案結尾之後（%s）"},
    {Message::FontDamaged, "%s: the font is damaged: %s cannot be read (%s)",
     "%s：字型檔已損壞：%s無法讀取（%s）"},
    {Message::TextFontWarning,
     "warning: %s maps characters outside the private-use area (%s of them, the first %s): "
     "it looks like a text font, not an EUDC font",
     "警告：%s 對應了私用區以外的字元（共 %s 個，第一個是 %s），看來是一般文字的字型，不是造字檔"},
    {Message::DictionaryUnreadable, "%s: the radical dictionary cannot be read: %s",
     "%s：無法讀取字根檔：%s"},
    {Message::DictionaryTooShort,
     "%s: not a radical dictionary: it holds %s, less than the 258 of a dictionary's header",
     "%s：不是字根檔：檔案只有 %s，比字根檔 258 位元組的檔頭還短"},
    {Message::DictionaryIsAFont, "%s: a font file, not a radical dictionary",
     "%s：這是字型檔，不是字根檔"},
    {Message::DictionaryOfOtherLayout, "%s: a %s dictionary, not a %s one: give it with %s",
     "%s：這是%s字根檔，不是%s字根檔：請以 %s 指定它"},
    {Message::DictionaryCutShort,
     "%s: not a %s dictionary: its header counts %s of %s bytes, more than the file holds",
     "%s：不是%s字根檔：檔頭記載有 %s（每筆 %s 位元組），超過檔案的長度"},
    {Message::PhoneticName, "Phonetic", "注音"},
    {Message::CangjieName, "Cangjie", "倉頡"},
    {Message::DictionaryGivesNothing,
     "warning: %s gives no code of the table its radicals: is it the right dictionary?",
     "警告：%s 沒有提供表中任何字碼的字根，是不是選錯了字根檔？"},
    {Message::DictionaryOtherForm,
     "warning: %s gives no code of the table its radicals with --codes %s; "
     "with --codes %s it would",
     "警告：%s 以 --codes %s 讀取時沒有提供表中任何字碼的字根；改用 --codes %s 就有"},
    {Message::NoLabelFont,
     "the font \"%s\" lacks characters the labels need: the digits and letters of the codes, "
     "or the Chinese of the headings; --label-font names another (fc-list :lang=zh-tw family "
     "lists them)",
     "字型「%s」缺少標示所需的字元：內碼的數字與字母，或標題的中文字；請以 --label-font "
     "指定其他字型（fc-list :lang=zh-tw family 會列出可用的字型）"},
    {Message::NoSuchLabelFamily,
     "no font family \"%s\" is installed; --label-font names another (fc-list :lang=zh-tw "
     "family lists them)",
     "沒有安裝「%s」這個字型；請以 --label-font 指定其他字型（fc-list :lang=zh-tw family "
     "會列出可用的字型）"},
    {Message::NoChineseFont,
     "no font with Chinese characters is installed: install one (such as AR PL UMing TW) "
     "and name its family with --label-font",
     "沒有安裝任何含有中文字的字型：請安裝一個（例如 AR PL UMing TW），"
     "並以 --label-font 指定它的名稱"},
    {Message::LabelFontNotTrueType,
     "\"%s\" has neither TrueType nor CFF outlines, the kinds the table embeds: choose "
     "another family with --label-font (such as AR PL UMing TW)",
     "「%s」的外框既不是 TrueType 也不是 CFF，無法內嵌到表格裡：請以 --label-font 指定其他字型"
     "（例如 AR PL UMing TW）"},
    {Message::NoDefinedCode, "%s: none of the codes to print has a glyph in the font",
     "%s：要印的字碼在這個字型裡都沒有字形"},
    {Message::PageTooSmall,
     "the page is too small for even one cell of the table: choose larger paper, "
     "landscape pages or fewer input methods",
     "紙張太小，一頁連一格表格都放不下：請改用較大的紙張、橫向列印或減少註解的輸入法"},
    {Message::EmptyOutputName, "the output file's name is empty", "輸出檔的檔名是空的"},
    {Message::OutputIsInput, "the output %s is the input %s: choose another output file",
     "輸出檔 %s 就是輸入檔 %s，請改用其他輸出檔"},
    {Message::OutputNotAFile,
     "%s: is not a regular file (a folder, device, FIFO or socket) and is not replaced",
     "%s：不是一般檔案（而是資料夾、裝置、FIFO 或 socket），不會取代它"},
    {Message::OutputIsTerminal,
     "standard output is a terminal: redirect it to a file or a program, or name a file "
     "with -o",
     "標準輸出是終端機：請把它導向檔案或程式，或以 -o 指定檔案"},
    {Message::OutputUnwritable, "%s: cannot write in this folder: %s",
     "%s：無法在這個資料夾寫入：%s"},
    {Message::OutputNotWritable, "%s: cannot be replaced: %s", "%s：無法取代這個檔案：%s"},
    {Message::OutputFailed, "%s: writing the PDF failed: %s", "%s：寫出 PDF 失敗：%s"},
    {Message::ListFailed, "%s: writing the list failed: %s", "%s：寫出字碼清單失敗：%s"},
    {Message::NoSuchFace, "%s: the file holds %s faces: --face takes 0 to %s",
     "%s：這個檔案只有 %s 個字型：--face 可指定 0 到 %s"},
    {Message::FaceNumberWanted, "--face takes the number of a face, 0 for the first: %s",
     "--face 要指定字型的編號，第一個是 0：%s"},
    {Message::FaceOfCollection,
     "%s is a collection of %s faces: drawing face %s, \"%s\" (--face chooses another)",
     "%s 是含有 %s 個字型的集合檔：使用第 %s 個字型「%s」（可用 --face 指定其他字型）"},
    {Message::GlyphsPastLastCode,
     "warning: %s draws %s of U+F849 to U+F8FF, past the last user-defined code's "
     "U+F848: no table shows them",
     "警告：%s 在 U+F849 到 U+F8FF 有%s，超出最後一個造字碼的 U+F848，表中不會印出"},
    {Message::FontNotEmbeddable,
     "%s: the font's outlines are neither TrueType nor CFF, the kinds a PDF embeds",
     "%s：字型的外框既不是 TrueType 也不是 CFF，無法內嵌到 PDF"},
    {Message::FontNotSubset, "%s: HarfBuzz cannot cut the font down to the table's glyphs",
     "%s：HarfBuzz 無法從這個字型取出表中用到的字形"},
    {Message::MatchFontNoHan, "%s: holds no standard Han character in outlines to match against",
     "%s：沒有任何可供比對的標準漢字外框字形"},
    {Message::ReferenceFontMissing,
     "warning: the reference font %s cannot be read (%s): it comes with the package %s; "
     "matching goes on without it",
     "警告：無法讀取參考字型 %s（%s）：它屬於套件 %s；比對時將略過它"},
    {Message::ReferenceFontNotAFont,
     "warning: the reference font %s is not a font file: matching goes on without it",
     "警告：參考字型 %s 不是字型檔：比對時將略過它"},
    {Message::NoReferenceFont,
     "no reference font to match against can be read: install %s, or name fonts with "
     "--match-font",
     "沒有可讀取的參考字型可供比對：請安裝 %s，或以 --match-font 指定字型"},
    {Message::IndexNotKept,
     "warning: the index of the reference fonts cannot be kept in %s: the next run builds it "
     "again",
     "警告：參考字型的索引無法存放在 %s：下次執行時會重新建立"},
    {Message::IndexNoCacheFolder,
     "warning: the index of the reference fonts cannot be kept, as neither XDG_CACHE_HOME nor "
     "HOME names a folder: the next run builds it again",
     "警告：XDG_CACHE_HOME 與 HOME 都沒有指定資料夾，參考字型的索引無法保存：下次執行時會重新建立"},
    {Message::IndexProgress,
     "kestra-table: indexing the reference fonts (once): %s glyphs, %s%% done",
     "kestra-table：正在建立參考字型的索引（只需一次）：共 %s 個字形，已完成 %s%%"},
};

struct CountedTexts {
    Counted what;
    const char* one;
    const char* many;
    const char* chinese;
};

const CountedTexts kCounted[] = {
    {Counted::Glyphs, "the glyph of %zu code", "the glyphs of %zu codes", "有 %zu 個字碼的字形"},
    {Counted::Characters, "the glyph of %zu character", "the glyphs of %zu characters",
     " %zu 個字元的字形"},
    {Counted::Entries, "%zu entry", "%zu entries", "%zu 筆資料"},
    {Counted::Bytes, "%zu byte", "%zu bytes", "%zu 位元組"},
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

std::string countedText(size_t count, Counted what, Language language) {
    const char* format = "%zu";
    for (const CountedTexts& texts : kCounted) {
        if (texts.what == what)
            format = language == Language::Chinese ? texts.chinese
                     : count == 1                  ? texts.one
                                                   : texts.many;
    }
    char text[64];
    std::snprintf(text, sizeof text, format, count);
    return text;
}

} // namespace kestra
