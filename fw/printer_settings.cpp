#include "fw/printer_settings.h"

#include <commdlg.h>

#include <cstring>

PrinterSettings::~PrinterSettings() {
    Replace(nullptr, nullptr);
}

void PrinterSettings::Replace(HGLOBAL devMode, HGLOBAL devNames) {
    if (m_hDevMode && m_hDevMode != devMode)
        GlobalFree(m_hDevMode);
    if (m_hDevNames && m_hDevNames != devNames)
        GlobalFree(m_hDevNames);
    m_hDevMode = devMode;
    m_hDevNames = devNames;
}

BOOL PrinterSettings::EnsurePrinter() {
    if (m_hDevNames)
        return TRUE;
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&pd))
        return FALSE;
    Replace(pd.hDevMode, pd.hDevNames);
    return m_hDevNames != nullptr;
}

BOOL PrinterSettings::RunSetupDialog(HWND owner) {
    PRINTDLGA pd{};
    pd.Flags = PD_PRINTSETUP;
    return RunDialog(owner, pd);
}

BOOL PrinterSettings::RunPrintDialog(HWND owner, PRINTDLGA& pd) {
    return RunDialog(owner, pd) && pd.hDC != nullptr;
}

BOOL PrinterSettings::RunDialog(HWND owner, PRINTDLGA& pd) {
    if (!EnsurePrinter())
        return FALSE;
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.hDevMode = m_hDevMode;
    pd.hDevNames = m_hDevNames;
    const BOOL accepted = PrintDlgA(&pd);
    // The dialog may have replaced (and freed) the blocks it was given.
    m_hDevMode = pd.hDevMode;
    m_hDevNames = pd.hDevNames;
    return accepted;
}

std::string PrinterSettings::DevNamesField(WORD DEVNAMES::*offset) const {
    if (!m_hDevNames)
        return "";
    const auto* names = static_cast<const DEVNAMES*>(GlobalLock(m_hDevNames));
    if (!names)
        return "";
    const std::string field = reinterpret_cast<const char*>(names) + names->*offset;
    GlobalUnlock(m_hDevNames);
    return field;
}

std::string PrinterSettings::DeviceName() const {
    return DevNamesField(&DEVNAMES::wDeviceOffset);
}

std::string PrinterSettings::PortName() const {
    return DevNamesField(&DEVNAMES::wOutputOffset);
}

HDC PrinterSettings::CreatePrinterDC() const {
    if (!m_hDevNames)
        return nullptr;
    const std::string driver = DevNamesField(&DEVNAMES::wDriverOffset);
    const std::string device = DeviceName();
    const DEVMODEA* mode =
        m_hDevMode ? static_cast<const DEVMODEA*>(GlobalLock(m_hDevMode)) : nullptr;
    HDC dc = CreateDCA(driver.c_str(), device.c_str(), nullptr, mode);
    if (mode)
        GlobalUnlock(m_hDevMode);
    return dc;
}

namespace {

// A DEVNAMES block: the offsets, then driver, device and port, each terminated.
HGLOBAL makeDevNames(const char* driver, const char* device, const char* port) {
    const size_t driverSize = std::strlen(driver) + 1;
    const size_t deviceSize = std::strlen(device) + 1;
    const size_t portSize = std::strlen(port) + 1;
    const size_t total = sizeof(DEVNAMES) + driverSize + deviceSize + portSize;
    if (total > 0xFFFF)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total);
    if (!block)
        return nullptr;
    auto* names = static_cast<DEVNAMES*>(GlobalLock(block));
    if (!names) {
        GlobalFree(block);
        return nullptr;
    }
    char* base = reinterpret_cast<char*>(names);
    names->wDriverOffset = static_cast<WORD>(sizeof(DEVNAMES));
    names->wDeviceOffset = static_cast<WORD>(names->wDriverOffset + driverSize);
    names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + deviceSize);
    std::memcpy(base + names->wDriverOffset, driver, driverSize);
    std::memcpy(base + names->wDeviceOffset, device, deviceSize);
    std::memcpy(base + names->wOutputOffset, port, portSize);
    GlobalUnlock(block);
    return block;
}

} // namespace

BOOL PrinterSettings::SelectPrinter(const char* printer, const char* driver, const char* port) {
    if (!printer || !*printer)
        return FALSE;
    HDC probe = CreateDCA(driver && *driver ? driver : nullptr, printer, nullptr, nullptr);
    if (!probe)
        return FALSE;
    DeleteDC(probe);
    HGLOBAL names = makeDevNames(driver ? driver : "", printer, port ? port : "");
    if (!names)
        return FALSE;
    // The printer's own defaults apply: no devmode of another printer.
    Replace(nullptr, names);
    return TRUE;
}
