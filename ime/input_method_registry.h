// What input-method discovery needs of the platform: registry keys read in
// place, and the keyboard layouts that are loaded. Windows gives the real
// ones; tests give their own, so that discovery is exercised on any machine.
#pragma once

#include <cstdint>

namespace kestra {

// The buffers the enumerations fill. A subkey or value name that needs more
// characters (terminator included), or data that needs more bytes, makes its
// enumeration call fail.
constexpr int kRegistryNameSize = 255;
constexpr int kRegistryDataSize = 255;
constexpr int kMaxLoadedLayouts = 60;

enum class RegistryRoot { machine, user };

struct RegistryKeyHandle;
using RegistryKey = RegistryKeyHandle*; // nullptr: not open

struct RegistryValue {
    char name[kRegistryNameSize];
    // One byte more than the enumeration may fill: string data is not
    // always stored with its terminator, so the enumeration adds one.
    char data[kRegistryDataSize + 1];
};

class InputMethodRegistry {
  public:
    virtual ~InputMethodRegistry() = default;

    // Opened for reading; nullptr when that fails. Every opened key is closed.
    virtual RegistryKey openKey(RegistryRoot root, const char* path) = 0;
    virtual RegistryKey openSubKey(RegistryKey parent, const char* name) = 0;
    virtual void closeKey(RegistryKey key) = 0;

    // False when there is nothing at index or it does not fit the buffers;
    // on success the texts are terminated.
    virtual bool subKeyName(RegistryKey key, uint32_t index, char (&name)[kRegistryNameSize]) = 0;
    virtual bool value(RegistryKey key, uint32_t index, RegistryValue& value) = 0;

    // Fills at most capacity ids (the low 32 bits of each loaded layout's
    // handle) in the platform's order; returns how many.
    virtual int loadedLayouts(uint32_t* ids, int capacity) = 0;
};

// The platform's own: the Windows registry, or on builds without one an
// empty registry with no layout loaded. Defined once per platform.
InputMethodRegistry& platformInputMethodRegistry();

} // namespace kestra
