// What the install run needs from the window that runs it. The engine never
// touches a window: the location page implements these with its progress bar
// and message boxes it owns; the tests implement them with scripted answers.
#pragma once

#include <string>

namespace tavrin {

// A progress bar that moves by its step (PBM_STEPIT).
class InstallProgress {
public:
    virtual ~InstallProgress() = default;
    virtual void Step() = 0;
};

// The user's answer to a failed copy, with the values of IDABORT, IDRETRY and
// IDIGNORE.
enum class CopyFailureAnswer { Abort = 3, Retry = 4, Ignore = 5 };

class InstallPrompt {
public:
    virtual ~InstallPrompt() = default;
    // Abort/Retry/Ignore box without icon; `text` and `caption` are complete.
    virtual CopyFailureAnswer AskCopyFailed(const std::string& text, const std::string& caption) = 0;
    // A box with an OK button and a stop icon, for a failure that ends the run.
    virtual void ShowError(const std::string& text, const std::string& caption) = 0;
};

}  // namespace tavrin
