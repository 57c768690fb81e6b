// The component page (page code 2): one check box per AutoCAD release
// 2008..2021, enabled only for releases that detection found; the choice is
// kept in SelectedReleases on Back and Next.
#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "page_look.h"
#include "install_context.h"

namespace tavrin {

class Dlg_Page2 : public CDialog {
public:
    explicit Dlg_Page2(HWND parent = nullptr);
    ~Dlg_Page2() override = default;

    CBrush m_bkBrush;
    int m_nextPage = 0;
    // Declared from 2021 down to 2008; BoxOf(k) finds the box of release k.
    CButton m_releaseBox[kReleaseCount];
    // Index k = year - 2008; 0 not chosen, 1 chosen.
    int m_releaseFlag[kReleaseCount] = {};
    Text m_caption;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int notifyCode) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;

private:
    CButton& BoxOf(int release) { return m_releaseBox[kReleaseCount - 1 - release]; }
    void UpdateNextButton();
    // Back and Next both store the choice and close the page with IDOK.
    void LeaveTo(int nextPage);
    void OnBnClickedBack();
    void OnBnClickedRelease();

    static const CommandEntry<Dlg_Page2> kCommands[];
    CFont m_captionFont;
    PagePictures m_pictures;
};

}  // namespace tavrin
