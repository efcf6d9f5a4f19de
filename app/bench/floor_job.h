// The floor's pages and its job: the current choices' pages recorded from the
// page drawing, then printed with plain GDI and no framework, in the
// benchmark's own process.
#pragma once

#include <windows.h>

#include <vector>

#include "app/bench/page_script.h"

namespace floorbench {

using Job = std::vector<PageScript>;

// The pages of the current choices, laid out for `printer`'s page as the view
// lays them out.
Job recordJob(HDC printer);

// The whole job on the default printer, from CreateDC to DeleteDC; false when
// it failed.
bool printJob(const Job& job, ObjectLifetime lifetime);

} // namespace floorbench
