#include "path_dialog.h"

// <windows.h> makes CopyFile a macro for CopyFileA; the file-system interface
// has a member of that name.
#undef CopyFile

#include <commctrl.h>

#include <cstring>

#include "framework/dialog.h"
#include "framework/message_box.h"
#include "path_rules.h"
#include "resource.h"
#include "win32_file_system.h"

namespace tavrin {

namespace {

// The added box sits above the folder tree, across its width: from 27 to 4
// pixels above the tree's top edge.
constexpr int kBoxTopAboveTree = 27;
constexpr int kBoxBottomAboveTree = 4;

const CommandEntry<CPathDialog> kBrowserCommands[] = {
    {IDOK, BN_CLICKED, &CPathDialog::OnBrowseOK},
    {IDC_BROWSER_PATH_EDIT, EN_CHANGE, &CPathDialog::OnPathEditChange},
};

// The picker's questions and messages as application message boxes.
class MessageBoxPrompt : public PathPrompt {
public:
    bool AskYesNo(const std::string& text) override {
        return AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    void ShowWarning(const std::string& text) override { AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); }
};

// The shell's allocator, released when it goes out of scope.
class ShellAllocator {
public:
    ShellAllocator() {
        if (FAILED(::SHGetMalloc(&m_malloc))) m_malloc = nullptr;
    }
    ~ShellAllocator() {
        if (m_malloc != nullptr) m_malloc->Release();
    }
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;

    bool valid() const { return m_malloc != nullptr; }
    void Free(void* block) { m_malloc->Free(block); }

private:
    IMalloc* m_malloc = nullptr;
};

// COM for the browser's thread, as the shell asks of its callers; every
// successful start (S_FALSE included) is balanced at the end of the browse.
class ComApartment {
public:
    ComApartment() : m_started(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (m_started) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_started;
};

bool IsTreeSelectionChange(LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    return header != nullptr && header->idFrom == IDC_BROWSER_TREE &&
           (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW);
}

}  // namespace

LRESULT CPathDialogSub::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pDialog == nullptr) return CWnd::WindowProc(message, wParam, lParam);
    if (message == WM_COMMAND && DispatchCommand(*m_pDialog, kBrowserCommands, LOWORD(wParam), HIWORD(wParam))) {
        return 0;
    }
    const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    // Some browsers (Wine's) judge the OK button themselves after the
    // selection event; the box's text has the last word.
    if (message == WM_NOTIFY && IsTreeSelectionChange(lParam)) m_pDialog->UpdateOkButton();
    return result;
}

CPathDialog::CPathDialog(const char* windowCaption, const char* title, const char* initialPath, CWnd* parent)
    : m_windowCaption(windowCaption),
      m_initialPath(initialPath),
      m_chosenPath(),
      m_browseInfo(),
      m_hBrowseWnd(nullptr),
      m_pOwner(parent),
      m_confirmed(0) {
    m_sub.m_pDialog = this;
    m_browseInfo.hwndOwner = parent != nullptr ? parent->GetSafeHwnd() : ::GetActiveWindow();
    m_browseInfo.pidlRoot = nullptr;
    m_browseInfo.lpszTitle = title;
    m_browseInfo.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    m_browseInfo.lpfn = &CPathDialog::BrowseCallback;
}

int CPathDialog::BrowseModal() {
    char displayName[kMaxPathBytes] = {};
    m_browseInfo.lParam = reinterpret_cast<LPARAM>(this);
    m_browseInfo.lpfn = &CPathDialog::BrowseCallback;

    ComApartment com;
    ShellAllocator allocator;
    if (!allocator.valid()) return -1;

    m_confirmed = 0;
    // The path comes from the added box, never from the browser's result.
    // The display-name buffer lives for this browse only: it goes into a copy
    // of the parameter block, so the member never points at it.
    BROWSEINFOA info = m_browseInfo;
    info.pszDisplayName = displayName;
    LPITEMIDLIST item = ::SHBrowseForFolderA(&info);
    if (item != nullptr) allocator.Free(item);
    m_hBrowseWnd = nullptr;
    return m_confirmed != 0 ? 1 : -1;
}

