#include "page_look.h"

#include <cstdio>

#include "framework/app.h"
#include "resource.h"

namespace tavrin {

namespace {
const COLORREF kBackgroundColour = RGB(160, 180, 220);
const COLORREF kTextColour = RGB(0, 0, 0);
const COLORREF kCaptionColour = RGB(10, 70, 40);
}  // namespace

const PageColours kHeaderCaptionColours = {IDC_CAPTION, 0};
const PageColours kLowerCaptionColours = {IDC_CAPTION_PAGE3, IDC_PATH_EDIT};

Text FormatVersionCaption(int version, int bits) {
    char caption[128];
    std::snprintf(caption, sizeof(caption), "Tavrin批打印软件 V%d.%d.%d (%d位版本)", VersionMajor(version),
                  VersionMinor(version), VersionPatch(version), bits);
    return caption;
}

void PagePictures::Adopt(HWND page) {
    ::EnumChildWindows(page, &PagePictures::AdoptOne, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK PagePictures::AdoptOne(HWND control, LPARAM self) {
    PagePictures& pictures = *reinterpret_cast<PagePictures*>(self);
    if (pictures.m_count == kMaxPictures) return FALSE;
    char className[8] = {};
    if (::GetClassNameA(control, className, sizeof(className)) == 0 || ::lstrcmpiA(className, "Static") != 0)
        return TRUE;
    if ((::GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) return TRUE;
    HBITMAP picture = reinterpret_cast<HBITMAP>(::SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (picture == nullptr) return TRUE;
    // Handing the static its own picture makes it ours to delete.
    ::SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
    pictures.m_pictures[pictures.m_count++].Attach(picture);
    return TRUE;
}

void InitPageLook(CDialog& page, CBrush& background, Text* caption, const PageColours& colours,
                  CFont& captionFont, PagePictures& pictures) {
    background.CreateSolidBrush(kBackgroundColour);
    if (caption != nullptr) {
        *caption = FormatVersionCaption(ProductVersion, ProductBits);
        // Some static controls select their own font after asking for their
        // colours, so the caption control is also given the font to draw
        // with; selecting it in the colour handler alone is not enough there.
        if (captionFont.CreateFont(12, 0, 0, 0, 600, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "宋体")) {
            ::SendDlgItemMessageA(page.GetSafeHwnd(), colours.captionId, WM_SETFONT,
                                  reinterpret_cast<WPARAM>(captionFont.GetSafeHandle()), FALSE);
        }
    }
    // LoadIcon gives the shared icon at the system's default size; the system
    // keeps it, so the page never frees it. Only the small icon is set.
    HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_SETUP));
    if (icon != nullptr) ::SendMessageA(page.GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    pictures.Adopt(page.GetSafeHwnd());
}

HBRUSH ApplyPageColours(const PageColours& colours, HDC dc, HWND control, const CBrush& background,
                        const CFont& captionFont) {
    const int id = ::GetDlgCtrlID(control);
    ::SetTextColor(dc, kTextColour);
    if (colours.opaqueTextId == 0 || id != colours.opaqueTextId) ::SetBkMode(dc, TRANSPARENT);
    if (id == colours.captionId) {
        if (captionFont.GetSafeHandle() != nullptr) ::SelectObject(dc, captionFont.GetSafeHandle());
        ::SetTextColor(dc, kCaptionColour);
    }
    return background.GetSafeHandle();
}

}  // namespace tavrin
