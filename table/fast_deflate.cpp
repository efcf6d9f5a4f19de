// cairo compresses every stream of a PDF at zlib's default level and has no
// setting for it, and compression was the largest part of a table's time: the
// whole outline of every user-defined character passes through it. zlib's
// initialiser is looked up in the executable before the library, so this
// definition serves cairo's calls too and asks for the fastest level, which
// here writes the file in about a third of the time for some 8% more bytes.
// Only the executable carries it: a library that links kestra_table keeps
// zlib's own behaviour.
#include <zlib.h>

extern "C" int deflateInit_(z_streamp stream, int /*level*/, const char* version, int streamSize) {
    constexpr int kDefaultMemoryLevel = 8;
    return deflateInit2_(stream, Z_BEST_SPEED, Z_DEFLATED, MAX_WBITS, kDefaultMemoryLevel,
                         Z_DEFAULT_STRATEGY, version, streamSize);
}
