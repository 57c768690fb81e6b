// The finish page after a completed install: its text and pictures, and
// every way of closing it ending the wizard with no page after.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "install_scenario.h"
#include "resource.h"
#include "wizard_session.h"
#include "wizard_texts.h"

namespace tavrin::gui {
namespace {

enum class Close { OkButton, EnterKey, EscapeKey, CloseBox };

struct CloseCase {
    const char* name;
    Close how;
};

void PrintTo(const CloseCase& c, std::ostream* out) {
    *out << c.name;
}

const CloseCase kCloseCases[] = {
    {"OkButton", Close::OkButton},
    {"EnterKey", Close::EnterKey},
    {"EscapeKey", Close::EscapeKey},
    {"CloseBox", Close::CloseBox},
};

struct StaticControls {
    std::vector<std::string> texts;  // of the text statics
    std::vector<SIZE> pictures;      // client sizes of the bitmap statics
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
    auto* found = reinterpret_cast<StaticControls*>(param);
    if (ClassNameOf(child) != "Static" || !IsWindowVisible(child)) return TRUE;
    const LONG_PTR type = GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK;
    if (type == SS_BITMAP) {
        RECT client{};
        GetClientRect(child, &client);
        found->pictures.push_back(SIZE{client.right, client.bottom});
    } else if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP) {
        found->texts.push_back(TextOf(child));
    }
    return TRUE;
}

class FinishPage : public ::testing::TestWithParam<CloseCase> {};

TEST_P(FinishPage, EveryWayOfClosingEndsTheWizard) {
    const CloseCase& c = GetParam();
    InstallMachine machine({texts::kDefaultPath});
    ASSERT_TRUE(machine.Prepare());
    Wizard wizard;
    ASSERT_TRUE(wizard.Start(StandardPayload()));
    Page page;
    ASSERT_TRUE(WalkTo(wizard, PageKind::Location, page));
    ASSERT_TRUE(PostClick(page.Control(IDOK)));
    ASSERT_TRUE(wizard.NextPage(PageKind::Finish, page));

    // One OK button, the completion text, the logo and the menu picture at
    // its own size (307 x 175).
    EXPECT_EQ(texts::kFinishOk, page.Text(IDOK));
    EXPECT_FALSE(page.Has(IDCANCEL));
    EXPECT_FALSE(page.Has(IDC_BACK));
    StaticControls statics;
    EnumChildWindows(page.Window(), CollectStatic, reinterpret_cast<LPARAM>(&statics));
    EXPECT_EQ(1, std::count(statics.texts.begin(), statics.texts.end(), std::string(texts::kFinishText)));
    ASSERT_EQ(2u, statics.pictures.size());
    bool menuPicture = false;
    for (const SIZE& size : statics.pictures) menuPicture = menuPicture || (size.cx == 307 && size.cy == 175);
    EXPECT_TRUE(menuPicture) << "no bitmap of 307 x 175 pixels";

    switch (c.how) {
    case Close::OkButton:
        ASSERT_TRUE(page.Click(IDOK));
        break;
    case Close::EnterKey:
        page.PressEnter();
        break;
    case Close::EscapeKey:
        page.PressEscape();
        break;
    case Close::CloseBox:
        page.PressCloseBox();
        break;
    }
    ASSERT_TRUE(wizard.Ends());
    EXPECT_EQ(0u, wizard.ExitCode());
}

INSTANTIATE_TEST_SUITE_P(AfterInstall, FinishPage, ::testing::ValuesIn(kCloseCases),
                         [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrin::gui
