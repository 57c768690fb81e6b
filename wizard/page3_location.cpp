#include "page3_location.h"

#include "constants.h"
#include "cp936.h"
#include "demand_load.h"
#include "framework/ddx.h"
#include "framework/message_box.h"
#include "install_folder.h"
#include "page_look.h"
#include "path_dialog.h"
#include "payload_copy.h"
#include "resource.h"
#include "support_files.h"
#include "win32_file_system.h"
#include "win32_registry.h"
#include "wizard_app.h"

namespace tavrin {

namespace {

// The engine steps the page's bar through this.
class BarProgress : public InstallProgress {
public:
    explicit BarProgress(CProgressCtrl& bar) : bar_(bar) {}
    void Step() override { bar_.StepIt(); }

private:
    CProgressCtrl& bar_;
};

// The engine asks its questions through message boxes owned by the page.
class PagePrompt : public InstallPrompt {
public:
    explicit PagePrompt(HWND page) : page_(page) {}
    CopyFailureAnswer AskCopyFailed(const std::string& text, const std::string& caption) override {
        const int answer = ::MessageBoxA(page_, text.c_str(), caption.c_str(), MB_ABORTRETRYIGNORE);
        if (answer == IDRETRY) return CopyFailureAnswer::Retry;
        if (answer == IDIGNORE) return CopyFailureAnswer::Ignore;
        return CopyFailureAnswer::Abort;
    }
    void ShowError(const std::string& text, const std::string& caption) override {
        ::MessageBoxA(page_, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
    }

private:
    HWND page_;
};

}  // namespace

const CommandEntry<Dlg_Page3> Dlg_Page3::kCommands[] = {
    {IDC_BACK, BN_CLICKED, &Dlg_Page3::OnBnClickedBack},
    {IDC_BROWSE, BN_CLICKED, &Dlg_Page3::OnBnClickedBrowse},
};

Dlg_Page3::Dlg_Page3(HWND parent) : CDialog(IDD_PAGE3_LOCATION, parent), m_path(kDefaultInstallPath) {}

void Dlg_Page3::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_PROGRESS, m_progress);
    DDX_Text(dx, IDC_PATH_EDIT, m_path);
    DDX_Text(dx, IDC_CAPTION_PAGE3, m_caption);
}

bool Dlg_Page3::OnInitDialog() {
    CDialog::OnInitDialog();
    InitPageLook(*this, m_bkBrush, &m_caption, kLowerCaptionColours, m_captionFont, m_pictures);
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

void Dlg_Page3::OnBnClickedBrowse() {
    UpdateData(true);
    const Text initialPath = m_path;
    CPathDialog picker(kPathPickerTitle, kPathPickerTitle, initialPath.c_str());
    if (picker.BrowseModal() == 1) {
        m_pathReady = true;
        m_path = picker.GetChosenPath();
        UpdateData(false);
    }
    UpdateInstallButton();
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
    // Refused texts (";", too long) and relative ones (made absolute) are
    // dealt with before anything is created: the registry must never get a
    // relative or split path.
    Win32FileSystem fs;
    const InstallFolderChoice choice = CheckInstallFolderText(m_path, fs);
    if (!choice.accepted) {
        AfxMessageBox(choice.refusal, MB_OK | MB_ICONSTOP);
        return;
    }
    fs.CreateFolder(choice.folder);
    m_path = choice.installFolder;
    fs.CreateFolder(m_path);
    if (!RunInstall()) return;
    m_nextPage = 4;
    CDialog::OnOK();
}

bool Dlg_Page3::RunInstall() {
    m_progress.SetRange(0, 50);
    m_progress.SetStep(1);
    m_progress.SetPos(0);

    Win32FileSystem fs;
    BarProgress progress(m_progress);
    PagePrompt prompt(m_hWnd);
    if (!CopyPayload(PayloadJob(m_path, &progress), fs, prompt)) {
        OnCancel();
        return false;
    }
    m_progress.StepIt();

    theInstallContext.InstallFolder = m_path;
    cp936::RemoveTrailingBackslash(theInstallContext.InstallFolder);
    Win32Registry registry;
    RegisterSelectedReleases(theInstallContext, SelectedReleases, registry);
    m_progress.StepIt();

    CopySupportFiles(theInstallContext, SelectedReleases, fs);
    m_progress.StepIt();
    m_progress.SetPos(50);
    return true;
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
