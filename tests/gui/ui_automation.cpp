#include "ui_automation.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace tavrin::gui {

namespace {

// How often the waits look again.
constexpr DWORD kPollMs = 15;

// Releases a device context got by GetDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Deletes a memory device context.
class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// Selects a GDI object into a device context and deletes it afterwards,
// after putting back what was selected before.
class SelectedBitmap {
public:
    SelectedBitmap(HDC dc, HBITMAP bitmap) : dc_(dc), bitmap_(bitmap) {
        if (bitmap_ != nullptr) previous_ = SelectObject(dc_, bitmap_);
    }
    ~SelectedBitmap() {
        if (bitmap_ == nullptr) return;
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_ = nullptr;
};

// A picture of the screen: 24-bit rows, bottom row first, each padded to a
// multiple of 4 bytes as in a BMP file.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

bool GrabScreen(ScreenPicture& picture) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;
    WindowDc screen(nullptr);
    if (screen.Get() == nullptr) return false;
    MemoryDc memory(screen.Get());
    if (memory.Get() == nullptr) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr || bits == nullptr) return false;
    SelectedBitmap selected(memory.Get(), dib);
    if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY | CAPTUREBLT)) return false;
    GdiFlush();

    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<const unsigned char*>(bits),
                          static_cast<const unsigned char*>(bits) + stride * static_cast<size_t>(height));
    return true;
}

bool WriteBmp(const std::string& path, const ScreenPicture& picture) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(picture.pixels.size());
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(picture.pixels.data()),
              static_cast<std::streamsize>(picture.pixels.size()));
    return static_cast<bool>(out);
}

struct EnumState {
    DWORD pid;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->pid && IsWindowVisible(window)) state->windows->push_back(window);
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() - start >= timeoutMs) return done();
        Sleep(kPollMs);
    }
}

OwnedHandle& OwnedHandle::operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
        Reset(other.handle_);
        other.handle_ = nullptr;
    }
    return *this;
}

void OwnedHandle::Reset(HANDLE h) {
    if (IsOpen()) CloseHandle(handle_);
    handle_ = h;
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& workDir, std::string& error) {
    Kill();
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    bool started = false;
    DWORD failure = 0;
    WaitUntil(
        [&] {
            std::string line = commandLine;  // CreateProcessA may write into it
            started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     workDir.empty() ? nullptr : workDir.c_str(), &startup, &info) != 0;
            failure = started ? 0 : GetLastError();
            return started || failure != ERROR_INTERNAL_ERROR;
        },
        kRetryMs);
    if (!started) {
        error = "CreateProcessA failed, error " + std::to_string(failure) + " for " + commandLine;
        return false;
    }
    CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

bool ChildProcess::IsRunning() const {
    return process_.IsOpen() && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) {
    if (!process_.IsOpen()) return false;
    if (WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process_.Get(), &exitCode) != 0;
}

void ChildProcess::Kill() {
    if (!process_.IsOpen()) return;
    if (IsRunning()) {
        TerminateProcess(process_.Get(), 0xDEAD);
        WaitForSingleObject(process_.Get(), kWaitMs);
    }
    process_.Reset();
    id_ = 0;
}

std::vector<HWND> VisibleTopLevelWindows(DWORD pid) {
    std::vector<HWND> windows;
    EnumState state{pid, &windows};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return windows;
}

std::string ClassNameOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TitleOf(HWND window) {
    char title[512] = "";
    GetWindowTextA(window, title, sizeof(title));
    return title;
}

std::string TextOf(HWND window) {
    if (window == nullptr) return {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kWaitMs, &length)) return {};
    // The length counts bytes of the ANSI text; room for the terminating zero.
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, kWaitMs, &copied)) {
        return {};
    }
    text.resize(std::strlen(text.c_str()));
    return text;
}

HWND ControlOf(HWND dialog, int id) {
    return dialog == nullptr ? nullptr : GetDlgItem(dialog, id);
}

bool IsEnabled(HWND window) {
    return window != nullptr && IsWindowEnabled(window);
}

bool IsShown(HWND window) {
    return window != nullptr && IsWindowVisible(window);
}

