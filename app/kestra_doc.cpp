#include "app/kestra_doc.h"

IMPLEMENT_DYNCREATE(CKestraDoc)

BEGIN_MESSAGE_MAP(CKestraDoc, CDocument)
END_MESSAGE_MAP()

BOOL CKestraDoc::OnNewDocument() {
    return CDocument::OnNewDocument() ? TRUE : FALSE;
}

void CKestraDoc::Serialize(CArchive&) {}
