// The single-document template: one document, one frame, one view, created
// from their class records and the resources of one id.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "fw/cmd_target.h"

class CDocument;
class CFrameWnd;
struct CRuntimeClass;

class CDocTemplate : public CCmdTarget {
  public:
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName
    };
    virtual CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) = 0;
    // One line-feed separated field of the document string.
    std::string GetDocString(DocStringIndex index) const;

  protected:
    std::string m_strDocStrings;
};

class CSingleDocTemplate : public CDocTemplate {
  public:
    CSingleDocTemplate(UINT resourceId, const CRuntimeClass* docClass,
                       const CRuntimeClass* frameClass, const CRuntimeClass* viewClass);
    ~CSingleDocTemplate() override;

    // Creates (first time) or re-initialises the one document: with no path
    // a new untitled document, else the file opened as the document. Null on
    // failure, which has been reported.
    CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) override;
    CDocument* GetDocument() const { return m_pOnlyDoc.get(); }
    void SetDefaultTitle(CDocument* document);
    // Forgets the frame when its window is gone.
    void FrameDestroyed(CFrameWnd* frame);

  private:
    CFrameWnd* CreateNewFrame(CDocument* document);
    void InitialUpdateFrame(CFrameWnd* frame, BOOL makeVisible);
    BOOL InitDocument(CDocument* document, const char* path);

    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    std::unique_ptr<CDocument> m_pOnlyDoc;
    CFrameWnd* m_pFrame = nullptr;
};
