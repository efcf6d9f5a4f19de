#include <gtest/gtest.h>

#include <initializer_list>

#include "fw/command_line_info.h"
#include "fw/recent_file_list.h"

namespace {

CCommandLineInfo parse(std::initializer_list<const char*> args) {
    CCommandLineInfo info;
    size_t i = 0;
    for (const char* arg : args) {
        const bool flag = arg[0] == '/' || arg[0] == '-';
        info.ParseParam(flag ? arg + 1 : arg, flag, ++i == args.size());
    }
    return info;
}

TEST(CommandLine, NoArgumentsMakeANewDocumentAndAFileNameOpensIt) {
    EXPECT_EQ(parse({}).m_nShellCommand, CCommandLineInfo::FileNew);
    const CCommandLineInfo open = parse({"C:\\a.txt"});
    EXPECT_EQ(open.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(open.m_strFileName, "C:\\a.txt");
}

TEST(CommandLine, PrintSwitchesTakeTheFileAndThePrinterDriverAndPort) {
    const CCommandLineInfo print = parse({"/p", "a.txt"});
    EXPECT_EQ(print.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(print.m_strFileName, "a.txt");

    const CCommandLineInfo printTo = parse({"-PT", "a.txt", "Printer", "Driver", "Port", "x"});
    EXPECT_EQ(printTo.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(printTo.m_strFileName, "a.txt");
    EXPECT_EQ(printTo.m_strPrinterName, "Printer");
    EXPECT_EQ(printTo.m_strDriverName, "Driver");
    EXPECT_EQ(printTo.m_strPortName, "Port");
}

TEST(CommandLine, UnknownSwitchesAndExtraNamesAreIgnored) {
    const CCommandLineInfo info = parse({"/embedding", "a.txt", "b.txt"});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(info.m_strFileName, "a.txt");
}

TEST(RecentFiles, MostRecentFirstEachOnceAndNoMoreThanTheSize) {
    RecentFileList list;
    list.SetSize(4);
    for (const char* p : {"a", "b", "c", "d", "e"})
        list.Add(p);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"e", "d", "c", "b"}));
    list.Add("C"); // the same file, named in another case, moves up
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"C", "e", "d", "b"}));
    list.SetSize(2);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"C", "e"}));
    list.Add("");
    EXPECT_EQ(list.Paths().size(), 2u);
}

} // namespace
