// The bookmarks of a table: one for each stretch of the pages' codes in one
// EUDC code range, and beneath it one for each lead byte, each titled with
// its first and last code and pointing at the page of its first.
#pragma once

#include <cstdint>
#include <vector>

#include "table/pdf/pdf_document.h"

namespace kestra {

// codes are the cells' codes in page order.
std::vector<OutlineEntry> tableOutline(const std::vector<uint16_t>& codes, int32_t cellsPerPage);

} // namespace kestra
