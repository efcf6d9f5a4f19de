// Builds without a desktop (tools, tests, fuzzing) have no message box.
#include <cstdio>

#include "ime/dictionary_warning.h"

namespace kestra {

void platformWarning(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

} // namespace kestra
