// The application object: start-up, About and Notes.
#pragma once

#include "fw/win_app.h"

class CKestraApp : public CWinApp {
  public:
    CKestraApp() = default;
    ~CKestraApp() override = default;

    BOOL InitInstance() override;

    void OnAppAbout();
    void OnUpdateAppAbout(CCmdUI* cmdUi);
    void OnNotes();

    DECLARE_MESSAGE_MAP()
};
