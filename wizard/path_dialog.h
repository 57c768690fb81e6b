// The folder picker of the location page: the shell's folder browser with an
// edit box of ours above the tree, where the user sees the selected path and
// may type one. The browser's OK is taken over: the box's text is tested by
// the path rules and, when it is missing, created after the user agrees;
// only a confirmed path closes the browser with OK.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include "constants.h"
#include "framework/window.h"
#include "install_context.h"

namespace tavrin {

class CPathDialog;

// Takes over the browser window's messages while it is open, so that its OK
// and the added box's changes reach the CPathDialog before the browser.
class CPathDialogSub : public CWnd {
public:
    CPathDialogSub() = default;
    ~CPathDialogSub() override = default;

    CPathDialog* m_pDialog = nullptr;

protected:
    // BN_CLICKED of IDOK goes to OnBrowseOK, EN_CHANGE of the added box to
    // OnPathEditChange; neither reaches the browser. Everything else does;
    // after a selection change of the tree the OK button follows the box.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CPathDialog {
public:
    // `windowCaption` (may be null: the browser keeps its own caption) and
    // `initialPath` (may be null: the current folder is selected) belong to
    // the caller and must outlive the browse; so must `title`. Without a
    // parent the browser is owned by the active window (the current page).
    CPathDialog(const char* windowCaption, const char* title, const char* initialPath, CWnd* parent = nullptr);
    virtual ~CPathDialog() = default;
    CPathDialog(const CPathDialog&) = delete;
    CPathDialog& operator=(const CPathDialog&) = delete;

    // Runs the browser until it is closed. 1 when a path was confirmed, -1 on
    // Cancel, Esc, the close box or when the browser cannot be started.
    virtual int BrowseModal();

    // The last text of the added box (at most 259 bytes); the confirmed path
    // when BrowseModal returned 1.
    Text GetChosenPath() const { return Text(m_chosenPath); }

    // Handlers of the browser's commands, called by m_sub.
    void OnBrowseOK();
    void OnPathEditChange();
    // OK is enabled while the added box holds text.
    void UpdateOkButton();

    const char* m_windowCaption;
    const char* m_initialPath;
    char m_chosenPath[kMaxPathBytes];  // bytes, code page 936, zero-terminated
    BROWSEINFOA m_browseInfo;
    HWND m_hBrowseWnd;
    CWnd* m_pOwner;
    int m_confirmed;
    CPathDialogSub m_sub;

private:
    static int CALLBACK BrowseCallback(HWND hwnd, UINT event, LPARAM data, LPARAM self);
    void OnBrowserInitialized(HWND hwnd);
    void OnSelectionChanged(LPCITEMIDLIST item);
    HWND PathBox() const;
    // The box's whole text; m_chosenPath gets as much of it as fits.
    Text TakePathBoxText();
};

}  // namespace tavrin
