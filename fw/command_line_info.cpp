#include "fw/command_line_info.h"

#include <cstring>

namespace {

bool equalsIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        const char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a + 32) : *a;
        const char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b + 32) : *b;
        if (x != y)
            return false;
    }
    return *a == *b;
}

} // namespace

void CCommandLineInfo::ParseParam(const char* param, bool flag, bool) {
    if (flag)
        ParseFlag(param);
    else
        ParseFileOrPrinterArgument(param);
}

void CCommandLineInfo::ParseFlag(const char* param) {
    if (equalsIgnoringAsciiCase(param, "p"))
        m_nShellCommand = FilePrint;
    else if (equalsIgnoringAsciiCase(param, "pt"))
        m_nShellCommand = FilePrintTo;
    // Other switches (automation, DDE) are not offered by this program.
}

void CCommandLineInfo::ParseFileOrPrinterArgument(const char* param) {
    if (m_strFileName.empty()) {
        m_strFileName = param;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
        return;
    }
    if (m_nShellCommand != FilePrintTo)
        return;
    switch (m_nPrintToArgs++) {
    case 0:
        m_strPrinterName = param;
        break;
    case 1:
        m_strDriverName = param;
        break;
    case 2:
        m_strPortName = param;
        break;
    default:
        break;
    }
}
