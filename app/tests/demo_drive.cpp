// The demo, unattended: runs the program through its first flow on the test
// bed and keeps a picture of each step as <folder>\<step>.bmp.
//   kestra_demo_drive.exe <folder> <printer file>
#include <cstdio>
#include <string>

#include "app/tests/user_driver.h"
#include "fw/tests/wine_test_support.h"

namespace {

std::string g_folder;

void picture(const char* step, HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    const std::string path = g_folder + "\\" + step + ".bmp";
    if (!testsupport::writeBitmap(testsupport::captureScreenArea(area), path))
        std::printf("demo: could not write %s\n", path.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::printf("usage: kestra_demo_drive.exe FOLDER PRINTER_FILE\n");
        return 2;
    }
    g_folder = argv[1];
    userdriver::Program program;
    if (!program.started()) {
        std::printf("demo: %s does not start\n", userdriver::programPath().c_str());
        return 1;
    }
    userdriver::FirstFlow flow;
    if (!userdriver::runFirstFlow(program, argv[2], picture, flow)) {
        std::printf("demo: stopped at %s\n", flow.failedStep.c_str());
        return 1;
    }
    std::printf("demo: every step done\n");
    return 0;
}
