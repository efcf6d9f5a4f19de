#include "app/platform_facts.h"

namespace {

const char kGdiModule[] = "GDI32.DLL";

UINT systemDirectory(char* buffer, UINT size) {
    return GetSystemDirectoryA(buffer, size);
}

HMODULE handleOf(const char* name) {
    return GetModuleHandleA(name);
}

HMODULE gdiInSystemFolder(const LoadedModules& modules) {
    char path[256] = {};
    const UINT length = modules.systemDirectory(path, 255);
    // A system directory too long for the buffer names no usable module.
    if (length == 0 || length + 1 + sizeof kGdiModule > sizeof path)
        return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, kGdiModule);
    return modules.handleOf(path);
}

kestra::EnableEudcFn enableEudcIn(HMODULE gdi) {
    if (!gdi)
        return nullptr;
    // Through the generic function type, which any function pointer may be cast to and from.
    auto generic = reinterpret_cast<void (*)()>(GetProcAddress(gdi, "EnableEUDC"));
    return reinterpret_cast<kestra::EnableEudcFn>(generic);
}

} // namespace

const LoadedModules kSystemModules{systemDirectory, handleOf};
const LoadedModules* startUpModules = &kSystemModules;

int detectPlatformFamily() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT ? 2 : 1;
}

kestra::EnableEudcFn findEnableEudc(const LoadedModules& modules) {
    if (kestra::EnableEudcFn found = enableEudcIn(gdiInSystemFolder(modules)))
        return found;
    return enableEudcIn(modules.handleOf(kGdiModule));
}
