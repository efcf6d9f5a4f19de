// The registry and the keyboard layouts of the running Windows system.
#include <windows.h>

#include <algorithm>

#include "ime/input_method_registry.h"

namespace kestra {
namespace {

HKEY toHkey(RegistryKey key) {
    return reinterpret_cast<HKEY>(key);
}

RegistryKey open(HKEY parent, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return reinterpret_cast<RegistryKey>(key);
}

class WindowsRegistry final : public InputMethodRegistry {
  public:
    RegistryKey openKey(RegistryRoot root, const char* path) override {
        return open(root == RegistryRoot::machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, path);
    }

    RegistryKey openSubKey(RegistryKey parent, const char* name) override {
        return open(toHkey(parent), name);
    }

    void closeKey(RegistryKey key) override { RegCloseKey(toHkey(key)); }

    bool subKeyName(RegistryKey key, uint32_t index, char (&name)[kRegistryNameSize]) override {
        return RegEnumKeyA(toHkey(key), index, name, kRegistryNameSize) == ERROR_SUCCESS;
    }

    // Both sizes are in and out parameters, so they are set afresh for every call.
    bool value(RegistryKey key, uint32_t index, RegistryValue& value) override {
        DWORD nameSize = kRegistryNameSize;
        DWORD dataSize = kRegistryDataSize;
        if (RegEnumValueA(toHkey(key), index, value.name, &nameSize, nullptr, nullptr,
                          reinterpret_cast<BYTE*>(value.data), &dataSize) != ERROR_SUCCESS)
            return false;
        value.data[std::min<DWORD>(dataSize, kRegistryDataSize)] = '\0';
        return true;
    }

    // A handle's low 32 bits are what "%lX" shows of it on every Windows.
    int loadedLayouts(uint32_t* ids, int capacity) override {
        HKL handles[kMaxLoadedLayouts] = {};
        const int count =
            GetKeyboardLayoutList(std::clamp(capacity, 0, kMaxLoadedLayouts), handles);
        for (int i = 0; i < count; ++i)
            ids[i] = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(handles[i]));
        return count;
    }
};

} // namespace

InputMethodRegistry& platformInputMethodRegistry() {
    static WindowsRegistry registry;
    return registry;
}

} // namespace kestra
