// The program's entry point: the application object exists already (it is a
// global of the program); this runs its start-up and then its message loop.
#include <windows.h>

#include "fw/win_app.h"
#include "fw/wnd.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app || !app->InitApplication(instance, cmdShow))
        return 1;
    if (!app->InitInstance()) {
        // Windows made before start-up failed are closed before leaving.
        if (app->m_pMainWnd)
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}
