#include "page4_finish.h"

#include "page_look.h"
#include "resource.h"

namespace tavrin {

Dlg_Page4::Dlg_Page4(HWND parent) : CDialog(IDD_PAGE4_FINISH, parent) {}

bool Dlg_Page4::OnInitDialog() {
    CDialog::OnInitDialog();
    InitPageLook(*this, m_bkBrush, nullptr, kLowerCaptionColours, m_captionFont, m_pictures);
    UpdateData(false);
    return true;
}

void Dlg_Page4::OnOK() {
    m_nextPage = 0;
    CDialog::OnOK();
}

void Dlg_Page4::OnCancel() {
    m_nextPage = 0;
    EndDialog(IDCANCEL);
}

HBRUSH Dlg_Page4::OnCtlColor(HDC dc, HWND control, UINT kind) {
    // The default handling runs first; its brush is not used.
    CDialog::OnCtlColor(dc, control, kind);
    return ApplyPageColours(kLowerCaptionColours, dc, control, m_bkBrush, m_captionFont);
}

}  // namespace tavrin
