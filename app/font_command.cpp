// The font command: the user chooses a face with its EUDC file; the choice
// starts again from every code, the title names the face, and the range
// dialog follows at once.
#include "app/eudc_association.h"
#include "app/font_choice.h"
#include "dialogs/font_select_dlg.h"
#include "eudc/app_state.h"
#include "fw/document.h"
#include "print/kestra_view.h"
#include "res/resource.h"

void CKestraView::OnSetFont() {
    // The dialog lists the default face with its own file again.
    RestoreDefaultFaceAssociation();
    CFontSelectDlg dialog;
    if (dialog.DoModal() != IDOK) {
        // The face stays the system default EUDC font's row, whose table the
        // default face shows only while its own link is away.
        if (kestra::isStandardEudcChoice(kestra::appState.fontFace))
            RemoveDefaultFaceAssociation();
        return;
    }
    kestra::acceptFontChoice(dialog.chosenFace, dialog.chosenEudcFile);
    if (kestra::isStandardEudcChoice(kestra::appState.fontFace))
        RemoveDefaultFaceAssociation();
    if (CDocument* document = GetDocument())
        document->SetTitle(kestra::fontChoiceTitle(dialog.chosenFace).c_str());
    Invalidate(TRUE);
    SendMessage(WM_COMMAND, ID_SET_RANGE, 0);
}
