#include "fw/print_info.h"

CPrintInfo::CPrintInfo() {
    m_pd.lStructSize = sizeof m_pd;
    m_pd.Flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION | PD_RETURNDC;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
    m_pd.nFromPage = 1;
    m_pd.nToPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo() {
    if (m_pd.hDC)
        DeleteDC(m_pd.hDC);
}

UINT CPrintInfo::GetFromPage() const {
    return (m_pd.Flags & PD_PAGENUMS) ? m_pd.nFromPage : GetMinPage();
}

UINT CPrintInfo::GetToPage() const {
    return (m_pd.Flags & PD_PAGENUMS) ? m_pd.nToPage : GetMaxPage();
}
