// Runs in a prefix copy whose only printer the test removes first: every
// printing command then says so in a box, and nothing else happens.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include "fw/fw_ids.h"
#include "fw/tests/frame_fixture.h"
#include "fw/tests/wine_test_support.h"

namespace fwtest {
namespace {

void removeEveryPrinter() {
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count);
    std::string buffer(needed, '\0');
    if (needed == 0 ||
        !EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, reinterpret_cast<BYTE*>(buffer.data()),
                       needed, &needed, &count))
        return;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE printer = nullptr;
        if (OpenPrinterA(printers[i].pPrinterName, &printer, &access)) {
            DeletePrinter(printer);
            ClosePrinter(printer);
        }
    }
}

class NoPrinter : public FrameFixture {
  protected:
    void SetUp() override {
        removeEveryPrinter();
        PRINTDLGA pd{};
        pd.lStructSize = sizeof pd;
        pd.Flags = PD_RETURNDEFAULT;
        ASSERT_FALSE(PrintDlgA(&pd)) << "a printer is still there";
        FrameFixture::SetUp();
    }
};

// 找不到印表機。請先安裝印表機。
const char kNoPrinter[] = "\xA7\xE4\xA4\xA3\xA8\xEC\xA6\x4C\xAA\xED\xBE\xF7\xA1\x43\xBD\xD0\xA5"
                          "\xFD\xA6\x77\xB8\xCB\xA6\x4C\xAA\xED\xBE\xF7\xA1\x43";

TEST_F(NoPrinter, PrintPrintDirectPreviewAndSetupEachSaySoAndDoNothingElse) {
    for (UINT id :
         {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP}) {
        testsupport::BoxCloser closer;
        handlerLog.clear();
        command(id);
        testsupport::pumpMessages(300);
        EXPECT_EQ(closer.closed(), 1) << "command " << id;
        EXPECT_EQ(closer.lastText(), kNoPrinter) << "command " << id;
        for (const std::string& entry : handlerLog)
            EXPECT_EQ(entry.rfind("prepare:", 0), 0u) << "no job began for command " << id;
    }
}

} // namespace
} // namespace fwtest
