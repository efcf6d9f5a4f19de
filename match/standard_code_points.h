// Which characters of a reference font can be an answer: the standard Han
// ideographs (CJK Unified Ideographs and Extensions A to I, and 〇). Never a
// private-use code point, whose meaning is each font's own; never a
// compatibility ideograph, which stands for its unified counterpart; no
// radical or stroke either, which would answer for the ideograph of the same
// shape.
#pragma once

namespace kestra::match {

// The standard character a reference glyph mapped from `code` is the glyph
// of: `code` itself, the unified counterpart of a compatibility ideograph, or
// 0 when it is none.
char32_t standardCharacterOf(char32_t code);

} // namespace kestra::match
