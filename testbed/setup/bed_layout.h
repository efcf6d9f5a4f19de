// Where the test bed puts things inside a Wine prefix. Shared by the setup
// program that builds the prefix and the test that checks it.
#pragma once

namespace testbed {

constexpr const char* kPrinterName = "Kestra Test Printer";
constexpr const char* kPpdFileName = "KESTRA.PPD";
constexpr const char* kPsDriverName = "Wine PostScript Driver";

// The template prefix carries this port; scripts/wine-test.sh rewrites it in
// each copy so that every test prints into its own folder.
constexpr const char* kPlaceholderPort = "/tmp/kestra-testbed-unset/printer.ps";

constexpr const char* kFontsDir = "C:\\windows\\Fonts";
constexpr const char* kDefaultEudcFontFile = "EUDC.TTE";
constexpr const char* kDefaultEudcFamily = "Kestra EUDC Square";
constexpr const char* kFaceEudcFontFile = "EUDCRING.TTE";
constexpr const char* kFaceEudcFamily = "Kestra EUDC Ring";
constexpr const char* kBig5Face = "AR PL UMing TW";

constexpr const char* kDictionaryDir = "C:\\kestra\\dict";

} // namespace testbed
