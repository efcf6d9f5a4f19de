// The one application object, constructed before WinMain runs.
#include "app/kestra_app.h"

CKestraApp theApp;
