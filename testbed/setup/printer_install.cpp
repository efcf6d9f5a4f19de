#include "testbed/setup/printer_install.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>

#include "testbed/setup/bed_layout.h"

namespace testbed {
namespace {

unsigned long reportFailure(const char* step) {
    const unsigned long error = GetLastError();
    std::fprintf(stderr, "setup: %s failed, error %lu\n", step, error);
    return error ? error : ERROR_GEN_FAILURE;
}

// The spooler only accepts ports it knows; a Unix path becomes one by being a
// value name under the Ports key.
unsigned long registerPort(const char* portPath) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                              "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports", 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        std::fprintf(stderr, "setup: opening the Ports key failed, error %ld\n", rc);
        return static_cast<unsigned long>(rc);
    }
    rc = RegSetValueExA(key, portPath, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(key);
    return static_cast<unsigned long>(rc);
}

bool addDriver() {
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(kPsDriverName);
    driver.pDriverPath = const_cast<char*>("wineps.drv");
    driver.pConfigFile = const_cast<char*>("wineps.drv");
    driver.pDataFile = const_cast<char*>(kPpdFileName);
    driver.pDefaultDataType = const_cast<char*>("RAW");
    if (AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver)))
        return true;
    return GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

// Opens the printer, creating it when it is not there yet.
HANDLE addOrOpenPrinter(const char* portPath) {
    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(kPrinterName);
    info.pPortName = const_cast<char*>(portPath);
    info.pDriverName = const_cast<char*>(kPsDriverName);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer || GetLastError() != ERROR_PRINTER_ALREADY_EXISTS)
        return printer;
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA(const_cast<char*>(kPrinterName), &printer, &access))
        return nullptr;
    return printer;
}

// The driver takes its first paper size from the locale; the table pages are
// laid out for A4, so make A4 the printer's own default.
bool setA4Default(HANDLE printer) {
    const LONG size =
        DocumentPropertiesA(nullptr, printer, const_cast<char*>(kPrinterName), nullptr, nullptr, 0);
    if (size <= 0)
        return false;
    auto* mode = static_cast<DEVMODEA*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
    if (!mode)
        return false;
    bool ok = false;
    if (DocumentPropertiesA(nullptr, printer, const_cast<char*>(kPrinterName), mode, nullptr,
                            DM_OUT_BUFFER) == IDOK) {
        mode->dmFields |= DM_PAPERSIZE | DM_ORIENTATION;
        mode->dmPaperSize = DMPAPER_A4;
        mode->dmOrientation = DMORIENT_PORTRAIT;
        PRINTER_INFO_8A globalDefaults = {mode};
        ok = SetPrinterA(printer, 8, reinterpret_cast<BYTE*>(&globalDefaults), 0);
    }
    HeapFree(GetProcessHeap(), 0, mode);
    return ok;
}

} // namespace

unsigned long installFilePrinter(const char* portPath) {
    if (const unsigned long rc = registerPort(portPath))
        return rc;
    if (!addDriver())
        return reportFailure("AddPrinterDriverA");
    HANDLE printer = addOrOpenPrinter(portPath);
    if (!printer)
        return reportFailure("AddPrinterA");
    const bool a4 = setA4Default(printer);
    ClosePrinter(printer);
    if (!a4)
        return reportFailure("setting A4 as the default paper");
    if (!SetDefaultPrinterA(kPrinterName))
        return reportFailure("SetDefaultPrinterA");
    return 0;
}

} // namespace testbed
