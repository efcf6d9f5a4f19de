// Builds without Windows (tools, native tests) have no registry: nothing is
// registered and no layout is loaded, so discovery finds no input method.
#include "ime/input_method_registry.h"

namespace kestra {
namespace {

class EmptyRegistry final : public InputMethodRegistry {
  public:
    RegistryKey openKey(RegistryRoot, const char*) override { return nullptr; }
    RegistryKey openSubKey(RegistryKey, const char*) override { return nullptr; }
    void closeKey(RegistryKey) override {}
    bool subKeyName(RegistryKey, uint32_t, char (&)[kRegistryNameSize]) override { return false; }
    bool value(RegistryKey, uint32_t, RegistryValue&) override { return false; }
    int loadedLayouts(uint32_t*, int) override { return 0; }
};

} // namespace

InputMethodRegistry& platformInputMethodRegistry() {
    static EmptyRegistry registry;
    return registry;
}

} // namespace kestra
