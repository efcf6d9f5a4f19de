// The one application object: start-up (InitInstance), the message loop with
// accelerators, the standard profile settings, the document template and the
// application-wide commands (new, open, print setup, exit).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "fw/cmd_target.h"
#include "fw/printer_settings.h"
#include "fw/recent_file_list.h"

class CCommandLineInfo;
class CDocument;
class CSingleDocTemplate;
class CWnd;

class CWinApp : public CCmdTarget {
  public:
    // A null name takes the application title from string AFX_IDS_APP_TITLE.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    const char* m_pszAppName = nullptr;
    std::string m_strProfileName; // the profile file, "<exe name>.INI", with its folder

    // Called by WinMain once the instance is known; returns FALSE to end.
    BOOL InitApplication(HINSTANCE instance, int cmdShow);
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    BOOL PumpMessage();

    // Dialogs get the 3-D look from the system on every version this runs
    // on; kept so start-up reads as it always has.
    BOOL Enable3dControls() { return TRUE; }
    void LoadStdProfileSettings(UINT maxMruCount = 4);
    void AddDocTemplate(CSingleDocTemplate* docTemplate);
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);

    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();

    // Opens path as the document and records it in the recent-file list.
    CDocument* OpenDocumentFile(const char* path);
    void AddToRecentFileList(const char* path);
    const RecentFileList& GetRecentFileList() const { return m_recentFiles; }
    UINT GetPreviewPageCount() const { return m_nNumPreviewPages; }
    void SetPreviewPageCount(UINT pages) { m_nNumPreviewPages = pages; }

    PrinterSettings& Printer() { return m_printer; }
    CSingleDocTemplate* GetDocTemplate() const { return m_pDocTemplate.get(); }

    DECLARE_MESSAGE_MAP()

  private:
    void SaveStdProfileSettings();

    std::string m_strAppTitle;
    std::string m_strProfileFolder; // created when the settings are first saved
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    PrinterSettings m_printer;
    RecentFileList m_recentFiles;
    UINT m_nNumPreviewPages = 0;
    BOOL m_bProfileLoaded = FALSE;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetResourceHandle();
