#include "page1_licence.h"

#include "framework/ddx.h"
#include "page_look.h"
#include "resource.h"

namespace tavrin {

namespace {

constexpr int kLastScreen = 3;

// The licence text, screen by screen. The pieces of a screen are joined in
// order; a paragraph ends with two line feeds, an indented one begins with
// two ideographic spaces. The warranty paragraph runs on from screen 1 into
// screen 2 in mid-sentence.
const char* const kScreen0[] = {
    "             Tavrin批打印软件最终用户许可协议\n\n",
    "重要须知━请认真阅读：请您仔细阅读并充分理解本协议规定的各项权利和限制。"
    "您可以选择接受或不接受本协议；除非您接受本协议的全部条款，否则请立即停止安装本软件。\n\n",
    "软件产品许可协议\n\n",
    "　　本协议受中华人民共和国法律管辖。本软件受中华人民共和国著作权法及国际著作权条约"
    "和其他知识产权法律及条约的保护。您只能在本协议规定的范围和期限内试用或使用本软件。\n\n",
};
const char* const kScreen1[] = {
    "1．版权\n\n",
    "　　本软件及其任何副本的一切所有权和知识产权均归权利人所有。通过本软件访问的内容，"
    "其权利归各该内容的所有者所有，本协议不授予您使用这些内容的任何权利。\n\n",
    "2．保证否认书\n\n",
    "　　本软件按现状提供，权利人不作任何形式的保证；对于因使用或不能使用本软件而引起的"
    "任何附带的、间接的或后果性的损害，以及任何使用者的任何损失，",
};
const char* const kScreen2[] = {
    "权利人均不承担任何责任，使用本软件的全部风险由使用者自行承担。\n\n",
    "3．鉴定\n\n",
    "　　本软件未经任何机构鉴定。权利人不保证本软件生成的图形、文字及各项结果正确无误或"
    "适合特定用途；将其结果用于实际工程，风险由使用者自行承担。\n\n",
    "4、个别授权\n\n",
    "　　任何单位或个人为自身目的分发、复制或传播本软件以服务于公众，须事先取得权利人的"
    "书面同意，否则即构成侵权。\n\n",
};
const char* const kScreen3[] = {
    "\n\n\n",
    "权利人：Tavrin软件工作室\n\n",
    "联系方式：请通过本软件的发行渠道与权利人联系\n\n",
    "修订日期：2020年10月8日",
};

struct LicenceScreen {
    const char* const* pieces;
    int count;
};

template <int N>
constexpr LicenceScreen ScreenOf(const char* const (&pieces)[N]) {
    return {pieces, N};
}

const LicenceScreen kScreens[kLastScreen + 1] = {ScreenOf(kScreen0), ScreenOf(kScreen1), ScreenOf(kScreen2),
                                                 ScreenOf(kScreen3)};

}  // namespace

const CommandEntry<Dlg_Page1> Dlg_Page1::kCommands[] = {
    {IDC_PREV_SCREEN, BN_CLICKED, &Dlg_Page1::OnPrevScreen},
    {IDC_NEXT_SCREEN, BN_CLICKED, &Dlg_Page1::OnNextScreen},
    {IDC_DISAGREE, BN_CLICKED, &Dlg_Page1::OnChoiceClicked},
    {IDC_AGREE, BN_CLICKED, &Dlg_Page1::OnChoiceClicked},
};

Dlg_Page1::Dlg_Page1(HWND parent) : CDialog(IDD_PAGE1_LICENCE, parent) {}

void Dlg_Page1::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, IDC_LICENCE_TEXT, m_licenceText);
    DDX_Radio(dx, IDC_DISAGREE, m_agreeChoice);
    DDX_Text(dx, IDC_CAPTION, m_caption);
}

bool Dlg_Page1::OnInitDialog() {
    CDialog::OnInitDialog();
    InitPageLook(*this, m_bkBrush, &m_caption, kHeaderCaptionColours, m_captionFont, m_pictures);
    m_licenceScreen = 0;
    ShowLicenceScreen();
    m_agreeChoice = LicenceChoice;
    UpdateData(false);
    GetDlgItem(IDOK).EnableWindow(m_agreeChoice != 0);
    return true;
}

void Dlg_Page1::ShowLicenceScreen() {
    GetDlgItem(IDC_PREV_SCREEN).EnableWindow(m_licenceScreen != 0);
    GetDlgItem(IDC_NEXT_SCREEN).EnableWindow(m_licenceScreen != kLastScreen);
    if (m_licenceScreen >= 0 && m_licenceScreen <= kLastScreen) {
        const LicenceScreen& screen = kScreens[m_licenceScreen];
        m_licenceText = screen.pieces[0];
        for (int i = 1; i < screen.count; ++i) m_licenceText += screen.pieces[i];
    }
    UpdateData(false);
}

void Dlg_Page1::OnPrevScreen() {
    --m_licenceScreen;
    ShowLicenceScreen();
}

void Dlg_Page1::OnNextScreen() {
    ++m_licenceScreen;
    ShowLicenceScreen();
}

void Dlg_Page1::OnChoiceClicked() {
    UpdateData(true);
    GetDlgItem(IDOK).EnableWindow(m_agreeChoice != 0);
}

void Dlg_Page1::OnOK() {
    // Next is enabled only while "同意" is checked; that is the only gate.
    m_nextPage = 2;
    LicenceChoice = m_agreeChoice;
    CDialog::OnOK();
}

void Dlg_Page1::OnCancel() {
    m_nextPage = 0;
    EndDialog(IDCANCEL);
}

bool Dlg_Page1::OnCommand(int id, int notifyCode) { return DispatchCommand(*this, kCommands, id, notifyCode); }

HBRUSH Dlg_Page1::OnCtlColor(HDC dc, HWND control, UINT kind) {
    // The default handling runs first; its brush is not used.
    CDialog::OnCtlColor(dc, control, kind);
    return ApplyPageColours(kHeaderCaptionColours, dc, control, m_bkBrush, m_captionFont);
}

}  // namespace tavrin
