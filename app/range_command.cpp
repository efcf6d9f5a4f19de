// The range command: the range dialog's choice becomes the span of codes the
// next print or preview covers.
#include "dialogs/print_range_dlg.h"
#include "eudc/app_state.h"
#include "eudc/code_entry.h"
#include "print/kestra_view.h"

void CKestraView::OnSetRange() {
    CPrintRangeDlg dialog;
    if (dialog.DoModal() != IDOK)
        return;
    const kestra::PrintSpan span =
        kestra::printSpanFor(kestra::appState.printAll != 0, kestra::appState.rangeStartCode,
                             kestra::appState.rangeEndCode);
    kestra::appState.printStartIndex = span.startIndex;
    kestra::appState.printCount = span.count;
}
