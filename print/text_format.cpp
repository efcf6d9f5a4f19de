#include "print/text_format.h"

namespace kestra {
namespace {

class BoundedWriter {
  public:
    BoundedWriter(char* out, int size) : out_(out), capacity_(size - 1) {}

    void put(char c) {
        if (length_ < capacity_)
            out_[length_++] = c;
    }
    void put(const char* text) {
        while (*text != '\0' && length_ < capacity_)
            out_[length_++] = *text++;
    }
    int finish() {
        out_[length_] = '\0';
        return length_;
    }

  private:
    char* out_;
    int capacity_;
    int length_ = 0;
};

bool isFieldConversion(char c) {
    return c == 's' || c == 'd';
}

} // namespace

int formatFields(char* out, int size, const char* format, const char* const* fields,
                 int fieldCount) {
    if (size <= 0)
        return 0;
    BoundedWriter writer(out, size);
    int nextField = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            writer.put(*p);
        } else if (isFieldConversion(p[1])) {
            if (nextField < fieldCount)
                writer.put(fields[nextField++]);
            ++p;
        } else if (p[1] == '%') {
            writer.put('%');
            ++p;
        } else {
            writer.put('%');
        }
    }
    return writer.finish();
}

} // namespace kestra
