// The warning as the user sees it at start-up: no owner, since the main
// window does not exist yet while the dictionaries are read.
#include <windows.h>

#include "ime/dictionary_warning.h"

namespace kestra {

void platformWarning(const char* caption, const char* text) {
    MessageBoxA(nullptr, text, caption, MB_ICONERROR | MB_OK);
}

} // namespace kestra
