#include "app/platform_facts.h"

#include <windows.h>

int detectPlatformFamily() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT ? 2 : 1;
}

kestra::EnableEudcFn findEnableEudc() {
    char path[256] = {};
    const UINT length = GetSystemDirectoryA(path, 255);
    // A system directory too long for the buffer names no usable module.
    if (length == 0 || length + sizeof "\\GDI32.DLL" > sizeof path)
        return nullptr;
    lstrcatA(path, "\\GDI32.DLL");
    HMODULE gdi = GetModuleHandleA(path);
    if (!gdi)
        return nullptr;
    // Through the generic function type, which any function pointer may be cast to and from.
    auto generic = reinterpret_cast<void (*)()>(GetProcAddress(gdi, "EnableEUDC"));
    return reinterpret_cast<kestra::EnableEudcFn>(generic);
}
