#include "bar_recorder.h"

#include <commctrl.h>

namespace tavrin::gui {

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

// bar_hook.dll is built beside the test program.
std::string HookLibraryPath() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder(path, length);
    const size_t slash = folder.find_last_of('\\');
    return (slash == std::string::npos ? std::string(".") : folder.substr(0, slash)) + "\\bar_hook.dll";
}

const char* MessageName(unsigned message) {
    switch (message) {
    case PBM_SETRANGE: return "SETRANGE";
    case PBM_SETRANGE32: return "SETRANGE32";
    case PBM_SETPOS: return "SETPOS";
    case PBM_DELTAPOS: return "DELTAPOS";
    case PBM_STEPIT: return "STEPIT";
    case PBM_SETSTEP: return "SETSTEP";
    }
    return "?";
}

}  // namespace

BarRecorder::~BarRecorder() {
    Detach();
}

void BarRecorder::Detach() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
    if (log_ != nullptr) UnmapViewOfFile(log_);
    log_ = nullptr;
    mapping_.Reset();
}

AssertionResult BarRecorder::Attach(HWND page) {
    Detach();
    mapping_.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(BarLog), kBarLogName));
    if (!mapping_.IsOpen()) return AssertionFailure() << "no shared memory for the bar log, error " << GetLastError();
    log_ = static_cast<BarLog*>(MapViewOfFile(mapping_.Get(), FILE_MAP_WRITE, 0, 0, sizeof(BarLog)));
    if (log_ == nullptr) return AssertionFailure() << "cannot map the bar log, error " << GetLastError();
    log_->count = 0;

    const std::string library = HookLibraryPath();
    module_ = LoadLibraryA(library.c_str());
    if (module_ == nullptr) return AssertionFailure() << "cannot load " << library << ", error " << GetLastError();
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_, "BarHookProc")));
    if (proc == nullptr) return AssertionFailure() << library << " has no BarHookProc";
    const DWORD thread = GetWindowThreadProcessId(page, nullptr);
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, proc, module_, thread);
    if (hook_ == nullptr) return AssertionFailure() << "cannot hook thread " << thread << ", error " << GetLastError();
    return AssertionSuccess();
}

std::vector<BarEvent> BarRecorder::Events() const {
    if (log_ == nullptr) return {};
    const long count = log_->count < kBarLogCapacity ? log_->count : kBarLogCapacity;
    return std::vector<BarEvent>(log_->events, log_->events + count);
}

std::string Describe(const BarEvent& event) {
    return std::string(MessageName(event.message)) + " -> " + std::to_string(event.position) + " (" +
           std::to_string(event.low) + ".." + std::to_string(event.high) + ")";
}

std::string Describe(const std::vector<BarEvent>& events) {
    std::string text;
    for (const BarEvent& event : events) text += "  " + Describe(event) + "\n";
    return text.empty() ? "  (no event)\n" : text;
}

}  // namespace tavrin::gui
