#include "message_box.h"

#include "app.h"

namespace tavrin {

Text AfxGetAppName() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(AfxGetResourceHandle(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return Text();
    Text name(path, length);
    // The path is code page 936: a trail byte can be 0x5C, so the last
    // separator is found by walking the characters, not by searching bytes.
    size_t start = 0;
    size_t dot = Text::npos;
    for (const char* p = name.c_str(); *p != '\0'; p = ::CharNextA(p)) {
        const size_t offset = static_cast<size_t>(p - name.c_str());
        if (*p == '\\' || *p == '/' || *p == ':') {
            start = offset + 1;
            dot = Text::npos;
        } else if (*p == '.') {
            dot = offset;
        }
    }
    const size_t end = dot == Text::npos ? name.size() : dot;
    return name.substr(start, end - start);
}

int AfxMessageBox(const Text& text, UINT type) {
    const Text caption = AfxGetAppName();
    return ::MessageBoxA(::GetActiveWindow(), text.c_str(), caption.c_str(), type);
}

void AfxReportInvalidArgument() {
    char* message = nullptr;
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(E_INVALIDARG), 0, reinterpret_cast<char*>(&message), 0, nullptr);
    Text text = length > 0 && message != nullptr ? Text(message, length) : Text();
    if (message != nullptr) ::LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (text.empty()) text = "内部应用程序出错。";
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
}

}  // namespace tavrin
