// Graphics objects that a page owns for its lifetime: each holder deletes its
// GDI object when it is destroyed, so no brush, font or bitmap outlives its page and
// none is created twice.
#pragma once

#include <windows.h>

namespace tavrin {

class CBrush {
public:
    CBrush() = default;
    ~CBrush();
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    // A solid brush of `colour`; any brush held before is deleted first.
    bool CreateSolidBrush(COLORREF colour);
    // Null while no brush has been created (or creation failed).
    HBRUSH GetSafeHandle() const { return m_hBrush; }

private:
    HBRUSH m_hBrush = nullptr;
};

class CFont {
public:
    CFont() = default;
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // The arguments of the Win32 CreateFont call, in its order; `face` is a
    // narrow name in code page 936. Any font held before is deleted first.
    bool CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outputPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const char* face);
    HFONT GetSafeHandle() const { return m_hFont; }

private:
    HFONT m_hFont = nullptr;
};

// A bitmap that was made elsewhere and is now owned here.
class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Takes `bitmap` over; any bitmap held before is deleted first.
    void Attach(HBITMAP bitmap);
    HBITMAP GetSafeHandle() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap = nullptr;
};

}  // namespace tavrin