int CALLBACK CPathDialog::BrowseCallback(HWND hwnd, UINT event, LPARAM data, LPARAM self) {
    CPathDialog* dialog = reinterpret_cast<CPathDialog*>(self);
    if (dialog == nullptr) return 0;
    if (event == BFFM_INITIALIZED) dialog->OnBrowserInitialized(hwnd);
    if (event == BFFM_SELCHANGED) dialog->OnSelectionChanged(reinterpret_cast<LPCITEMIDLIST>(data));
    return 0;
}

void CPathDialog::OnBrowserInitialized(HWND hwnd) {
    m_hBrowseWnd = hwnd;
    if (m_windowCaption != nullptr) ::SetWindowTextA(hwnd, m_windowCaption);
    m_sub.SubclassWindow(hwnd);
    ::ShowWindow(::GetDlgItem(hwnd, IDC_BROWSER_STATUS), SW_HIDE);

    RECT tree = {};
    ::GetWindowRect(::GetDlgItem(hwnd, IDC_BROWSER_TREE), &tree);
    RECT box = {tree.left, tree.top - kBoxTopAboveTree, tree.right, tree.top - kBoxBottomAboveTree};
    ::MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&box), 2);
    HWND edit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                  box.left, box.top, box.right - box.left, box.bottom - box.top, hwnd, nullptr,
                                  nullptr, nullptr);
    if (edit != nullptr) {
        ::SetWindowLongPtrA(edit, GWLP_ID, IDC_BROWSER_PATH_EDIT);
        ::ShowWindow(edit, SW_SHOW);
        ::SendMessageA(edit, WM_SETFONT, static_cast<WPARAM>(::SendMessageA(hwnd, WM_GETFONT, 0, 0)), TRUE);
    }

    // Selecting a folder raises the selection event, which fills the box.
    char current[kMaxPathBytes] = {};
    const char* initial = m_initialPath;
    if (initial == nullptr) {
        const DWORD length = ::GetCurrentDirectoryA(kMaxPathBytes, current);
        if (length == 0 || length >= kMaxPathBytes) return;
        initial = current;
    }
    ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(initial));
}

void CPathDialog::OnSelectionChanged(LPCITEMIDLIST item) {
    // Only drive-letter folders can be confirmed; the desktop, network
    // places and virtual folders leave the box empty.
    char path[kMaxPathBytes] = {};
    const bool onDrive = item != nullptr && ::SHGetPathFromIDListA(item, path) && path[0] != '\0' && path[1] == ':';
    if (!onDrive) path[0] = '\0';
    ::SendMessageA(m_hBrowseWnd, BFFM_ENABLEOK, 0, onDrive ? 1 : 0);
    ::SendMessageA(m_hBrowseWnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    HWND box = PathBox();
    if (box != nullptr) ::SetWindowTextA(box, path);
}

HWND CPathDialog::PathBox() const { return ::GetDlgItem(m_hBrowseWnd, IDC_BROWSER_PATH_EDIT); }

Text CPathDialog::TakePathBoxText() {
    const Text text = CWnd(PathBox()).GetWindowText();
    const Text kept = CutToBytes(text, kMaxChosenPathBytes);
    std::memcpy(m_chosenPath, kept.c_str(), kept.size() + 1);
    return text;
}

void CPathDialog::OnPathEditChange() {
    TakePathBoxText();
    UpdateOkButton();
}

void CPathDialog::UpdateOkButton() {
    const bool hasText = ::GetWindowTextLengthA(PathBox()) > 0;
    ::SendMessageA(m_hBrowseWnd, BFFM_ENABLEOK, 0, hasText ? 1 : 0);
}

void CPathDialog::OnBrowseOK() {
    // A text longer than the buffer is tested whole (and refused as
    // malformed), never cut to a shorter path that would then be created.
    const Text text = TakePathBoxText();
    Win32FileSystem fileSystem;
    MessageBoxPrompt prompt;
    if (ConfirmChosenPath(fileSystem, prompt, text) != kPathGood) {
        ::SetFocus(PathBox());
        return;
    }
    m_confirmed = 1;
    ::EndDialog(m_hBrowseWnd, IDOK);
}

}  // namespace tavrin
