#include "fw/document.h"

#include <commdlg.h>

#include "fw/frame_wnd.h"
#include "fw/fw_ids.h"
#include "fw/resource_text.h"
#include "fw/view.h"
#include "fw/win_app.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_SAVE, OnFileSave)
END_MESSAGE_MAP()

CDocument::~CDocument() {
    for (CView* view : m_views)
        view->SetDocument(nullptr);
}

void CDocument::SetTitle(const char* title) {
    m_strTitle = title ? title : "";
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts() {
    for (CView* view : m_views) {
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->OnUpdateFrameTitle(TRUE);
    }
}

void CDocument::SetPathName(const char* path) {
    m_strPathName = path ? path : "";
    // Big5 trail bytes can equal '\\', so find the last separator that
    // begins a character rather than ends one.
    size_t nameStart = 0;
    for (size_t i = 0; i < m_strPathName.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(m_strPathName[i]);
        if (c >= 0x81 && c <= 0xFE) {
            ++i;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':')
            nameStart = i + 1;
    }
    SetTitle(m_strPathName.substr(nameStart).c_str());
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    DeleteContents();
    CArchive archive(file, CArchive::load);
    Serialize(archive);
    CloseHandle(file);
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::Serialize(CArchive&) {}

void CDocument::AddView(CView* view) {
    m_views.push_back(view);
}

void CDocument::RemoveView(CView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CDocument::OnFileSave() {
    if (!IsModified())
        return;
    // Always through the Save As dialog, which asks before replacing a file.
    char path[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    CWnd* main = AfxGetMainWnd();
    ofn.hwndOwner = main ? main->m_hWnd : nullptr;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameA(&ofn))
        return;
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    CArchive archive(file, CArchive::store);
    Serialize(archive);
    CloseHandle(file);
    SetPathName(path);
    SetModifiedFlag(FALSE);
}
