// The folder picker that Browse opens on the location page: the shell's
// folder browser with the path box above its tree, the path rules at its
// OK with their three messages, folders created level by level, and what the
// page's edit box shows afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "install_machine.h"
#include "resource.h"
#include "wizard_session.h"
#include "wizard_texts.h"

namespace tavrin::gui {
namespace {

// What the picker tests start from: the location page showing `pageText`,
// the picker open over it.
class FolderPicker : public ::testing::Test {
protected:
    void OpenPicker(const std::string& pageText) {
        ASSERT_TRUE(SeedRegistry("gui_acad2010_only"));
        ASSERT_TRUE(wizard_.Start());
        ASSERT_TRUE(WalkTo(wizard_, PageKind::Location, page_));
        ASSERT_TRUE(page_.Type(IDC_PATH_EDIT, pageText));
        ASSERT_TRUE(PostClick(page_.Control(IDC_BROWSE)));
        ASSERT_TRUE(wizard_.WaitForBox(BoxKind::FolderBrowser, picker_));
        pathBox_ = ControlOf(picker_, IDC_BROWSER_PATH_EDIT);
        ASSERT_NE(nullptr, pathBox_) << "the picker has no path box";
    }

    // The picker's own buttons.
    HWND PickerButton(int id) const { return ControlOf(picker_, id); }

    Wizard wizard_;
    Page page_;
    HWND picker_ = nullptr;
    HWND pathBox_ = nullptr;
};

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool SameTextNoCase(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

TEST_F(FolderPicker, OpensWithItsPathBoxAboveTheTreeAndThePageText) {
    OpenPicker("C:\\windows");
    EXPECT_EQ(AnsiToUtf8(texts::kPickerCaption), AnsiToUtf8(TitleOf(picker_)));

    HWND tree = ControlOf(picker_, IDC_BROWSER_TREE);
    ASSERT_NE(nullptr, tree);
    EXPECT_TRUE(IsShown(pathBox_));
    EXPECT_EQ("Edit", ClassNameOf(pathBox_));
    EXPECT_FALSE(IsShown(ControlOf(picker_, IDC_BROWSER_STATUS))) << "the status line is hidden";
    // Across the tree's width, from 27 to 4 pixels above its top edge.
    const RECT box = ScreenRect(pathBox_);
    const RECT treeRect = ScreenRect(tree);
    EXPECT_EQ(treeRect.left, box.left);
    EXPECT_EQ(treeRect.right, box.right);
    EXPECT_EQ(treeRect.top - 27, box.top);
    EXPECT_EQ(treeRect.top - 4, box.bottom);

    // The page's folder is selected and shown in the box; OK is enabled.
    EXPECT_TRUE(SameTextNoCase("C:\\windows", TextOf(pathBox_))) << AnsiToUtf8(TextOf(pathBox_));
    EXPECT_TRUE(IsEnabled(PickerButton(IDOK)));

    // The desktop, at the tree's top, is no drive-letter folder: the box
    // empties and OK is disabled. Typing enables OK again.
    const LRESULT root = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    ASSERT_NE(0, root);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, root);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(pathBox_).empty(); })) << AnsiToUtf8(TextOf(pathBox_));
    EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(PickerButton(IDOK)); }));
    wizard_.Screenshot("desktop-selected");
    ASSERT_TRUE(TypeText(pathBox_, "D"));
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(PickerButton(IDOK)); }));
    ASSERT_TRUE(TypeText(pathBox_, ""));
    EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(PickerButton(IDOK)); }));

    // Cancel leaves the page's text as it was.
    ASSERT_TRUE(PostClick(PickerButton(IDCANCEL)));
    ASSERT_TRUE(wizard_.WaitUntilClosed(picker_));
    EXPECT_EQ("C:\\windows", page_.Text(IDC_PATH_EDIT));
    ASSERT_TRUE(page_.Click(IDCANCEL));
    ASSERT_TRUE(wizard_.Ends());
}

// --- The picker's OK --------------------------------------------------------

enum class Message { Invalid, Missing, CannotCreate };

// One message box the picker's OK brings, and the button the user presses.
struct Answered {
    Message message;
    int button;
};

struct OkCase {
    const char* name;
    std::string typed;              // typed into the picker's box
    std::vector<Answered> boxes;    // the message boxes, in order
    bool confirmed;                 // the picker closes and the page shows `typed`
    std::vector<std::string> made;  // folders that exist afterwards
    std::vector<std::string> absent;  // folders that do not
};

void PrintTo(const OkCase& c, std::ostream* out) {
    *out << c.name;
}

// Folder names whose second byte is "\" (0x5C) and "|" (0x7C) in code page
// 936: 礬 is B5 5C, 磡 is B4 7C.
const std::string kTrailBytes = "C:\\礬磡";

