#include "table/cli/table_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "eudc/app_state.h"
#include "table/cli/reference_fonts.h"

namespace kestra {
namespace {

OptionsResult parse(std::vector<const char*> arguments, Language language = Language::English) {
    arguments.insert(arguments.begin(), "kestra-table");
    return parseTableOptions(static_cast<int>(arguments.size()), arguments.data(), language);
}

TEST(TableOptions, DefaultsPrintEveryCodeOfTheFontOnA4) {
    const OptionsResult result = parse({"fonts/EUDC.TTE"});
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.options.fontPath, "fonts/EUDC.TTE");
    EXPECT_EQ(result.options.outputPath, "EUDC.pdf");
    EXPECT_TRUE(result.options.printAll);
    EXPECT_EQ(result.options.paper, Paper::A4);
    EXPECT_FALSE(result.options.landscape);
    EXPECT_FALSE(result.options.definedOnly);
    EXPECT_EQ(result.options.codeForm, CodeForm::Pua);
    EXPECT_EQ(result.options.labelFamily, "AR PL UMing TW");
    EXPECT_EQ(result.options.faceIndex, 0);
}

TEST(TableOptions, EveryChoiceInTheUsualSpellings) {
    const OptionsResult result =
        parse({"--cangjie=cj.dat", "-oout.pdf", "--range", " fa40 -\tFA4F ", "--phonetic", "ph.dat",
               "--codes=BIG5", "--paper", "Letter", "--landscape", "--defined-only",
               "--label-font=Noto Serif CJK TC", "--face=1", "EUDC.TTE"});
    ASSERT_TRUE(result.ok) << result.error;
    const TableOptions& o = result.options;
    EXPECT_EQ(o.outputPath, "out.pdf");
    EXPECT_FALSE(o.printAll);
    EXPECT_EQ(o.rangeStart, 0xFA40);
    EXPECT_EQ(o.rangeEnd, 0xFA4F);
    ASSERT_EQ(o.dictionaries.size(), 2u);
    EXPECT_EQ(o.dictionaries[0].layoutId, kCangjieLayoutId) << "columns follow the order given";
    EXPECT_EQ(o.dictionaries[0].path, "cj.dat");
    EXPECT_EQ(o.dictionaries[1].layoutId, kPhoneticLayoutId);
    EXPECT_EQ(o.codeForm, CodeForm::Big5);
    EXPECT_EQ(o.paper, Paper::Letter);
    EXPECT_TRUE(o.landscape);
    EXPECT_TRUE(o.definedOnly);
    EXPECT_EQ(o.labelFamily, "Noto Serif CJK TC");
    EXPECT_EQ(o.faceIndex, 1);
}

struct RefusalCase {
    std::vector<const char*> arguments;
    const char* english;
    const char* chinese;
};

TEST(TableOptions, MistakesAreRefusedWithTheirMessage) {
    const RefusalCase cases[] = {
        {{"-r", "FA40-FA4", "F.TTE"},
         "range FA40-FA4: the end code is not complete",
         "範圍 FA40-FA4：結束碼輸入尚未完成！"},
        {{"-r", "FA4-FA40", "F.TTE"},
         "range FA4-FA40: the start code is not complete",
         "範圍 FA4-FA40：起始碼輸入尚未完成！"},
        {{"-r", "FA40", "F.TTE"},
         "range FA40: one dash must join the start and the end code (START-END)",
         "範圍 FA40：起始碼與結束碼之間要有一個連字號（起始碼-結束碼）"},
        {{"-r", "FA40--FA50", "F.TTE"},
         "range FA40--FA50: one dash must join the start and the end code (START-END)",
         "範圍 FA40--FA50：起始碼與結束碼之間要有一個連字號（起始碼-結束碼）"},
        {{"-r", "ＦＡ４０-fa50", "F.TTE"},
         "range ＦＡ４０-fa50: it is written in full-width characters: type it in half-width, as "
         "FA40-fa50",
         "範圍 ＦＡ４０-fa50：這是全形字元，請改用半形輸入：FA40-fa50"},
        {{"-r", "FA40-內碼", "F.TTE"},
         "range FA40-內碼: not a valid EUDC code (the end code 內碼)",
         "範圍 FA40-內碼：不是正確的外字字碼！（結束碼 內碼）"},
        {{"-r", "FA40F-FA4F", "F.TTE"},
         "range FA40F-FA4F: the start code FA40F is longer than four digits",
         "範圍 FA40F-FA4F：起始碼 FA40F 超過四位數"},
        {{"-r", "FA40- FA4F0", "F.TTE"},
         "range FA40- FA4F0: the end code FA4F0 is longer than four digits",
         "範圍 FA40- FA4F0：結束碼 FA4F0 超過四位數"},
        {{"-r", "FA40-FF40", "F.TTE"},
         "range FA40-FF40: not a valid EUDC code (the end code FF40)",
         "範圍 FA40-FF40：不是正確的外字字碼！（結束碼 FF40）"},
        {{"-r", "ZZZZ-FA40", "F.TTE"},
         "range ZZZZ-FA40: not a valid EUDC code (the start code ZZZZ)",
         "範圍 ZZZZ-FA40：不是正確的外字字碼！（起始碼 ZZZZ）"},
        {{"-r", "FA41-FA40", "F.TTE"},
         "range FA41-FA40: the start code is greater than the end code",
         "範圍 FA41-FA40：起始碼大於結束碼！"},
        {{"--paper", "b4", "F.TTE"},
         "unknown paper size b4 (a4, a3, a5, letter, legal)",
         "不認得的紙張大小 b4（a4、a3、a5、letter、legal）"},
        {{"--codes", "utf8", "F.TTE"},
         "unknown code form utf8 (pua, big5)",
         "不認得的字碼形式 utf8（pua、big5）"},
        {{"--phonetic", "a", "--phonetic", "b", "F.TTE"},
         "option --phonetic given twice",
         "選項 --phonetic 重複了"},
        {{"--colour", "F.TTE"}, "unknown option --colour", "不認得的選項 --colour"},
        {{"--face", "-1", "F.TTC"},
         "--face takes the number of a face, 0 for the first: -1",
         "--face 要指定字型的編號，第一個是 0：-1"},
        {{"--face", "123456", "F.TTC"},
         "--face takes the number of a face, 0 for the first: 123456",
         "--face 要指定字型的編號，第一個是 0：123456"},
        {{"--landscape=yes", "F.TTE"},
         "unknown option --landscape=yes",
         "不認得的選項 --landscape=yes"},
        {{"F.TTE", "-o"}, "option -o needs a value", "選項 -o 需要一個值"},
        {{"F.TTE", "-o", ""}, "the output file's name is empty", "輸出檔的檔名是空的"},
        {{"A.TTE", "B.TTE"},
         "one font file only: B.TTE is one too many",
         "只能指定一個造字檔：B.TTE 是多出來的"},
        {{"-o", "x.pdf"}, "no font file given", "沒有指定造字檔"},
    };
    for (const RefusalCase& c : cases) {
        const OptionsResult english = parse(c.arguments);
        EXPECT_FALSE(english.ok) << c.english;
        EXPECT_EQ(english.error, c.english);
        EXPECT_EQ(parse(c.arguments, Language::Chinese).error, c.chinese);
    }
}

TEST(TableOptions, HelpWinsOverOtherMistakesButNotAfterTheEndOfOptions) {
    EXPECT_TRUE(parse({"--colour", "-h"}).options.help);
    EXPECT_TRUE(parse({"--help"}).ok);
    const OptionsResult fontNamedHelp = parse({"--", "--help"});
    ASSERT_TRUE(fontNamedHelp.ok);
    EXPECT_FALSE(fontNamedHelp.options.help);
    EXPECT_EQ(fontNamedHelp.options.fontPath, "--help");
}

TEST(TableOptions, DefaultOutputIsTheFontsNameAsPdfHere) {
    EXPECT_EQ(defaultOutputPath("/srv/fonts/school.tte"), "school.pdf");
    EXPECT_EQ(defaultOutputPath("EUDC"), "EUDC.pdf");
    EXPECT_EQ(defaultOutputPath("dir.v2/.hidden"), ".hidden.pdf");
}

// A default reference font that cannot be read is left out, named with its
// package; with none left the run is refused, each package named once.
TEST(ReferenceFonts, DefaultsThatCannotBeReadAreNamedWithTheirPackage) {
    const std::string present = KESTRA_TABLE_FONT_DIR "/EUDC.TTE";
    const std::vector<match::DefaultReference> missing = {{"/nonexistent/A.ttf", "fonts-two"},
                                                          {"/nonexistent/B.ttf", "fonts-two"}};
    std::vector<match::DefaultReference> defaults = {{present, "fonts-one"}};
    defaults.insert(defaults.end(), missing.begin(), missing.end());
    const ReferenceFonts some =
        chooseReferenceFonts(nullptr, {}, defaults, false, Language::English);
    EXPECT_EQ(some.files, std::vector<std::string>{present});
    ASSERT_EQ(some.warnings.size(), 2u);
    EXPECT_EQ(some.warnings[1], "warning: the reference font /nonexistent/B.ttf cannot be read (No "
                                "such file or directory): it comes with the package fonts-two; "
                                "matching goes on without it");
    EXPECT_EQ(some.error, "");
    defaults = missing;
    defaults.push_back({"/nonexistent/C.ttf", "fonts"});
    const ReferenceFonts none =
        chooseReferenceFonts(nullptr, {}, defaults, false, Language::English);
    EXPECT_TRUE(none.files.empty());
    EXPECT_EQ(none.error, "no reference font to match against can be read: install fonts-two, "
                          "fonts, or name fonts with --match-font");
}

} // namespace
} // namespace kestra
