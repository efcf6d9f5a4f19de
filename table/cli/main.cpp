#include <clocale>

#include "table/cli/table_program.h"

int main(int argc, char** argv) {
    // The system's reasons for a failure (strerror) in the user's language.
    std::setlocale(LC_MESSAGES, "");
    std::setlocale(LC_CTYPE, "");
    return kestra::runTableProgram(argc, argv);
}
