#include "fw/win_app.h"

#include <commdlg.h>

#include <cstdlib>

#include "fw/command_line_info.h"
#include "fw/doc_template.h"
#include "fw/document.h"
#include "fw/fw_ids.h"
#include "fw/resource_text.h"
#include "fw/wnd.h"

namespace {

CWinApp* theApp = nullptr;

const char kRecentFileSection[] = "Recent File List";
const char kSettingsSection[] = "Settings";
const char kPreviewPagesEntry[] = "PreviewPages";

} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp* AfxGetApp() {
    return theApp;
}

CWnd* AfxGetMainWnd() {
    return theApp ? theApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetResourceHandle() {
    return theApp && theApp->m_hInstance ? theApp->m_hInstance : GetModuleHandleA(nullptr);
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
    theApp = this;
}

CWinApp::~CWinApp() {
    if (theApp == this)
        theApp = nullptr;
}

BOOL CWinApp::InitApplication(HINSTANCE instance, int cmdShow) {
    m_hInstance = instance;
    m_nCmdShow = cmdShow;
    if (!m_pszAppName) {
        m_strAppTitle = LoadResourceString(AFX_IDS_APP_TITLE);
        m_pszAppName = m_strAppTitle.c_str();
    }
    // The profile is "<module name>.INI" in a folder of that name among the
    // user's application data. A bare name would put it in the Windows
    // folder, which a user without administrator rights cannot write to.
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof module - 1);
    std::string name = module;
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    m_strProfileName = name + ".INI";
    char appData[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    if (length > 0 && length < sizeof appData) {
        m_strProfileFolder = std::string(appData) + "\\" + name;
        m_strProfileName = m_strProfileFolder + "\\" + m_strProfileName;
    }
    return TRUE;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

BOOL CWinApp::PumpMessage() {
    MSG msg;
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
        return FALSE;
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = GetParent(hwnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(&msg))
            return TRUE;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return TRUE;
}

int CWinApp::Run() {
    while (PumpMessage()) {
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    SaveStdProfileSettings();
    m_pDocTemplate.reset();
    return 0;
}

void CWinApp::LoadStdProfileSettings(UINT maxMruCount) {
    m_bProfileLoaded = TRUE;
    m_recentFiles.SetSize(maxMruCount);
    // Read from the last entry to the first so the first ends up most recent.
    for (UINT i = maxMruCount; i >= 1; --i) {
        char key[16];
        wsprintfA(key, "File%u", i);
        char path[MAX_PATH] = {};
        GetPrivateProfileStringA(kRecentFileSection, key, "", path, sizeof path,
                                 m_strProfileName.c_str());
        if (path[0])
            m_recentFiles.Add(path);
    }
    m_nNumPreviewPages =
        GetPrivateProfileIntA(kSettingsSection, kPreviewPagesEntry, 0, m_strProfileName.c_str());
}

void CWinApp::SaveStdProfileSettings() {
    if (!m_bProfileLoaded)
        return;
    if (!m_strProfileFolder.empty())
        CreateDirectoryA(m_strProfileFolder.c_str(), nullptr); // there already, mostly
    const std::vector<std::string>& paths = m_recentFiles.Paths();
    for (UINT i = 0; i < m_recentFiles.GetSize(); ++i) {
        char key[16];
        wsprintfA(key, "File%u", i + 1);
        WritePrivateProfileStringA(kRecentFileSection, key,
                                   i < paths.size() ? paths[i].c_str() : nullptr,
                                   m_strProfileName.c_str());
    }
    char pages[16];
    wsprintfA(pages, "%u", m_nNumPreviewPages);
    WritePrivateProfileStringA(kSettingsSection, kPreviewPagesEntry, pages,
                               m_strProfileName.c_str());
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* docTemplate) {
    m_pDocTemplate.reset(docTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    for (int i = 1; i < __argc; ++i) {
        const char* param = __argv[i];
        const bool flag = param[0] == '-' || param[0] == '/';
        info.ParseParam(flag ? param + 1 : param, flag, i + 1 == __argc);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName.c_str()) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo: {
        // Print without showing anything, then end.
        m_nCmdShow = SW_HIDE;
        if (!m_pDocTemplate || !m_pDocTemplate->OpenDocumentFile(info.m_strFileName.c_str(), FALSE))
            return FALSE;
        if (info.m_nShellCommand == CCommandLineInfo::FilePrintTo &&
            !m_printer.SelectPrinter(info.m_strPrinterName.c_str(), info.m_strDriverName.c_str(),
                                     info.m_strPortName.c_str()))
            return FALSE;
        if (m_pMainWnd)
            m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        return FALSE;
    }
    default:
        return TRUE;
    }
}

void CWinApp::OnFileNew() {
    if (m_pDocTemplate)
        m_pDocTemplate->OpenDocumentFile(nullptr);
}

CDocument* CWinApp::OpenDocumentFile(const char* path) {
    if (!m_pDocTemplate)
        return nullptr;
    CDocument* document = m_pDocTemplate->OpenDocumentFile(path);
    if (document)
        AddToRecentFileList(path);
    return document;
}

void CWinApp::AddToRecentFileList(const char* path) {
    m_recentFiles.Add(path ? path : "");
}

void CWinApp::OnFileOpen() {
    char path[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    // The document string names no filter, so every file is offered.
    ofn.lpstrFilter = "*.*\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&ofn))
        OpenDocumentFile(path);
}

void CWinApp::OnFilePrintSetup() {
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (!m_printer.EnsurePrinter()) {
        AfxMessageBox(AFX_IDS_NOPRINTER, MB_OK | MB_ICONEXCLAMATION, owner);
        return;
    }
    m_printer.RunSetupDialog(owner);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}
