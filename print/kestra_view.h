// The view: shows the chosen face and its EUDC file in the window, and
// prints and previews the EUDC table of the current settings.
#pragma once

#include <cstdint>
#include <string>

#include "fw/runtime_class.h"
#include "fw/view.h"
#include "print/page_layout.h"
#include "print/page_renderer.h"

// The texts a printed page carries, loaded from the resources; the pointers
// it hands out live as long as it does.
class PrintedPageTexts {
  public:
    PrintedPageTexts();
    PrintedPageTexts(const PrintedPageTexts&) = delete;
    PrintedPageTexts& operator=(const PrintedPageTexts&) = delete;
    const kestra::PageTexts& Texts() const { return m_texts; }

  private:
    std::string m_labelFace, m_standardLabel, m_header, m_footer, m_codeHeading;
    kestra::PageTexts m_texts;
};

class CKestraView : public CView {
    DECLARE_DYNCREATE(CKestraView)

  public:
    CKestraView() = default;
    ~CKestraView() override = default;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr) override;
    void OnDraw(CDC* dc) override;
    BOOL OnPreparePrinting(CPrintInfo* info) override;
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    void OnPrint(CDC* dc, CPrintInfo* info) override;
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;

    // The font and range commands run the program's dialogs, so they are
    // defined with the program (app/font_command.cpp, app/range_command.cpp).
    void OnSetFont();
    void OnSetRange();
    void OnUpdateSetRange(CCmdUI* cmdUi);
    void OnUpdateFilePrint(CCmdUI* cmdUi);

    // The layout of the current job, in page units (0.1 mm).
    kestra::PageSize pageSize{};
    int32_t cellHeight = 0;
    int32_t columnWidth = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t cellsPerPage = 0;
    int32_t currentPage = 0;
    int32_t pageCount = 0;

    DECLARE_MESSAGE_MAP()

  protected:
    // FALSE when the printable area holds no whole cell.
    BOOL CalcPageLayout(CPrintInfo* info);
};
