// Scripted stand-ins for the location page's progress bar and message boxes,
// shared by the engine-step tests (native and under Wine).
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "install_ui.h"

namespace tavrin {
namespace fakes {

class CountingProgress : public InstallProgress {
public:
    void Step() override { ++steps; }
    int steps = 0;
};

// Answers each failed-copy question with the next scripted answer, after
// running its action (say, closing the program that held the file). A
// question beyond the script is a test failure and is answered Abort.
class ScriptedPrompt : public InstallPrompt {
public:
    struct Answer {
        CopyFailureAnswer answer;
        std::function<void()> before;
    };
    struct Shown {
        std::string text;
        std::string caption;
    };

    ScriptedPrompt() = default;
    explicit ScriptedPrompt(std::vector<CopyFailureAnswer> answers) {
        for (CopyFailureAnswer a : answers) script.push_back({a, nullptr});
    }
    ScriptedPrompt& Then(CopyFailureAnswer answer, std::function<void()> before = nullptr) {
        script.push_back({answer, std::move(before)});
        return *this;
    }

    CopyFailureAnswer AskCopyFailed(const std::string& text, const std::string& caption) override {
        questions.push_back({text, caption});
        if (script.empty()) {
            ADD_FAILURE() << "unexpected copy-failed question: " << text;
            return CopyFailureAnswer::Abort;
        }
        Answer next = std::move(script.front());
        script.pop_front();
        if (next.before) next.before();
        return next.answer;
    }
    void ShowError(const std::string& text, const std::string& caption) override {
        errors.push_back({text, caption});
    }

    std::deque<Answer> script;
    std::vector<Shown> questions;
    std::vector<Shown> errors;
};

// The text of the failed-copy question for `destination`, spelled out here
// rather than taken from the engine's constant.
inline std::string CopyFailedText(const std::string& destination) {
    return "拷贝文件 " + destination +
           " 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";
}

inline const char* InstallCaptionText() { return "Tavrin软件安装"; }

}  // namespace fakes
}  // namespace tavrin
