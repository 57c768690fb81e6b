// The component page: one box per AutoCAD release, available only for the
// releases detection found, 2017 to 2021 withheld by the 32-bit edition, and
// Next enabled only while a box is checked.
#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

#include "resource.h"
#include "wizard_session.h"
#include "wizard_texts.h"

namespace tavrin::gui {
namespace {

// The release boxes, by year; the IDs do not follow the years.
struct ReleaseBox {
    int year;
    int id;
};
const ReleaseBox kReleaseBoxes[] = {
    {2008, 1019}, {2009, 1020}, {2010, 1027}, {2011, 1026}, {2012, 1028}, {2013, 1029}, {2014, 1030},
    {2015, 1031}, {2016, 1032}, {2017, 1033}, {2018, 1034}, {2019, 1035}, {2020, 1036}, {2021, 1037},
};

struct DetectionCase {
    const char* name;
    const char* fixture;
    Edition edition;
    std::set<int> detected;  // years whose box is enabled
};

void PrintTo(const DetectionCase& c, std::ostream* out) {
    *out << c.name;
}

const DetectionCase kDetectionCases[] = {
    {"Only2010", "gui_acad2010_only", Edition::Bits64, {2010}},
    {"Release2011Without2010", "gui_acad2011_without_2010", Edition::Bits64, {2011}},
    {"NoAutoCad", "gui_no_acad", Edition::Bits64, {}},
    {"SeveralReleases", "gui_several_releases", Edition::Bits64, {2008, 2012, 2016, 2019, 2021}},
    {"Only2018In32BitEdition", "gui_acad2018_only", Edition::Bits32, {2018}},
    {"SeveralReleasesIn32BitEdition", "gui_several_releases", Edition::Bits32, {2008, 2012, 2016, 2019, 2021}},
};

class ComponentPageFirstShowing : public ::testing::TestWithParam<DetectionCase> {};

TEST_P(ComponentPageFirstShowing, OffersTheDetectedReleases) {
    const DetectionCase& c = GetParam();
    ASSERT_TRUE(SeedRegistry(c.fixture));
    Wizard wizard(c.edition);
    ASSERT_TRUE(wizard.Start());
    Page page;
    ASSERT_TRUE(WalkTo(wizard, PageKind::Components, page));

    EXPECT_EQ(texts::kComponentsSubtitle, page.Text(IDC_SUBTITLE));
    int offered = 0;
    for (const ReleaseBox& box : kReleaseBoxes) {
        SCOPED_TRACE("release " + std::to_string(box.year));
        ASSERT_TRUE(page.Has(box.id));
        EXPECT_EQ("For AutoCAD" + std::to_string(box.year), page.Text(box.id));
        // The 32-bit edition hides 2017 to 2021 and clears them, but leaves
        // the enable state that detection gave them.
        const bool withheld = c.edition == Edition::Bits32 && box.year >= 2017;
        const bool detected = c.detected.count(box.year) != 0;
        EXPECT_EQ(!withheld, page.Shown(box.id));
        EXPECT_EQ(detected, page.Enabled(box.id));
        EXPECT_EQ(detected && !withheld, page.Checked(box.id));
        if (detected && !withheld) ++offered;
    }
    EXPECT_EQ(offered != 0, page.Enabled(IDOK));
    EXPECT_TRUE(page.Enabled(IDC_BACK));
    EXPECT_TRUE(page.Enabled(IDCANCEL));

    // Back leads to the licence page whatever was found.
    ASSERT_TRUE(page.Click(IDC_BACK));
    ASSERT_TRUE(wizard.NextPage(PageKind::Licence, page));
    ASSERT_TRUE(page.Click(IDCANCEL));
    ASSERT_TRUE(wizard.Ends());
}

INSTANTIATE_TEST_SUITE_P(Detection, ComponentPageFirstShowing, ::testing::ValuesIn(kDetectionCases),
                         [](const ::testing::TestParamInfo<DetectionCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ComponentPage, UncheckingTheOnlyReleaseDisablesNext) {
    ASSERT_TRUE(SeedRegistry("gui_acad2010_only"));
    Wizard wizard;
    ASSERT_TRUE(wizard.Start());
    Page page;
    ASSERT_TRUE(WalkTo(wizard, PageKind::Components, page));

    ASSERT_TRUE(page.Click(IDC_ACAD2010));
    EXPECT_FALSE(page.Checked(IDC_ACAD2010));
    EXPECT_FALSE(page.Enabled(IDOK));
    EXPECT_FALSE(page.Click(IDOK)) << "a disabled Next cannot be clicked";
    wizard.Screenshot("unchecked");

    ASSERT_TRUE(page.Click(IDC_ACAD2010));
    EXPECT_TRUE(page.Checked(IDC_ACAD2010));
    EXPECT_TRUE(page.Enabled(IDOK));
    ASSERT_TRUE(page.Click(IDOK));
    ASSERT_TRUE(wizard.NextPage(PageKind::Location, page));
}

TEST(ComponentPage, NextStaysOnWhileAnyReleaseIsChecked) {
    ASSERT_TRUE(SeedRegistry("gui_several_releases"));
    Wizard wizard;
    ASSERT_TRUE(wizard.Start());
    Page page;
    ASSERT_TRUE(WalkTo(wizard, PageKind::Components, page));

    // Uncheck 2008, 2012, 2016 and 2019: 2021 is still checked.
    for (int id : {IDC_ACAD2008, IDC_ACAD2012, IDC_ACAD2016, IDC_ACAD2019}) {
        ASSERT_TRUE(page.Click(id)) << id;
        EXPECT_FALSE(page.Checked(id)) << id;
        EXPECT_TRUE(page.Enabled(IDOK)) << "after unchecking " << id;
    }
    ASSERT_TRUE(page.Click(IDC_ACAD2021));
    EXPECT_FALSE(page.Enabled(IDOK)) << "nothing checked";
    ASSERT_TRUE(page.Click(IDC_ACAD2016));
    EXPECT_TRUE(page.Enabled(IDOK));
    // A box of a release that was not found cannot be clicked.
    EXPECT_FALSE(page.Click(IDC_ACAD2010));
    EXPECT_FALSE(page.Checked(IDC_ACAD2010));
}

}  // namespace
}  // namespace tavrin::gui
