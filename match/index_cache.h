// The reference index kept between runs in the user's cache folder, rebuilt
// when a reference font changes. A cache file is used only when everything in
// it checks out (its format, this program's features, the fonts it was built
// from, and a checksum over its contents); otherwise the index is built again
// in memory and the file replaced if the folder can be written. A file is
// never read half-written: it is written beside the old one under another
// name and then renamed over it.
#pragma once

#include <string>
#include <vector>

#include "match/reference_index.h"

namespace kestra::match {

// $XDG_CACHE_HOME/kestra/reference-index, else ~/.cache/kestra/reference-index
// (~ from $HOME); empty when neither variable is set (or set to a relative
// path, which the XDG rules say to ignore).
std::string indexCachePath();

enum class CacheUse {
    Loaded,   // the cache was current and is what was used
    Written,  // the index was built and the cache (re)written
    Unwritten // the index was built, but the cache could not be written
};

struct CachedIndex {
    ReferenceIndex index;
    CacheUse use = CacheUse::Unwritten;
};

// The index of the given fonts from `cachePath` when it is current, else
// built (calling `progress`) and saved there. An empty path builds in memory.
CachedIndex loadOrBuildIndex(const std::vector<std::string>& fontFiles,
                             const std::string& cachePath, const BuildProgress& progress);

// The lower layers, for the tests.
bool saveIndex(const ReferenceIndex& index, const std::vector<std::string>& fontFiles,
               const std::string& path);
// False, leaving `index` alone, unless the file is whole, of this format and
// this program's features, and built from `fontFiles` as they are now.
bool loadIndex(const std::string& path, const std::vector<std::string>& fontFiles,
               ReferenceIndex& index);

} // namespace kestra::match
