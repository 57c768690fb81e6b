#include "page2_components.h"

#include "framework/ddx.h"
#include "page_look.h"
#include "resource.h"
#include "wizard_app.h"

namespace tavrin {

namespace {
// A 32-bit build does not offer the releases from this index (2017) on.
constexpr int kFirstRelease64BitOnly = 9;
}  // namespace

const CommandEntry<Dlg_Page2> Dlg_Page2::kCommands[] = {
    {IDC_BACK, BN_CLICKED, &Dlg_Page2::OnBnClickedBack},
    {IDC_ACAD2008, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2009, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2010, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2011, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2012, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2013, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2014, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2015, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2016, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2017, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2018, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2019, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2020, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
    {IDC_ACAD2021, BN_CLICKED, &Dlg_Page2::OnBnClickedRelease},
};

Dlg_Page2::Dlg_Page2(HWND parent) : CDialog(IDD_PAGE2_COMPONENTS, parent) {}

void Dlg_Page2::DoDataExchange(CDataExchange* dx) {
    // The boxes are declared from 2021 down; their IDs come from the release
    // table, since they do not follow the years.
    for (int i = 0; i < kReleaseCount; ++i)
        DDX_Control(dx, ReleaseTable::CheckBoxIdOf(kReleaseCount - 1 - i), m_releaseBox[i]);
    for (int k = 0; k < kReleaseCount; ++k) DDX_Check(dx, ReleaseTable::CheckBoxIdOf(k), m_releaseFlag[k]);
    DDX_Text(dx, IDC_CAPTION, m_caption);
}

bool Dlg_Page2::OnInitDialog() {
    CDialog::OnInitDialog();
    InitPageLook(*this, m_bkBrush, &m_caption, kHeaderCaptionColours, m_captionFont, m_pictures);
    for (int k = 0; k < kReleaseCount; ++k) m_releaseFlag[k] = SelectedReleases[k];
    for (int k = 0; k < kReleaseCount; ++k) {
        if (theInstallContext.ReleaseFolders[k].empty()) {
            BoxOf(k).EnableWindow(false);
            m_releaseFlag[k] = 0;
        }
    }
    if (ProductBits == 32) {
        for (int k = kFirstRelease64BitOnly; k < kReleaseCount; ++k) {
            BoxOf(k).ShowWindow(SW_HIDE);
            m_releaseFlag[k] = 0;
        }
    }
    UpdateData(false);
    UpdateNextButton();
    return true;
}

void Dlg_Page2::UpdateNextButton() {
    UpdateData(true);
    bool anyChosen = false;
    for (int k = 0; k < kReleaseCount; ++k) anyChosen = anyChosen || m_releaseFlag[k] != 0;
    GetDlgItem(IDOK).EnableWindow(anyChosen);
}

void Dlg_Page2::LeaveTo(int nextPage) {
    UpdateData(true);
    for (int k = 0; k < kReleaseCount; ++k) SelectedReleases[k] = m_releaseFlag[k];
    m_nextPage = nextPage;
    CDialog::OnOK();
}

void Dlg_Page2::OnOK() { LeaveTo(3); }

void Dlg_Page2::OnBnClickedBack() { LeaveTo(1); }

void Dlg_Page2::OnBnClickedRelease() { UpdateNextButton(); }

void Dlg_Page2::OnCancel() {
    // The flags are dropped: SelectedReleases keeps the choice of the last
    // Back or Next.
    m_nextPage = 0;
    EndDialog(IDCANCEL);
}

bool Dlg_Page2::OnCommand(int id, int notifyCode) { return DispatchCommand(*this, kCommands, id, notifyCode); }

HBRUSH Dlg_Page2::OnCtlColor(HDC dc, HWND control, UINT kind) {
    // The default handling runs first; its brush is not used.
    CDialog::OnCtlColor(dc, control, kind);
    return ApplyPageColours(kHeaderCaptionColours, dc, control, m_bkBrush, m_captionFont);
}

}  // namespace tavrin
