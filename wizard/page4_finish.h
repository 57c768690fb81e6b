// The finish page (page code 4): the installation is complete. Every way of
// closing it ends the wizard.
#pragma once

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "page_look.h"

namespace tavrin {

class Dlg_Page4 : public CDialog {
public:
    explicit Dlg_Page4(HWND parent = nullptr);
    ~Dlg_Page4() override = default;

    CBrush m_bkBrush;
    int m_nextPage = 0;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;

private:
    // The page has no version caption, so this font stays empty; the shared
    // look steps take one all the same.
    CFont m_captionFont;
    PagePictures m_pictures;
};

}  // namespace tavrin
