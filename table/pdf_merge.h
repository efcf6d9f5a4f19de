// Joins the parts of a table written side by side into one PDF: part k holds
// pages k + 1, k + 1 + n, k + 1 + 2n, ... of n parts, so the pages are taken
// from the parts in turn. Stream data is copied as it is, never recompressed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kestra {

// Empty on success, else why the parts could not be joined. The document
// information (title, creator) is the first part's.
std::string mergeInterleavedPdfs(const std::vector<std::string>& parts, std::FILE* out);

} // namespace kestra
