// Fills the fields of a page text template (a string resource) without handing
// the template to printf: a template that asks for more or other fields than
// it is given cannot read past its arguments.
#pragma once

namespace kestra {

// Copies format into out[size], replacing each "%s" or "%d" by the next of the
// fields (nothing once they run out) and "%%" by "%". Always NUL-terminates;
// text beyond size - 1 bytes is dropped. Returns the length written.
int formatFields(char* out, int size, const char* format, const char* const* fields,
                 int fieldCount);

} // namespace kestra
