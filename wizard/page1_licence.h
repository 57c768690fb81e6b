// The licence page (page code 1): four fixed screens of the licence
// agreement, leafed through with two small buttons, and the agree/disagree
// choice that gates Next.
#pragma once

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "page_look.h"
#include "install_context.h"

namespace tavrin {

class Dlg_Page1 : public CDialog {
public:
    explicit Dlg_Page1(HWND parent = nullptr);
    ~Dlg_Page1() override = default;

    CBrush m_bkBrush;
    int m_licenceScreen = 0;  // 0..3
    int m_nextPage = 0;
    Text m_licenceText;
    int m_agreeChoice = 0;  // radio index: 0 "不同意" (1008), 1 "同意" (1009)
    Text m_caption;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int notifyCode) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;

private:
    void ShowLicenceScreen();
    void OnPrevScreen();
    void OnNextScreen();
    void OnChoiceClicked();

    static const CommandEntry<Dlg_Page1> kCommands[];
    CFont m_captionFont;
    PagePictures m_pictures;
};

}  // namespace tavrin
