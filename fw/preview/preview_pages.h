// The pages of a preview, drawn by the very OnPrint that prints them: each
// page is recorded into an enhanced metafile whose reference and attribute DC
// is the printer, so fonts, extents and pagination are the paper's. Played
// back on screen, the metafile's text also picks up the linked EUDC glyphs.
#pragma once

#include <windows.h>

class CView;
class CPrintInfo;

class PreviewPages {
  public:
    PreviewPages(CView* view, CPrintInfo* info);
    ~PreviewPages();
    PreviewPages(const PreviewPages&) = delete;
    PreviewPages& operator=(const PreviewPages&) = delete;

    // The picture of page `page`, recorded on first use; null when the
    // metafile could not be made. Only the pages last asked for are kept.
    HENHMETAFILE Page(UINT page);
    // Forgets every recorded page, so the next request draws it afresh.
    void Clear();
    // The printable area in millimetres: the shape of a page on screen.
    SIZE PaperMillimetres() const;

  private:
    HENHMETAFILE Record(UINT page);

    struct Slot {
        UINT page = 0;
        HENHMETAFILE picture = nullptr;
    };
    static constexpr int kSlots = 2; // the most pages shown at once

    CView* m_view;
    CPrintInfo* m_info;
    Slot m_slots[kSlots];
    int m_nextSlot = 0;
};
