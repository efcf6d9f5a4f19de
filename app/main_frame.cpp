#include "app/main_frame.h"

#include "app/eudc_association.h"
#include "app/platform_facts.h"
#include "eudc/app_state.h"
#include "fw/resource_text.h"
#include "ime/input_method_discovery.h"
#include "res/resource.h"

IMPLEMENT_DYNCREATE(CMainFrame)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CREATE()
ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() {
    kestra::appState.platform = detectPlatformFamily();
    kestra::appState.enableEudc = findEnableEudc(*startUpModules);
    // A link an earlier run removed and could not write back (it was killed,
    // or the power failed) goes back before anything else reads EUDC\950.
    RecoverRemovedAssociations();
    if (!kestra::appState.enableEudc) {
        // The window does not exist yet, so the box has no owner.
        MessageBox("EnableEUDC function failure!");
        return;
    }
    kestra::discoverInputMethods();
    kestra::copyBounded(kestra::appState.defaultFaceName,
                        LoadResourceString(IDS_DEFAULT_FACE).c_str());
    kestra::copyBounded(kestra::appState.standardEudcLabel,
                        LoadResourceString(IDS_STANDARD_EUDC_LABEL).c_str());
}

CMainFrame::~CMainFrame() {
    RestoreDefaultFaceAssociation();
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCTA cs) {
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    return 0;
}

LRESULT CMainFrame::OnEndSession(WPARAM ending, LPARAM) {
    // Windows may end the process once this returns, without destroying us.
    if (ending)
        RestoreDefaultFaceAssociation();
    return 0;
}
