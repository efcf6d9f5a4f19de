// What accepting a face in the font dialog does to the settings, and the
// document title that names it. Free of Windows, so it is tested natively.
#pragma once

#include <string>

namespace kestra {

// Makes `face` with `eudcFile` the current choice, its path upper-cased, and
// goes back to every code in PUA order with no input method annotating.
void acceptFontChoice(const char* face, const char* eudcFile);

// True when `face` is the row of the system default EUDC font.
bool isStandardEudcChoice(const char* face);

// The face name, with a note after "標楷體", whose characters the system
// default EUDC file may hold in its place.
std::string fontChoiceTitle(const char* face);

} // namespace kestra
