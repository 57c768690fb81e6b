#include "gdi.h"

namespace tavrin {

CBrush::~CBrush() {
    if (m_hBrush != nullptr) ::DeleteObject(m_hBrush);
}

bool CBrush::CreateSolidBrush(COLORREF colour) {
    if (m_hBrush != nullptr) ::DeleteObject(m_hBrush);
    m_hBrush = ::CreateSolidBrush(colour);
    return m_hBrush != nullptr;
}

CFont::~CFont() {
    if (m_hFont != nullptr) ::DeleteObject(m_hFont);
}

bool CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outputPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* face) {
    if (m_hFont != nullptr) ::DeleteObject(m_hFont);
    m_hFont = ::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                            charSet, outputPrecision, clipPrecision, quality, pitchAndFamily, face);
    return m_hFont != nullptr;
}

CBitmap::~CBitmap() {
    if (m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
}

void CBitmap::Attach(HBITMAP bitmap) {
    if (m_hBitmap != nullptr && m_hBitmap != bitmap) ::DeleteObject(m_hBitmap);
    m_hBitmap = bitmap;
}

}  // namespace tavrin
