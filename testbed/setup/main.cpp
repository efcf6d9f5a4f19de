// Prepares a Wine prefix as a Traditional Chinese machine with a file printer.
//   kestra_bed_setup.exe PORT_PATH
// Run with code page 950 (LC_ALL=zh_TW.UTF-8): the Big5 registry texts rely on it.
#include <windows.h>

#include <cstdio>

#include "testbed/setup/printer_install.h"
#include "testbed/setup/registry_seed.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestra_bed_setup.exe PORT_PATH\n");
        return 2;
    }
    if (GetACP() != 950) {
        std::fprintf(stderr, "setup: code page is %u, not 950 (set LC_ALL=zh_TW.UTF-8)\n",
                     GetACP());
        return 3;
    }
    if (testbed::seedRegistry() != 0)
        return 4;
    if (testbed::installFilePrinter(argv[1]) != 0)
        return 5;
    std::puts("setup: registry seeded, printer installed");
    return 0;
}
