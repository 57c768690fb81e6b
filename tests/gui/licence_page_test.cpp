// The licence page: its four screens leafed with "上一页" and "下一页", and
// Next gated on the agreement.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "wizard_session.h"
#include "wizard_texts.h"

namespace tavrin::gui {
namespace {

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::vector<std::string> NonEmptyLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

class LicencePage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SeedRegistry("gui_acad2010_only"));
        ASSERT_TRUE(wizard_.Start());
        ASSERT_TRUE(wizard_.NextPage(PageKind::Licence, page_));
    }

    Wizard wizard_;
    Page page_;
};

TEST_F(LicencePage, FirstShowing) {
    EXPECT_EQ(texts::kPageTitle, page_.Title());
    EXPECT_EQ(texts::kLicenceSubtitle, page_.Text(IDC_SUBTITLE));
    EXPECT_TRUE(StartsWith(page_.Text(IDC_LICENCE_TEXT), texts::kLicenceTitle)) << "screen 0 first";
    EXPECT_EQ(texts::kPrevScreen, page_.Text(IDC_PREV_SCREEN));
    EXPECT_EQ(texts::kNextScreen, page_.Text(IDC_NEXT_SCREEN));
    EXPECT_FALSE(page_.Enabled(IDC_PREV_SCREEN));
    EXPECT_TRUE(page_.Enabled(IDC_NEXT_SCREEN));
    EXPECT_EQ(texts::kAgree, page_.Text(IDC_AGREE));
    EXPECT_EQ(texts::kDisagree, page_.Text(IDC_DISAGREE));
    EXPECT_TRUE(page_.Checked(IDC_AGREE));
    EXPECT_FALSE(page_.Checked(IDC_DISAGREE));
    EXPECT_TRUE(page_.Enabled(IDOK));
    EXPECT_EQ(texts::kBack, page_.Text(IDC_BACK));
    EXPECT_TRUE(page_.Shown(IDC_BACK));
    EXPECT_FALSE(page_.Enabled(IDC_BACK));
    EXPECT_FALSE(page_.Click(IDC_BACK)) << "a disabled Back cannot be clicked";
}

TEST_F(LicencePage, ScreensLeafForwardAndBack) {
    std::vector<std::string> screens{page_.Text(IDC_LICENCE_TEXT)};
    for (int screen = 1; screen <= 3; ++screen) {
        ASSERT_TRUE(page_.Click(IDC_NEXT_SCREEN)) << "to screen " << screen;
        screens.push_back(page_.Text(IDC_LICENCE_TEXT));
        EXPECT_TRUE(page_.Enabled(IDC_PREV_SCREEN)) << "screen " << screen;
        EXPECT_EQ(screen != 3, page_.Enabled(IDC_NEXT_SCREEN)) << "screen " << screen;
        wizard_.Screenshot("screen" + std::to_string(screen));
    }

    EXPECT_TRUE(StartsWith(screens[0], texts::kLicenceTitle));
    EXPECT_TRUE(Contains(screens[0], texts::kNoticeStart));
    EXPECT_TRUE(Contains(screens[0], texts::kAgreementHeading));
    EXPECT_TRUE(StartsWith(screens[1], texts::kCopyrightHeading));
    EXPECT_TRUE(Contains(screens[1], texts::kWarrantyHeading));
    EXPECT_NE('\n', screens[1].back()) << "the warranty paragraph goes on on screen 2";
    EXPECT_TRUE(Contains(screens[2], texts::kAppraisalHeading));
    EXPECT_TRUE(Contains(screens[2], texts::kAuthorisationHeading));
    EXPECT_FALSE(Contains(screens[2], texts::kWarrantyHeading));

    // Screen 3: three closing lines, the revision date last, no line feed after it.
    const std::string& closing = screens[3];
    ASSERT_FALSE(closing.empty());
    EXPECT_NE('\n', closing.back());
    const std::vector<std::string> lines = NonEmptyLines(closing);
    ASSERT_EQ(3u, lines.size()) << AnsiToUtf8(closing);
    EXPECT_NE(std::string::npos, lines.back().find_first_of("0123456789"))
        << "the last line dates the revision: " << AnsiToUtf8(lines.back());

    // "下一页" is disabled at screen 3; a user cannot go further.
    EXPECT_FALSE(page_.Click(IDC_NEXT_SCREEN));

    // Back through the same screens, to screen 0.
    for (int screen = 2; screen >= 0; --screen) {
        ASSERT_TRUE(page_.Click(IDC_PREV_SCREEN)) << "to screen " << screen;
        EXPECT_EQ(AnsiToUtf8(screens[screen]), AnsiToUtf8(page_.Text(IDC_LICENCE_TEXT))) << "screen " << screen;
        EXPECT_EQ(screen != 0, page_.Enabled(IDC_PREV_SCREEN)) << "screen " << screen;
        EXPECT_TRUE(page_.Enabled(IDC_NEXT_SCREEN)) << "screen " << screen;
    }
    // Leafing does not touch the agreement.
    EXPECT_TRUE(page_.Checked(IDC_AGREE));
    EXPECT_TRUE(page_.Enabled(IDOK));
}

TEST_F(LicencePage, DisagreeDisablesNextAndAgreeEnablesIt) {
    ASSERT_TRUE(page_.Click(IDC_DISAGREE));
    EXPECT_TRUE(page_.Checked(IDC_DISAGREE));
    EXPECT_FALSE(page_.Checked(IDC_AGREE));
    EXPECT_FALSE(page_.Enabled(IDOK));
    EXPECT_FALSE(page_.Click(IDOK)) << "a disabled Next cannot be clicked";
    wizard_.Screenshot("disagree");

    ASSERT_TRUE(page_.Click(IDC_AGREE));
    EXPECT_TRUE(page_.Checked(IDC_AGREE));
    EXPECT_FALSE(page_.Checked(IDC_DISAGREE));
    EXPECT_TRUE(page_.Enabled(IDOK));
    ASSERT_TRUE(page_.Click(IDOK));
    ASSERT_TRUE(wizard_.NextPage(PageKind::Components, page_));
}

TEST_F(LicencePage, WhileDisagreeingOnlyCancelLeaves) {
    ASSERT_TRUE(page_.Click(IDC_DISAGREE));
    ASSERT_FALSE(page_.Enabled(IDOK));
    page_.PressEscape();
    ASSERT_TRUE(wizard_.Ends());
    EXPECT_EQ(0u, wizard_.ExitCode());
}

}  // namespace
}  // namespace tavrin::gui
