// The look every wizard page shares: the light-blue background, the small
// window icon, the version caption in its semi-bold dark-green font, and
// black text drawn without a background.
#pragma once

#include <windows.h>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "install_context.h"

namespace tavrin {

// "Tavrin批打印软件 V2020.10.8 (64位版本)" for 20201008 and 64.
Text FormatVersionCaption(int version, int bits);

// What tells the two colour handlers apart: the control that is the version
// caption, and the one control (if any) whose text keeps the opaque
// background that the default handling gave it.
struct PageColours {
    int captionId;
    int opaqueTextId;  // 0: none
};
// Licence and component pages: caption 1011.
extern const PageColours kHeaderCaptionColours;
// Location and finish pages: caption 1013; the path edit box 1000 keeps its
// opaque text background.
extern const PageColours kLowerCaptionColours;

// The pictures of a page's bitmap statics (the header logo; the finish
// page's picture too), which the statics load from the template. Windows
// deletes such a picture with its static, Wine never does, so the page
// takes them over: a picture handed to a static with STM_SETIMAGE stays the
// sender's on both. They are deleted with the page object.
class PagePictures {
public:
    // Takes over the picture of every bitmap static of `page`.
    void Adopt(HWND page);

private:
    static BOOL CALLBACK AdoptOne(HWND control, LPARAM self);

    static constexpr int kMaxPictures = 2;
    CBitmap m_pictures[kMaxPictures];
    int m_count = 0;
};

// The look steps of a page's initialisation, in order: the background brush
// into `background`; for a page with a caption (`caption` not null) the
// formatted caption text and the caption font, created here once for the
// page's whole life; the small window icon; the pictures of its bitmap
// statics into `pictures`.
void InitPageLook(CDialog& page, CBrush& background, Text* caption, const PageColours& colours,
                  CFont& captionFont, PagePictures& pictures);

// The colour handling for one WM_CTLCOLOR* request, after the page has run
// the default handling: black text, transparent text background, and for the
// caption its font and colour. Returns the background brush (null when it
// could not be created).
HBRUSH ApplyPageColours(const PageColours& colours, HDC dc, HWND control, const CBrush& background,
                        const CFont& captionFont);

}  // namespace tavrin
