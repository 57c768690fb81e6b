// The location page (page code 3): the parent folder of the installation,
// typed into the edit box, and the Install button.
#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "page_look.h"
#include "install_context.h"

namespace tavrin {

class Dlg_Page3 : public CDialog {
public:
    explicit Dlg_Page3(HWND parent = nullptr);
    ~Dlg_Page3() override = default;

    CBrush m_bkBrush;
    int m_nextPage = 0;
    // The page's copy of InstallPathReady: Install is enabled while it is set.
    bool m_pathReady = true;
    CProgressCtrl m_progress;
    Text m_path;
    Text m_caption;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    // Install.
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int notifyCode) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;

private:
    void UpdateInstallButton();
    void OnBnClickedBack();
    void OnBnClickedBrowse();
    // The install run: payload copy, registration, support files, with the
    // bar. False when the user aborted a failed copy (the page is closed then).
    bool RunInstall();

    static const CommandEntry<Dlg_Page3> kCommands[];
    CFont m_captionFont;
    PagePictures m_pictures;
};

}  // namespace tavrin
