// Installs a PostScript printer whose port is a Unix file, so every job is
// written to that file without asking for a name.
#pragma once

namespace testbed {

// Returns 0, or the Win32 error of the step that failed (reported on stderr).
unsigned long installFilePrinter(const char* portPath);

} // namespace testbed
