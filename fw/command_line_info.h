// The standard command lines: none, a file name, "/p file" and
// "/pt file printer driver port".
#pragma once

#include <string>

class CCommandLineInfo {
  public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileNothing };

    int m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
    std::string m_strDriverName;
    std::string m_strPortName;

    virtual ~CCommandLineInfo() = default;
    // Called once per argument; flag is TRUE for "/x" or "-x" (then param has
    // no slash), last is TRUE for the final argument.
    virtual void ParseParam(const char* param, bool flag, bool last);

  private:
    void ParseFlag(const char* param);
    void ParseFileOrPrinterArgument(const char* param);
    int m_nPrintToArgs = 0;
};
