// kestra-table from its command line to its exit status: 0 the PDF is written,
// 1 an input or the output failed (nothing is left behind), 2 a usage mistake.
#pragma once

namespace kestra {

int runTableProgram(int argc, const char* const* argv);

} // namespace kestra
