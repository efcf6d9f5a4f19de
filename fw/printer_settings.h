// The printer and paper that jobs use: the print setup dialog's choice, or
// the system's default printer. Kept by the application for its lifetime.
#pragma once

#include <windows.h>

#include <string>

class PrinterSettings {
  public:
    PrinterSettings() = default;
    ~PrinterSettings();
    PrinterSettings(const PrinterSettings&) = delete;
    PrinterSettings& operator=(const PrinterSettings&) = delete;

    // Fills in the default printer when none is chosen yet. FALSE when the
    // system has no printer.
    BOOL EnsurePrinter();
    // The print setup dialog; its choice is used by later jobs. FALSE when
    // cancelled or when there is no printer.
    BOOL RunSetupDialog(HWND owner);
    // The print dialog for a job; on OK, pd holds the DC and page range and
    // the choice of printer becomes the current one.
    BOOL RunPrintDialog(HWND owner, PRINTDLGA& pd);
    // A DC on the current printer (the caller deletes it), or null.
    HDC CreatePrinterDC() const;
    // Chooses a printer by name, as "/pt" asks; FALSE when it does not exist.
    BOOL SelectPrinter(const char* printer, const char* driver, const char* port);

    std::string DeviceName() const;
    std::string PortName() const;
    HGLOBAL DevMode() const { return m_hDevMode; }
    HGLOBAL DevNames() const { return m_hDevNames; }

  private:
    // The Print or Print Setup dialog on the kept printer and paper, which it updates.
    BOOL RunDialog(HWND owner, PRINTDLGA& pd);
    void Replace(HGLOBAL devMode, HGLOBAL devNames);
    std::string DevNamesField(WORD DEVNAMES::*offset) const;

    HGLOBAL m_hDevMode = nullptr;
    HGLOBAL m_hDevNames = nullptr;
};
