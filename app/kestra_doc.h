// The document: it holds no data, so it stores and loads nothing.
#pragma once

#include "fw/document.h"
#include "fw/runtime_class.h"

class CKestraDoc : public CDocument {
    DECLARE_DYNCREATE(CKestraDoc)

  public:
    CKestraDoc() = default;
    ~CKestraDoc() override = default;

    BOOL OnNewDocument() override;
    void Serialize(CArchive& ar) override;

    DECLARE_MESSAGE_MAP()
};
