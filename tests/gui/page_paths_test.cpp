// The roads through the wizard: Cancel, Esc and the close box end it from
// every page with no page after; Back and Next move between the pages and
// every page shows the choices the user left on it.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "resource.h"
#include "wizard_session.h"
#include "wizard_texts.h"

namespace tavrin::gui {
namespace {

enum class Leave { CancelButton, EscapeKey, CloseBox };

struct EndCase {
    const char* name;
    PageKind page;
    Leave how;
};

const EndCase kEndCases[] = {
    {"LicenceCancel", PageKind::Licence, Leave::CancelButton},
    {"LicenceEscape", PageKind::Licence, Leave::EscapeKey},
    {"LicenceCloseBox", PageKind::Licence, Leave::CloseBox},
    {"ComponentsCancel", PageKind::Components, Leave::CancelButton},
    {"ComponentsEscape", PageKind::Components, Leave::EscapeKey},
    {"ComponentsCloseBox", PageKind::Components, Leave::CloseBox},
    {"LocationCancel", PageKind::Location, Leave::CancelButton},
    {"LocationEscape", PageKind::Location, Leave::EscapeKey},
    {"LocationCloseBox", PageKind::Location, Leave::CloseBox},
};

void PrintTo(const EndCase& c, std::ostream* out) {
    *out << c.name;
}

class WizardEnds : public ::testing::TestWithParam<EndCase> {};

TEST_P(WizardEnds, WithNoPageAfter) {
    const EndCase& c = GetParam();
    ASSERT_TRUE(SeedRegistry("gui_acad2010_only"));
    Wizard wizard;
    ASSERT_TRUE(wizard.Start());
    Page page;
    ASSERT_TRUE(WalkTo(wizard, c.page, page));

    switch (c.how) {
    case Leave::CancelButton:
        ASSERT_TRUE(page.Click(IDCANCEL));
        break;
    case Leave::EscapeKey:
        page.PressEscape();
        break;
    case Leave::CloseBox:
        page.PressCloseBox();
        break;
    }
    ASSERT_TRUE(wizard.Ends());
    EXPECT_EQ(0u, wizard.ExitCode());
}

INSTANTIATE_TEST_SUITE_P(EveryPage, WizardEnds, ::testing::ValuesIn(kEndCases),
                         [](const ::testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

// The licence page as a fresh visit shows it: screen 0, "同意" chosen, Next on.
void ExpectFreshLicencePage(const Page& page) {
    EXPECT_TRUE(page.Checked(IDC_AGREE));
    EXPECT_FALSE(page.Checked(IDC_DISAGREE));
    EXPECT_TRUE(page.Enabled(IDOK));
    EXPECT_FALSE(page.Enabled(IDC_PREV_SCREEN));
    EXPECT_EQ(0u, page.Text(IDC_LICENCE_TEXT).rfind(texts::kLicenceTitle, 0)) << "not screen 0";
}

// 2008 (32-bit view), 2012, 2016, 2019 and 2021 are detected; 2012 and 2019
// get unchecked on the way.
void ExpectSeveralReleasesChoice(const Page& page) {
    EXPECT_TRUE(page.Checked(IDC_ACAD2008));
    EXPECT_FALSE(page.Checked(IDC_ACAD2012));
    EXPECT_TRUE(page.Checked(IDC_ACAD2016));
    EXPECT_FALSE(page.Checked(IDC_ACAD2019));
    EXPECT_TRUE(page.Checked(IDC_ACAD2021));
    EXPECT_TRUE(page.Enabled(IDC_ACAD2012)) << "an unchecked detected release stays available";
    EXPECT_TRUE(page.Enabled(IDC_ACAD2019));
    EXPECT_FALSE(page.Checked(IDC_ACAD2010)) << "never detected";
    EXPECT_TRUE(page.Enabled(IDOK));
}

TEST(WizardRoads, BackAndNextKeepEveryChoice) {
    ASSERT_TRUE(SeedRegistry("gui_several_releases"));
    Wizard wizard;
    ASSERT_TRUE(wizard.Start());
    Page page;

    // Page 1: leaf to another screen and change the choice back and forth.
    ASSERT_TRUE(wizard.NextPage(PageKind::Licence, page));
    ASSERT_TRUE(page.Click(IDC_NEXT_SCREEN));
    ASSERT_TRUE(page.Click(IDC_NEXT_SCREEN));
    ASSERT_TRUE(page.Click(IDC_DISAGREE));
    ASSERT_TRUE(page.Click(IDC_AGREE));
    ASSERT_TRUE(page.Click(IDOK));

    // Page 2: uncheck two of the five releases, then Back.
    ASSERT_TRUE(wizard.NextPage(PageKind::Components, page));
    ASSERT_TRUE(page.Click(IDC_ACAD2012));
    ASSERT_TRUE(page.Click(IDC_ACAD2019));
    ExpectSeveralReleasesChoice(page);
    ASSERT_TRUE(page.Click(IDC_BACK));

    // Page 1 again, a fresh page with the choice kept.
    ASSERT_TRUE(wizard.NextPage(PageKind::Licence, page));
    ExpectFreshLicencePage(page);
    ASSERT_TRUE(page.Click(IDOK));

    // Page 2 again: the two boxes are still unchecked.
    ASSERT_TRUE(wizard.NextPage(PageKind::Components, page));
    ExpectSeveralReleasesChoice(page);
    ASSERT_TRUE(page.Click(IDOK));

    // Page 3: the default folder; type another one, then Back.
    ASSERT_TRUE(wizard.NextPage(PageKind::Location, page));
    EXPECT_EQ(texts::kDefaultPath, page.Text(IDC_PATH_EDIT));
    ASSERT_TRUE(page.Type(IDC_PATH_EDIT, "D:\\Tools\\批量出图"));
    ASSERT_TRUE(page.Click(IDC_BACK));

    // Page 2 once more, as left.
    ASSERT_TRUE(wizard.NextPage(PageKind::Components, page));
    ExpectSeveralReleasesChoice(page);
    ASSERT_TRUE(page.Click(IDOK));

    // Page 3 shows the typed folder, never confirmed by the picker.
    ASSERT_TRUE(wizard.NextPage(PageKind::Location, page));
    EXPECT_EQ(AnsiToUtf8("D:\\Tools\\批量出图"), AnsiToUtf8(page.Text(IDC_PATH_EDIT)));
    ASSERT_TRUE(page.Click(IDCANCEL));
    ASSERT_TRUE(wizard.Ends());
}

TEST(WizardRoads, NothingCheckedIsKeptOnTheWayBack) {
    ASSERT_TRUE(SeedRegistry("gui_acad2010_only"));
    Wizard wizard;
    ASSERT_TRUE(wizard.Start());
    Page page;
    ASSERT_TRUE(WalkTo(wizard, PageKind::Components, page));
    ASSERT_TRUE(page.Click(IDC_ACAD2010));
    ASSERT_TRUE(page.Click(IDC_BACK));
    ASSERT_TRUE(wizard.NextPage(PageKind::Licence, page));
    ASSERT_TRUE(page.Click(IDOK));

    ASSERT_TRUE(wizard.NextPage(PageKind::Components, page));
    EXPECT_TRUE(page.Enabled(IDC_ACAD2010));
    EXPECT_FALSE(page.Checked(IDC_ACAD2010));
    EXPECT_FALSE(page.Enabled(IDOK));
    page.PressCloseBox();
    ASSERT_TRUE(wizard.Ends());
}

}  // namespace
}  // namespace tavrin::gui
