#include "install_context.h"

#include <gtest/gtest.h>

#include <set>

namespace tavrin {
namespace {

TEST(ReleaseTable, LookupsByYearIndexAndBox) {
    struct Case {
        int year, index, moduleYear, box;
        bool offeredIn32Bit, plotDriver;
    };
    const Case cases[] = {
        {2008, 0, 2008, 1019, true, true},    {2009, 1, 2008, 1020, true, false},
        {2010, 2, 2010, 1027, true, false},   {2011, 3, 2010, 1026, true, false},
        {2012, 4, 2010, 1028, true, false},   {2014, 6, 2013, 1030, true, false},
        {2016, 8, 2015, 1032, true, false},   {2017, 9, 2017, 1033, false, false},
        {2020, 12, 2019, 1036, false, false}, {2021, 13, 2021, 1037, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(ReleaseTable::IndexOf(c.year), c.index);
        EXPECT_EQ(ReleaseTable::YearOf(c.index), c.year);
        EXPECT_EQ(ReleaseTable::ModuleYearOf(c.year), c.moduleYear);
        EXPECT_EQ(ReleaseTable::CheckBoxIdOf(c.index), c.box);
        EXPECT_EQ(ReleaseTable::IndexOfCheckBox(c.box), c.index);
        EXPECT_EQ(ReleaseTable::At(c.index).offeredIn32Bit, c.offeredIn32Bit);
        EXPECT_EQ(ReleaseTable::At(c.index).withPlotDriver, c.plotDriver);
    }
}

TEST(ReleaseTable, YearsOutsideTheTableHaveNoRow) {
    for (int year : {0, 2007, 2022, -2008}) {
        EXPECT_EQ(ReleaseTable::IndexOf(year), -1) << year;
        EXPECT_EQ(ReleaseTable::ModuleYearOf(year), 0) << year;
    }
    EXPECT_EQ(ReleaseTable::IndexOfCheckBox(1021), -1);
}

TEST(ReleaseTable, CheckBoxIdsAreDistinct) {
    std::set<int> ids;
    for (int i = 0; i < kReleaseCount; ++i) ids.insert(ReleaseTable::CheckBoxIdOf(i));
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(kReleaseCount));
}

TEST(InstallContext, StartsEmptyWithEveryReleaseChosen) {
    const InstallContext context;
    EXPECT_TRUE(context.InstallFolder.empty());
    for (int i = 0; i < kReleaseCount; ++i) {
        EXPECT_TRUE(context.ReleaseFolders[i].empty());
        EXPECT_TRUE(context.ReleaseKeys[i].empty());
        EXPECT_EQ(SelectedReleases[i], 1);
    }
    EXPECT_EQ(context.SearchValueName, "AcadLocation");
    EXPECT_EQ(LicenceChoice, 1);
    EXPECT_EQ(InstallPathReady, 1);
}

TEST(Version, CaptionNumbersHaveNoLeadingZeros) {
    EXPECT_EQ(VersionMajor(ProductVersion), 2020);
    EXPECT_EQ(VersionMinor(ProductVersion), 10);
    EXPECT_EQ(VersionPatch(ProductVersion), 8);
    EXPECT_EQ(VersionMinor(20210102), 1);
    EXPECT_EQ(VersionPatch(20210102), 2);
}

}  // namespace
}  // namespace tavrin
