#include "app/kestra_app.h"

#include "app/about_dlg.h"
#include "app/kestra_doc.h"
#include "app/main_frame.h"
#include "fw/command_line_info.h"
#include "fw/doc_template.h"
#include "fw/wnd.h"
#include "print/kestra_view.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CKestraApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_UPDATE_COMMAND_UI(ID_APP_ABOUT, OnUpdateAppAbout)
ON_COMMAND(ID_NOTES, OnNotes)
ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

BOOL CKestraApp::InitInstance() {
    Enable3dControls();
    LoadStdProfileSettings(4);
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CKestraDoc),
                                          RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CKestraView)));
    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    if (!ProcessShellCommand(commandLine))
        return FALSE;
    // A start that made no main window has nowhere to send the font command.
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        SendMessageA(m_pMainWnd->m_hWnd, WM_COMMAND, ID_SET_FONT, 0);
    return TRUE;
}

void CKestraApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CKestraApp::OnUpdateAppAbout(CCmdUI* cmdUi) {
    cmdUi->Enable(FALSE);
}

void CKestraApp::OnNotes() {
    // 【新注音/新倉頡】與【注音/倉頡】之字根資料完全相同。
    static const char kText[] = "\xA1\x69\xB7\x73\xAA\x60\xAD\xB5\x2F\xB7\x73\xAD\xDC\xBE\x65\xA1"
                                "\x6A\xBB\x50\xA1\x69\xAA\x60\xAD\xB5\x2F\xAD\xDC\xBE\x65\xA1\x6A"
                                "\xA4\xA7\xA6\x72\xAE\xDA\xB8\xEA\xAE\xC6\xA7\xB9\xA5\xFE\xAC\xDB"
                                "\xA6\x50\xA1\x43";
    // 造字列印-註解
    static const char kCaption[] = "\xB3\x79\xA6\x72\xA6\x43\xA6\x4C\x2D\xB5\xF9\xB8\xD1";
    // No owner: the box leaves the main window usable while it is open.
    MessageBoxA(nullptr, kText, kCaption, MB_ICONINFORMATION);
}
