// The document: a title, a path and the views that show it. It is owned by
// its template; windows never delete it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "fw/cmd_target.h"

class CDocTemplate;
class CView;

// The stream a document is serialized through. This program's documents
// write and read nothing, so it only carries the direction and the file.
class CArchive {
  public:
    enum Mode { load = 1, store = 0 };
    CArchive(HANDLE file, Mode mode) : m_hFile(file), m_nMode(mode) {}
    BOOL IsLoading() const { return m_nMode == load; }
    BOOL IsStoring() const { return m_nMode == store; }
    HANDLE GetFile() const { return m_hFile; }

  private:
    HANDLE m_hFile;
    Mode m_nMode;
};

class CDocument : public CCmdTarget {
  public:
    CDocument() = default;
    ~CDocument() override;

    const std::string& GetTitle() const { return m_strTitle; }
    // Shows the new title in the caption of every frame of the document.
    virtual void SetTitle(const char* title);
    const std::string& GetPathName() const { return m_strPathName; }
    // Remembers the path and takes the file's name as title.
    virtual void SetPathName(const char* path);
    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

    virtual BOOL OnNewDocument();
    // Opens the file for reading and serializes from it; FALSE (reported to
    // the user) when it cannot be opened.
    virtual BOOL OnOpenDocument(const char* path);
    virtual void DeleteContents() {}
    virtual void Serialize(CArchive& ar);

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return m_views; }
    void UpdateFrameCounts();
    void SetDocTemplate(CDocTemplate* docTemplate) { m_pDocTemplate = docTemplate; }
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    // Saving writes only a modified document, so a document that holds no
    // data never truncates the file it was opened from.
    void OnFileSave();

    DECLARE_MESSAGE_MAP()

  protected:
    std::string m_strTitle;
    std::string m_strPathName;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_views;
    CDocTemplate* m_pDocTemplate = nullptr;
};