const OkCase kOkCases[] = {
    {"ExistingFolder", "C:\\users", {}, true, {}, {}},
    {"DriveRoot", "C:\\", {}, true, {}, {}},
    {"TwoBackslashes", "C:\\无效\\\\b", {{Message::Invalid, IDOK}}, false, {}, {"C:\\无效"}},
    {"TrailingBackslash", "C:\\无效\\", {{Message::Invalid, IDOK}}, false, {}, {"C:\\无效"}},
    {"QuestionMark", "C:\\无效\\b?", {{Message::Invalid, IDOK}}, false, {}, {"C:\\无效"}},
    {"NoDriveLetter", "abc", {{Message::Invalid, IDOK}}, false, {}, {}},
    {"MissingFolderDeclined", "C:\\新建目录\\子目录", {{Message::Missing, IDNO}}, false, {}, {"C:\\新建目录"}},
    {"MissingFolderCreatedLevelByLevel",
     "C:\\新建目录\\子目录\\第三层",
     {{Message::Missing, IDYES}},
     true,
     {"C:\\新建目录", "C:\\新建目录\\子目录", "C:\\新建目录\\子目录\\第三层"},
     {}},
    {"DoubleByteNamesWithBackslashAndBarBytes", kTrailBytes, {{Message::Missing, IDYES}}, true, {kTrailBytes}, {}},
    {"MissingDrive", "Q:\\新建\\子目录", {{Message::Missing, IDYES}, {Message::CannotCreate, IDOK}}, false, {}, {}},
};

std::string Fill(const char* format, const std::string& path) {
    const int length = std::snprintf(nullptr, 0, format, path.c_str());
    std::string out(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, path.c_str());
    out.resize(static_cast<size_t>(length));
    return out;
}

// The text, icon and buttons of each message, captioned with the program's
// name.
void ExpectMessage(HWND box, Message message, const std::string& path) {
    EXPECT_EQ(texts::kAppName, TitleOf(box));
    switch (message) {
    case Message::Invalid:
        EXPECT_EQ(AnsiToUtf8(Fill(texts::kFolderInvalidFormat, path)), AnsiToUtf8(MessageBoxText(box)));
        EXPECT_STREQ(NameOf(BoxIcon::Exclamation), NameOf(IconOf(box)));
        EXPECT_TRUE(IsShown(ControlOf(box, IDOK)));
        break;
    case Message::Missing:
        EXPECT_EQ(AnsiToUtf8(Fill(texts::kFolderMissingFormat, path)), AnsiToUtf8(MessageBoxText(box)));
        EXPECT_STREQ(NameOf(BoxIcon::Question), NameOf(IconOf(box)));
        EXPECT_TRUE(IsShown(ControlOf(box, IDYES)));
        EXPECT_TRUE(IsShown(ControlOf(box, IDNO)));
        break;
    case Message::CannotCreate:
        EXPECT_EQ(AnsiToUtf8(Fill(texts::kFolderCannotCreateFormat, path)), AnsiToUtf8(MessageBoxText(box)));
        EXPECT_STREQ(NameOf(BoxIcon::Exclamation), NameOf(IconOf(box)));
        EXPECT_TRUE(IsShown(ControlOf(box, IDOK)));
        break;
    }
}

class PickerOk : public FolderPicker, public ::testing::WithParamInterface<OkCase> {};

TEST_P(PickerOk, TestsThePathAndClosesOnlyOnAConfirmedOne) {
    const OkCase& c = GetParam();
    std::vector<std::string> scratch = c.made;
    scratch.insert(scratch.end(), c.absent.begin(), c.absent.end());
    ScratchFolders folders(scratch);
    const std::string pageText = "C:\\windows";
    OpenPicker(pageText);
    ASSERT_TRUE(TypeText(pathBox_, c.typed));
    ASSERT_TRUE(PostClick(PickerButton(IDOK)));

    for (const Answered& answered : c.boxes) {
        HWND box = nullptr;
        ASSERT_TRUE(wizard_.WaitForBox(BoxKind::MessageBox, box));
        ExpectMessage(box, answered.message, c.typed);
        ASSERT_TRUE(PostClick(ControlOf(box, answered.button)));
        ASSERT_TRUE(wizard_.WaitUntilClosed(box));
    }

    // The OK handling is over once the picker has closed, or once its thread
    // is back in the picker's message loop.
    if (c.confirmed) {
        ASSERT_TRUE(wizard_.WaitUntilClosed(picker_));
    } else {
        ASSERT_TRUE(Settle(picker_));
    }
    for (const std::string& folder : c.made) EXPECT_TRUE(Exists(folder)) << AnsiToUtf8(folder);
    for (const std::string& folder : c.absent) EXPECT_FALSE(Exists(folder)) << AnsiToUtf8(folder);
    if (c.confirmed) {
        // The page shows the confirmed path.
        EXPECT_TRUE(WaitUntil([&] { return page_.Text(IDC_PATH_EDIT) == c.typed; }))
            << "the page shows " << AnsiToUtf8(page_.Text(IDC_PATH_EDIT));
        wizard_.Screenshot("path-confirmed");
    } else {
        // The picker stays open with the focus in its box.
        EXPECT_TRUE(IsShown(picker_));
        EXPECT_TRUE(WaitUntil([&] { return FocusWithin(picker_) == pathBox_; })) << "the focus is not in the box";
        EXPECT_EQ(AnsiToUtf8(c.typed), AnsiToUtf8(TextOf(pathBox_)));
        ASSERT_TRUE(PostClick(PickerButton(IDCANCEL)));
        ASSERT_TRUE(wizard_.WaitUntilClosed(picker_));
        EXPECT_EQ(pageText, page_.Text(IDC_PATH_EDIT));
    }
    ASSERT_TRUE(page_.Click(IDCANCEL));
    ASSERT_TRUE(wizard_.Ends());
}

INSTANTIATE_TEST_SUITE_P(TypedPaths, PickerOk, ::testing::ValuesIn(kOkCases),
                         [](const ::testing::TestParamInfo<OkCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrin::gui
