// The About box, dialog IDD_ABOUTBOX.
#pragma once

#include "fw/dialog.h"

class CAboutDlg : public CDialog {
  public:
    CAboutDlg();
    ~CAboutDlg() override = default;

    void DoDataExchange() override {}

    DECLARE_MESSAGE_MAP()
};
