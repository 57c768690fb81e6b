// A small UI-automation layer: starts a program, finds its top-level windows,
// reads the state of their controls by ID, and clicks, types, presses keys
// and closes windows as a user would, by posting the messages that the mouse
// and the keyboard would cause. Every wait has a time limit.
//
// Texts are narrow, in the ANSI code page of the process (936 under the
// tests' Chinese locale), as the program under test sees them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tavrin::gui {

// The longest any single wait lasts.
constexpr DWORD kWaitMs = 20000;
// How long a start of a process is tried again when Wine fails it with an
// internal error (CreateProcess error 1359), which it now and then does while
// another process is winding down.
constexpr DWORD kRetryMs = 5000;

// Polls `done` every few milliseconds until it holds; false when `timeoutMs`
// passed first.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);

// Owns a kernel handle; closes it at scope end.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE h) : handle_(h) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    OwnedHandle& operator=(OwnedHandle&& other) noexcept;

    HANDLE Get() const { return handle_; }
    bool IsOpen() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE h = nullptr);

private:
    HANDLE handle_ = nullptr;
};

// A program started by the test. Killed at scope end if it still runs, so a
// failed test never leaves a window behind for the next one.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `commandLine` (the program's path, quoted as needed, and its
    // arguments) with `workDir` as its current folder. On failure `error`
    // says why.
    bool Start(const std::string& commandLine, const std::string& workDir, std::string& error);
    bool IsStarted() const { return process_.IsOpen(); }
    DWORD Id() const { return id_; }
    bool IsRunning() const;
    // Waits for the end; false when it still runs after `timeoutMs`.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode);
    // Ends it at once (exit code 0xDEAD) and waits for the end.
    void Kill();

private:
    OwnedHandle process_;
    DWORD id_ = 0;
};

// --- Windows and controls ----------------------------------------------------

// The visible top-level windows of process `pid`, in Z order.
std::vector<HWND> VisibleTopLevelWindows(DWORD pid);
std::string ClassNameOf(HWND window);
// The title of a top-level window, read without sending it a message (so a
// busy window does not hold the caller up).
std::string TitleOf(HWND window);
// The window's text through WM_GETTEXT, which is marshalled between
// processes (GetWindowText does not read another process's controls).
std::string TextOf(HWND window);
// Null when the dialog has no control with that ID.
HWND ControlOf(HWND dialog, int id);
bool IsEnabled(HWND window);
bool IsShown(HWND window);
// BM_GETCHECK: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
int CheckStateOf(HWND button);
// The window with the keyboard focus in the GUI thread that owns `window`.
HWND FocusWithin(HWND window);

// Returns once the thread that owns `window` is waiting for messages again
// (it answers a sent WM_NULL from its message loop). Sent messages overtake
// posted ones, so this does not prove that posted input was handled: wait
// for its effect instead. False when the thread did not answer in time.
bool Settle(HWND window, DWORD timeoutMs = kWaitMs);

// A left click on a push button, check box or radio button (BM_CLICK: the
// button is pressed and released and tells its dialog). Click returns once
// the dialog has handled the click; false when the button is disabled or
// hidden (a user cannot click it) or the dialog did not answer in time.
bool Click(HWND button, DWORD timeoutMs = kWaitMs);
// The same click posted, for a click that opens a modal box or otherwise
// does not return at once: the caller waits for the effect. False, and
// nothing posted, when the button is disabled or hidden.
bool PostClick(HWND button);
// A key pressed and released while `target` has the focus; the dialog's
// message loop sees it exactly as it would see the keyboard's.
void PostKey(HWND target, UINT virtualKey);
// The title bar's close box (WM_SYSCOMMAND SC_CLOSE).
void PostCloseBox(HWND window);
// Replaces the text of an edit box as typing would: the old text is selected
// and each character arrives as WM_CHAR (a double-byte character as its two
// bytes, lead byte first). Returns once the box holds `text`.
bool TypeText(HWND edit, const std::string& text, DWORD timeoutMs = kWaitMs);

// The message text of a platform message box: its static 0xFFFF. (Pages
// may have static texts with ID -1 too, so telling a message box from a
// page is the caller's business, by title or by the page's own IDs.)
constexpr int kMessageBoxTextId = 0xFFFF;
std::string MessageBoxText(HWND box);

// The icon a platform message box shows, told by the colours of its icon
// control on the screen: the stop icon is mostly red, the exclamation icon
// yellow, the question icon blue. None when the box shows no icon (Wine
// keeps the icon control of a box without icon, empty).
enum class BoxIcon { None, Stop, Exclamation, Question };
BoxIcon IconOf(HWND box);
const char* NameOf(BoxIcon icon);

// --- Screenshots -----------------------------------------------------------

// Saves the whole screen as a 24-bit BMP file. It takes pictures until two in
// a row are equal (windows still drawing give different ones), for at most
// `settleMs`, and saves the last one.
bool SaveScreenshot(const std::string& path, DWORD settleMs = 2000);

// --- Texts -----------------------------------------------------------------

// A text of the ANSI code page as UTF-8, for the test's own messages.
std::string AnsiToUtf8(const std::string& text);
// A Unix path ("/x/y") as Wine's Windows path ("Z:\x\y"); other paths unchanged.
std::string WindowsPathOf(const std::string& path);

}  // namespace tavrin::gui
