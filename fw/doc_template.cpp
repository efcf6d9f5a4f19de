#include "fw/doc_template.h"

#include "fw/document.h"
#include "fw/frame_wnd.h"
#include "fw/fw_ids.h"
#include "fw/resource_text.h"
#include "fw/runtime_class.h"
#include "fw/view.h"
#include "fw/win_app.h"

std::string CDocTemplate::GetDocString(DocStringIndex index) const {
    size_t start = 0;
    for (int field = 0; field < index; ++field) {
        start = m_strDocStrings.find('\n', start);
        if (start == std::string::npos)
            return "";
        ++start;
    }
    const size_t end = m_strDocStrings.find('\n', start);
    return m_strDocStrings.substr(start,
                                  end == std::string::npos ? std::string::npos : end - start);
}

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, const CRuntimeClass* docClass,
                                       const CRuntimeClass* frameClass,
                                       const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass),
      m_pViewClass(viewClass) {
    m_strDocStrings = LoadResourceString(resourceId);
}

CSingleDocTemplate::~CSingleDocTemplate() {
    // The frame owns itself; make sure it no longer points at the document.
    if (m_pFrame && m_pFrame->m_hWnd)
        m_pFrame->DestroyWindow();
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* document) {
    std::string title = GetDocString(docName);
    if (title.empty())
        title = LoadResourceString(AFX_IDS_UNTITLED);
    document->SetTitle(title.c_str());
}

void CSingleDocTemplate::FrameDestroyed(CFrameWnd* frame) {
    if (m_pFrame == frame)
        m_pFrame = nullptr;
}

CFrameWnd* CSingleDocTemplate::CreateNewFrame(CDocument* document) {
    auto* frame = dynamic_cast<CFrameWnd*>(m_pFrameClass->CreateObject());
    if (!frame)
        return nullptr;
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pCurrentDoc = document;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW, nullptr, &context)) {
        // A frame deletes itself only once its window exists.
        delete frame;
        return nullptr;
    }
    return frame;
}

BOOL CSingleDocTemplate::InitDocument(CDocument* document, const char* path) {
    if (!path) {
        SetDefaultTitle(document);
        return document->OnNewDocument();
    }
    if (!document->OnOpenDocument(path))
        return FALSE;
    document->SetPathName(path);
    return TRUE;
}

void CSingleDocTemplate::InitialUpdateFrame(CFrameWnd* frame, BOOL makeVisible) {
    CWinApp* app = AfxGetApp();
    if (app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;
    if (CView* view = frame->GetActiveView())
        view->OnInitialUpdate();
    frame->OnUpdateFrameTitle(TRUE);
    if (makeVisible) {
        frame->ShowWindow(app ? app->m_nCmdShow : SW_SHOWNORMAL);
        frame->UpdateWindow();
    }
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path, BOOL makeVisible) {
    if (m_pOnlyDoc) {
        // The one document is re-initialised in place; its frame stays.
        return InitDocument(m_pOnlyDoc.get(), path) ? m_pOnlyDoc.get() : nullptr;
    }
    auto* created = dynamic_cast<CDocument*>(m_pDocClass->CreateObject());
    if (!created)
        return nullptr;
    m_pOnlyDoc.reset(created);
    created->SetDocTemplate(this);
    m_pFrame = CreateNewFrame(created);
    if (!m_pFrame || !InitDocument(created, path)) {
        if (m_pFrame && m_pFrame->m_hWnd)
            m_pFrame->DestroyWindow();
        m_pFrame = nullptr;
        m_pOnlyDoc.reset();
        return nullptr;
    }
    InitialUpdateFrame(m_pFrame, makeVisible);
    return created;
}
