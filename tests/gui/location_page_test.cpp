// The location page refusing a folder text before anything is created: an
// empty text gets the framework's stop-icon error box, a text with ";" and
// one too long for the paths built from it get a message of their own; the
// page stays open with the text as typed, and the machine is untouched.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <ostream>
#include <string>

#include "install_scenario.h"
#include "resource.h"
#include "wizard_session.h"
#include "wizard_texts.h"

namespace tavrin::gui {
namespace {

// The most bytes a chosen folder may have with the standard payload: 259
// less "\Tavrin批打印软件" (17 bytes) and "\ICSharpCode.SharpZipLib.dll" (28).
constexpr int kMaxFolderBytes = 214;

enum class Refusal { Empty, Semicolon, TooLong, RelativeTooLong };

struct RefusalCase {
    const char* name;
    Refusal kind;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

const RefusalCase kRefusalCases[] = {
    {"EmptyText", Refusal::Empty},
    {"Semicolon", Refusal::Semicolon},
    {"OneByteTooLong", Refusal::TooLong},
    {"RelativeTextTooLongOnceAbsolute", Refusal::RelativeTooLong},
};

std::string Fill(const char* format, const std::string& text) {
    const int length = std::snprintf(nullptr, 0, format, text.c_str());
    std::string out(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, text.c_str());
    out.resize(static_cast<size_t>(length));
    return out;
}

// The refusal of a folder too long: its bytes and the most it may have.
std::string TooLongText(const std::string& folder) {
    char out[512];
    std::snprintf(out, sizeof out, texts::kFolderTooLongFormat, static_cast<int>(folder.size()), kMaxFolderBytes);
    return out;
}

// The system's text for an invalid argument, or the framework's own where
// the system has none.
std::string InvalidArgumentText() {
    char* message = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(E_INVALIDARG), 0, reinterpret_cast<char*>(&message), 0, nullptr);
    std::string text = length > 0 && message != nullptr ? std::string(message, length) : std::string();
    if (message != nullptr) LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text.empty() ? texts::kInternalError : text;
}

struct Typed {
    std::string text;     // typed into the page's box
    std::string folder;   // the folder the run would create (absolute)
    std::string message;  // the refusal
};

Typed TypedFor(Refusal kind) {
    switch (kind) {
    case Refusal::Empty:
        return {"", texts::kDefaultPath, InvalidArgumentText()};
    case Refusal::Semicolon: {
        const std::string text = "C:\\图纸;D:\\旧";
        return {text, "C:\\图纸", Fill(texts::kFolderHasSemicolonFormat, text)};
    }
    case Refusal::TooLong: {
        // Words, so that the message box can break the line.
        std::string text = "C:\\";
        while (text.size() < kMaxFolderBytes + 1) text += text.size() % 10 == 9 ? ' ' : 'L';
        return {text, text, TooLongText(text)};
    }
    case Refusal::RelativeTooLong: {
        // The wizard's current folder is its setup folder, in the temp
        // folder; ".." is the temp folder itself.
        const std::string base = TempFolder() + "\\";
        std::string name;
        while (base.size() + name.size() < kMaxFolderBytes + 1) name += name.size() % 10 == 9 ? ' ' : 'R';
        return {"..\\" + name, base + name, TooLongText(base + name)};
    }
    }
    return {};
}

class RefusedFolderText : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedFolderText, IsToldAndCreatesNothing) {
    const RefusalCase& c = GetParam();
    const Typed typed = TypedFor(c.kind);
    InstallMachine machine({typed.folder, texts::kDefaultPath});
    ASSERT_TRUE(machine.Prepare());
    const RegistryState before = ReadAutodeskKeys();

    Wizard wizard;
    ASSERT_TRUE(wizard.Start(StandardPayload()));
    Page page;
    ASSERT_TRUE(WalkTo(wizard, PageKind::Location, page));
    ASSERT_TRUE(page.Type(IDC_PATH_EDIT, typed.text));
    ASSERT_TRUE(PostClick(page.Control(IDOK)));

    HWND box = nullptr;
    ASSERT_TRUE(wizard.WaitForBox(BoxKind::MessageBox, box));
    EXPECT_EQ(texts::kAppName, TitleOf(box));
    EXPECT_EQ(AnsiToUtf8(typed.message), AnsiToUtf8(MessageBoxText(box)));
    EXPECT_STREQ(NameOf(BoxIcon::Stop), NameOf(IconOf(box)));
    EXPECT_TRUE(IsShown(ControlOf(box, IDOK)));
    ASSERT_TRUE(PostClick(ControlOf(box, IDOK)));
    ASSERT_TRUE(wizard.WaitUntilClosed(box));

    // The page stays, showing the text as typed; nothing was created or
    // written.
    ASSERT_TRUE(Settle(page.Window()));
    EXPECT_TRUE(IsShown(page.Window()));
    EXPECT_EQ(AnsiToUtf8(typed.text), AnsiToUtf8(page.Text(IDC_PATH_EDIT)));
    EXPECT_FALSE(Exists(typed.folder)) << AnsiToUtf8(typed.folder);
    EXPECT_FALSE(Exists(UserConfigFolderPath()));
    EXPECT_TRUE(SameRegistry(before, ReadAutodeskKeys()));
    for (const AcadProduct& product : MachineProducts()) {
        EXPECT_EQ(AcadFolderBefore(product), ReadTree(product.folder)) << AnsiToUtf8(product.folder);
    }

    ASSERT_TRUE(page.Click(IDCANCEL));
    ASSERT_TRUE(wizard.Ends());
}

INSTANTIATE_TEST_SUITE_P(LocationPage, RefusedFolderText, ::testing::ValuesIn(kRefusalCases),
                         [](const ::testing::TestParamInfo<RefusalCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tavrin::gui
