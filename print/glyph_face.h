// Which face draws the user's characters. The standard EUDC entry is no face of
// its own: its glyphs are the system default EUDC font's, which reach the page
// through the label face once the font command has removed that face's own link.
#pragma once

namespace kestra {

// Byte by byte with the ASCII letters folded to one case, as _stricmp does in
// the C locale; Big5 characters are not interpreted.
bool equalsIgnoringAsciiCase(const char* a, const char* b);

// labelFace when fontFace names the standard EUDC entry, otherwise fontFace.
const char* glyphFaceFor(const char* fontFace, const char* labelFace,
                         const char* standardEudcLabel);

} // namespace kestra
