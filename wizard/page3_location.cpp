#include "page3_location.h"

#include "constants.h"
#include "framework/ddx.h"
#include "framework/message_box.h"
#include "page_look.h"
#include "resource.h"

namespace tavrin {

const CommandEntry<Dlg_Page3> Dlg_Page3::kCommands[] = {
    {IDC_BACK, BN_CLICKED, &Dlg_Page3::OnBnClickedBack},
};

Dlg_Page3::Dlg_Page3(HWND parent) : CDialog(IDD_PAGE3_LOCATION, parent), m_path(kDefaultInstallPath) {}

void Dlg_Page3::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_PROGRESS, m_progress);
    DDX_Text(dx, IDC_PATH_EDIT, m_path);
    DDX_Text(dx, IDC_CAPTION_PAGE3, m_caption);
}

bool Dlg_Page3::OnInitDialog() {
    CDialog::OnInitDialog();
    InitPageLook(*this, m_bkBrush, &m_caption, kLowerCaptionColours, m_captionFont);
    m_path = InstallPathChoice;
    m_pathReady = InstallPathReady != 0;
    UpdateData(false);
    UpdateInstallButton();
    return true;
}

void Dlg_Page3::UpdateInstallButton() {
    UpdateData(true);
    GetDlgItem(IDOK).EnableWindow(m_pathReady);
}

void Dlg_Page3::OnBnClickedBack() {
    UpdateData(true);
    // The text is kept exactly as typed, so the next visit shows it again.
    InstallPathChoice = m_path;
    m_nextPage = 2;
    InstallPathReady = m_pathReady ? 1 : 0;
    CDialog::OnOK();
}

void Dlg_Page3::OnOK() {
    UpdateData(true);
    InstallPathChoice = m_path;
    InstallPathReady = m_pathReady ? 1 : 0;
    if (m_path.empty()) {
        // An empty folder is refused before anything is created; the page
        // stays open.
        AfxReportInvalidArgument();
        return;
    }
    if (m_path.back() == '\\') m_path.pop_back();
    // The install run (install folder, payload copy, registration, support
    // files) is not part of this page yet: Install leads on to the finish
    // page directly.
    m_nextPage = 4;
    CDialog::OnOK();
}

void Dlg_Page3::OnCancel() {
    // InstallPathChoice and InstallPathReady keep the values of the last Back
    // or Install.
    m_nextPage = 0;
    EndDialog(IDCANCEL);
}

bool Dlg_Page3::OnCommand(int id, int notifyCode) { return DispatchCommand(*this, kCommands, id, notifyCode); }

HBRUSH Dlg_Page3::OnCtlColor(HDC dc, HWND control, UINT kind) {
    // The default handling runs first; its brush is not used, but the edit
    // box keeps the opaque text background it sets.
    CDialog::OnCtlColor(dc, control, kind);
    return ApplyPageColours(kLowerCaptionColours, dc, control, m_bkBrush, m_captionFont);
}

}  // namespace tavrin
