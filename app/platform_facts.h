// The two start-up facts the rest of the program depends on.
#pragma once

#include "eudc/app_state.h"

// 2 on the Windows NT family, else 1.
int detectPlatformFamily();
// GDI32's EnableEUDC from the already loaded system GDI32.DLL, or null.
kestra::EnableEudcFn findEnableEudc();
