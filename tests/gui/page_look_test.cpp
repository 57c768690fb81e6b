// What every page shares: the title, the version caption of its edition and
// the button row.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "resource.h"
#include "wizard_session.h"
#include "wizard_texts.h"

namespace tavrin::gui {
namespace {

struct EditionCase {
    const char* name;
    Edition edition;
    const char* caption;
};

const EditionCase kEditions[] = {
    {"Bits64", Edition::Bits64, texts::kCaption64},
    {"Bits32", Edition::Bits32, texts::kCaption32},
};

void PrintTo(const EditionCase& c, std::ostream* out) {
    *out << c.name;
}

class PageLook : public ::testing::TestWithParam<EditionCase> {};

void ExpectButtonRow(const Page& page, const char* okText) {
    EXPECT_EQ(texts::kPageTitle, page.Title());
    EXPECT_EQ(texts::kBack, page.Text(IDC_BACK));
    EXPECT_EQ(okText, page.Text(IDOK));
    EXPECT_EQ(texts::kCancel, page.Text(IDCANCEL));
    EXPECT_TRUE(page.Enabled(IDCANCEL));
}

TEST_P(PageLook, CaptionAndButtonsOnEveryPage) {
    const EditionCase& c = GetParam();
    // 2008, 2012 and 2016 are offered by both editions, so Next leads on.
    ASSERT_TRUE(SeedRegistry("gui_several_releases"));
    Wizard wizard(c.edition);
    ASSERT_TRUE(wizard.Start());
    Page page;

    ASSERT_TRUE(WalkTo(wizard, PageKind::Licence, page));
    {
        SCOPED_TRACE("licence page");
        ExpectButtonRow(page, texts::kNext);
        EXPECT_EQ(AnsiToUtf8(c.caption), AnsiToUtf8(page.Text(IDC_CAPTION)));
        EXPECT_FALSE(page.Enabled(IDC_BACK));
    }
    ASSERT_TRUE(page.Click(IDOK));
    ASSERT_TRUE(wizard.NextPage(PageKind::Components, page));
    {
        SCOPED_TRACE("component page");
        ExpectButtonRow(page, texts::kNext);
        EXPECT_EQ(AnsiToUtf8(c.caption), AnsiToUtf8(page.Text(IDC_CAPTION)));
        EXPECT_TRUE(page.Enabled(IDC_BACK));
    }
    ASSERT_TRUE(page.Click(IDOK));
    ASSERT_TRUE(wizard.NextPage(PageKind::Location, page));
    {
        SCOPED_TRACE("location page");
        ExpectButtonRow(page, texts::kInstall);
        EXPECT_EQ(AnsiToUtf8(c.caption), AnsiToUtf8(page.Text(IDC_CAPTION_PAGE3)));
        EXPECT_FALSE(page.Has(IDC_CAPTION)) << "page 3 has its caption in 1013 only";
        EXPECT_TRUE(page.Enabled(IDC_BACK));
        EXPECT_TRUE(page.Enabled(IDOK));
    }
    ASSERT_TRUE(page.Click(IDCANCEL));
    ASSERT_TRUE(wizard.Ends());
}

INSTANTIATE_TEST_SUITE_P(Editions, PageLook, ::testing::ValuesIn(kEditions),
                         [](const ::testing::TestParamInfo<EditionCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tavrin::gui
