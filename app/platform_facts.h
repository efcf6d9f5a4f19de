// The two start-up facts the rest of the program depends on.
#pragma once

#include <windows.h>

#include "eudc/app_state.h"

// 2 on the Windows NT family, else 1.
int detectPlatformFamily();

// Where GDI32 is looked for among the modules already loaded: the system
// folder's name, and a module's handle by its full path or its name alone.
struct LoadedModules {
    UINT (*systemDirectory)(char* buffer, UINT size);
    HMODULE (*handleOf)(const char* name);
};
// GetSystemDirectoryA and GetModuleHandleA.
extern const LoadedModules kSystemModules;
// What the main frame looks in when it is made; tests point it at a stand-in.
extern const LoadedModules* startUpModules;

// GDI32's EnableEUDC, or null. GDI32 is taken by its full path under the
// system folder first. A 32-bit program on 64-bit Windows is told the 64-bit
// system folder, while its GDI32 is loaded from the 32-bit one, so the module
// is then taken by its name. Nothing is loaded either way: a program with
// windows has GDI32 loaded already.
kestra::EnableEudcFn findEnableEudc(const LoadedModules& modules);