int CheckStateOf(HWND button) {
    DWORD_PTR state = BST_UNCHECKED;
    if (button == nullptr || !SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_NORMAL, kWaitMs, &state)) {
        return -1;
    }
    return static_cast<int>(state);
}

HWND FocusWithin(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool Settle(HWND window, DWORD timeoutMs) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

bool Click(HWND button, DWORD timeoutMs) {
    if (!IsShown(button) || !IsEnabled(button)) return false;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

bool PostClick(HWND button) {
    if (!IsShown(button) || !IsEnabled(button)) return false;
    return PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

void PostKey(HWND target, UINT virtualKey) {
    const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    const LPARAM up = down | (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
    PostMessageA(target, WM_KEYDOWN, virtualKey, down);
    PostMessageA(target, WM_KEYUP, virtualKey, up);
}

void PostCloseBox(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool TypeText(HWND edit, const std::string& text, DWORD timeoutMs) {
    if (!IsShown(edit) || !IsEnabled(edit)) return false;
    // Select everything first, so the first character replaces the old text.
    PostMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty()) PostMessageA(edit, WM_CHAR, VK_BACK, 1);
    for (unsigned char byte : text) PostMessageA(edit, WM_CHAR, byte, 1);
    return WaitUntil([&] { return TextOf(edit) == text; }, timeoutMs);
}

std::string MessageBoxText(HWND box) {
    return TextOf(ControlOf(box, kMessageBoxTextId));
}

namespace {

BOOL CALLBACK FindIconControl(HWND child, LPARAM param) {
    const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
    if (ClassNameOf(child) == "Static" && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)) {
        *reinterpret_cast<HWND*>(param) = child;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BoxIcon IconOf(HWND box) {
    HWND icon = nullptr;
    EnumChildWindows(box, FindIconControl, reinterpret_cast<LPARAM>(&icon));
    if (icon == nullptr) return BoxIcon::None;
    RECT rect{};
    ScreenPicture screen;
    if (!GetWindowRect(icon, &rect) || !GrabScreen(screen)) return BoxIcon::None;

    // Pixels of the icon's colours; the white and black of its drawing and
    // the box's grey do not count.
    int red = 0, yellow = 0, blue = 0, all = 0;
    const size_t stride = (static_cast<size_t>(screen.width) * 3 + 3) & ~static_cast<size_t>(3);
    for (LONG y = std::max(0L, rect.top); y < std::min<LONG>(screen.height, rect.bottom); ++y) {
        const unsigned char* row = &screen.pixels[stride * static_cast<size_t>(screen.height - 1 - y)];
        for (LONG x = std::max(0L, rect.left); x < std::min<LONG>(screen.width, rect.right); ++x) {
            const int b = row[x * 3], g = row[x * 3 + 1], r = row[x * 3 + 2];
            ++all;
            if (r > 160 && g < 100 && b < 100) ++red;
            if (r > 160 && g > 140 && b < 100) ++yellow;
            if (b > 140 && r < 100) ++blue;
        }
    }
    const int least = all / 8;
    if (all == 0 || std::max({red, yellow, blue}) < least) return BoxIcon::None;
    if (red > yellow && red > blue) return BoxIcon::Stop;
    return yellow > blue ? BoxIcon::Exclamation : BoxIcon::Question;
}

const char* NameOf(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::None: return "no icon";
    case BoxIcon::Stop: return "the stop icon";
    case BoxIcon::Exclamation: return "the exclamation icon";
    case BoxIcon::Question: return "the question icon";
    }
    return "?";
}

bool SaveScreenshot(const std::string& path, DWORD settleMs) {
    ScreenPicture last;
    if (!GrabScreen(last)) return false;
    WaitUntil(
        [&] {
            ScreenPicture next;
            if (!GrabScreen(next)) return false;
            const bool same = next.pixels == last.pixels;
            last = std::move(next);
            return same;
        },
        settleMs);
    return WriteBmp(path, last);
}

std::string AnsiToUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string WindowsPathOf(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string windows = "Z:" + path;
    for (char& c : windows) {
        if (c == '/') c = '\\';
    }
    return windows;
}

}  // namespace tavrin::gui
