#include "support_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "memory_file_system.h"

namespace tavrin {
namespace {

const char* const kSetup = "C:\\Setup";

std::string In(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

using CopyList = std::vector<std::pair<std::string, std::string>>;

// The three support files in the setup folder and AutoCAD folders that have
// Fonts and Drv.
class SupportFilesTest : public ::testing::Test {
protected:
    SupportFilesTest() {
        fs.SetProgramPath(In(kSetup, "SetUp.exe"));
        fs.AddFile(In(kSetup, "Tavrin_EN.shx"), "new EN");
        fs.AddFile(In(kSetup, "Tavrin_HZ.shx"), "new HZ");
        fs.AddFile(In(kSetup, "Tavrin.prt5"), "new driver");
    }

    void AddAcad(const std::string& folder) {
        fs.AddFolder(In(folder, "Fonts"));
        fs.AddFolder(In(folder, "Drv"));
    }

    // The copies tried, as (source, destination), in call order.
    CopyList CopiesMade() const {
        CopyList made;
        for (const auto& copy : fs.Copies()) made.emplace_back(copy.source, copy.destination);
        return made;
    }

    static CopyList FontCopies(const std::string& acad) {
        return {{In(kSetup, "Tavrin_EN.shx"), acad + "\\Fonts\\Tavrin_EN.shx"},
                {In(kSetup, "Tavrin_HZ.shx"), acad + "\\Fonts\\Tavrin_HZ.shx"}};
    }
    static CopyList DriverCopy(const std::string& acad) {
        return {{In(kSetup, "Tavrin.prt5"), acad + "\\Drv\\pdfplot9.hdi"}};
    }

    bool IsReadOnly(const std::string& path) {
        std::uint32_t attributes = 0;
        return fs.GetAttributes(path, attributes) && (attributes & kAttrReadOnly) != 0;
    }

    MemoryFileSystem fs;
    InstallContext context;
    int selected[kReleaseCount] = {};
};

CopyList Join(std::initializer_list<CopyList> parts) {
    CopyList all;
    for (const CopyList& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(SupportFilesTest, ChosenReleasesAreServedInYearOrderAndOnly2008GetsTheDriver) {
    // 2008 with one folder, 2009 with one, 2018 with two, 2021 with one.
    const std::string a2008 = "C:\\Program Files\\AutoCAD 2008";
    const std::string a2009 = "C:\\Program Files\\AutoCAD 2009";
    const std::string a2018 = "C:\\Program Files\\AutoCAD 2018";
    const std::string b2018 = "D:\\CAD\\AutoCAD 2018 中文版";
    const std::string a2021 = "C:\\Program Files\\AutoCAD 2021";
    const struct {
        const char* name;
        std::vector<int> years;
        CopyList expected;
    } cases[] = {
        {"2008 and 2018", {2018, 2008},
         Join({FontCopies(a2008), DriverCopy(a2008), FontCopies(a2018), FontCopies(b2018)})},
        {"2009 alone: no driver", {2009}, FontCopies(a2009)},
        {"2021 alone", {2021}, FontCopies(a2021)},
        {"a chosen release with no folder", {2010}, {}},
        {"nothing chosen", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileSystem machine;
        machine.SetProgramPath(In(kSetup, "SetUp.exe"));
        for (const char* name : {"Tavrin_EN.shx", "Tavrin_HZ.shx", "Tavrin.prt5"}) machine.AddFile(In(kSetup, name), name);
        InstallContext acads;
        acads.ReleaseFolders[0] = {a2008};
        acads.ReleaseFolders[1] = {a2009};
        acads.ReleaseFolders[10] = {a2018, b2018};
        acads.ReleaseFolders[13] = {a2021};
        for (const std::string& folder : {a2008, a2009, a2018, b2018, a2021}) {
            machine.AddFolder(In(folder, "Fonts"));
            machine.AddFolder(In(folder, "Drv"));
        }
        int flags[kReleaseCount] = {};
        for (int year : c.years) flags[year - 2008] = 1;

        CopySupportFiles(acads, flags, machine);

        CopyList made;
        for (const auto& copy : machine.Copies()) {
            made.emplace_back(copy.source, copy.destination);
            EXPECT_EQ(copy.status, FsStatus::Ok) << copy.destination;
        }
        EXPECT_EQ(made, c.expected);
        std::vector<std::string> drivers;
        for (const std::string& folder : {a2008, a2009, a2018, b2018, a2021}) {
            if (machine.Exists(folder + "\\Drv\\pdfplot9.hdi")) drivers.push_back(folder);
        }
        const bool with2008 = std::find(c.years.begin(), c.years.end(), 2008) != c.years.end();
        EXPECT_EQ(drivers, with2008 ? std::vector<std::string>{a2008} : std::vector<std::string>{});
    }
}

TEST_F(SupportFilesTest, FilesLandWithTheirContentAndNoFolderIsCreated) {
    const std::string acad = "C:\\AutoCAD 2008";
    AddAcad(acad);
    const std::string noFonts = "C:\\AutoCAD 2008 bare";
    fs.AddFolder(noFonts);
    context.ReleaseFolders[0] = {noFonts, acad};
    selected[0] = 1;

    CopySupportFiles(context, selected, fs);

    EXPECT_EQ(fs.ReadContent(acad + "\\Fonts\\Tavrin_EN.shx"), std::string("new EN"));
    EXPECT_EQ(fs.ReadContent(acad + "\\Fonts\\Tavrin_HZ.shx"), std::string("new HZ"));
    EXPECT_EQ(fs.ReadContent(acad + "\\Drv\\pdfplot9.hdi"), std::string("new driver"));
    EXPECT_TRUE(fs.PathsBelow(noFonts).empty());  // the copies into it failed, silently
    EXPECT_EQ(fs.Calls().createFolder, 0);
    EXPECT_EQ(CopiesMade().size(), 6u);
}

TEST_F(SupportFilesTest, SameFolderRecordedTwiceIsServedTwice) {
    const std::string acad = "C:\\AutoCAD 2014";
    AddAcad(acad);
    context.ReleaseFolders[6] = {acad, acad};
    selected[6] = 1;

    CopySupportFiles(context, selected, fs);

    EXPECT_EQ(CopiesMade(), Join({FontCopies(acad), FontCopies(acad)}));
    EXPECT_EQ(fs.ReadContent(acad + "\\Fonts\\Tavrin_HZ.shx"), std::string("new HZ"));
}

// An old read-only Tavrin_EN.shx or pdfplot9.hdi used to be kept (its bit was
// cleared only after the copy had failed on it); now all three are replaced.
TEST_F(SupportFilesTest, ReadOnlyOldFilesAreReplacedAndLeftWritable) {
    const std::string acad = "C:\\AutoCAD 2008";
    AddAcad(acad);
    const std::string en = acad + "\\Fonts\\Tavrin_EN.shx";
    const std::string hz = acad + "\\Fonts\\Tavrin_HZ.shx";
    const std::string driver = acad + "\\Drv\\pdfplot9.hdi";
    fs.AddFile(en, "old EN", kAttrReadOnly | kAttrArchive);
    fs.AddFile(hz, "old HZ", kAttrReadOnly);
    fs.AddFile(driver, "old driver", kAttrReadOnly);

    CopyFolderSupportFiles(fs, acad, true);

    EXPECT_EQ(fs.ReadContent(en), std::string("new EN"));
    EXPECT_EQ(fs.ReadContent(hz), std::string("new HZ"));
    EXPECT_EQ(fs.ReadContent(driver), std::string("new driver"));
    for (const std::string& path : {en, hz, driver}) EXPECT_FALSE(IsReadOnly(path)) << path;
}

TEST_F(SupportFilesTest, ReadOnlySourcesAreCopiedAndEndUpWritableOnBothSides) {
    const std::string acad = "C:\\AutoCAD 2008";
    AddAcad(acad);
    for (const char* name : {"Tavrin_EN.shx", "Tavrin_HZ.shx", "Tavrin.prt5"}) {
        fs.SetAttributes(In(kSetup, name), kAttrReadOnly);
    }

    CopyFolderSupportFiles(fs, acad, true);

    for (const std::string& path :
         {In(kSetup, "Tavrin_EN.shx"), In(kSetup, "Tavrin_HZ.shx"), In(kSetup, "Tavrin.prt5"),
          acad + "\\Fonts\\Tavrin_EN.shx", acad + "\\Fonts\\Tavrin_HZ.shx", acad + "\\Drv\\pdfplot9.hdi"}) {
        EXPECT_TRUE(fs.Exists(path)) << path;
        EXPECT_FALSE(IsReadOnly(path)) << path;
    }
}

TEST(SupportFiles, EachFailureIsSilentAndTheOtherFilesAreStillCopied) {
    using Content = std::optional<std::string>;
    const std::string acad = "C:\\AutoCAD 2008";
    const std::string en = acad + "\\Fonts\\Tavrin_EN.shx";
    const std::string hz = acad + "\\Fonts\\Tavrin_HZ.shx";
    const std::string driver = acad + "\\Drv\\pdfplot9.hdi";
    const Content oldFile = std::string("old");
    struct Case {
        const char* name;
        std::vector<const char*> sources;  // what the setup folder holds
        bool fonts, drv;                   // which AutoCAD subfolders exist (with old files)
        std::function<void(MemoryFileSystem&)> fault;
        Content en, hz, driver;            // expected afterwards
    };
    const std::vector<const char*> all = {"Tavrin_EN.shx", "Tavrin_HZ.shx", "Tavrin.prt5"};
    const Case cases[] = {
        {"missing EN source", {"Tavrin_HZ.shx", "Tavrin.prt5"}, true, true, nullptr,
         oldFile, std::string("Tavrin_HZ.shx"), std::string("Tavrin.prt5")},
        {"missing driver source", {"Tavrin_EN.shx", "Tavrin_HZ.shx"}, true, true, nullptr,
         std::string("Tavrin_EN.shx"), std::string("Tavrin_HZ.shx"), oldFile},
        {"driver held by a running AutoCAD", all, true, true,
         [&](MemoryFileSystem& m) { m.SetInUse(driver); },
         std::string("Tavrin_EN.shx"), std::string("Tavrin_HZ.shx"), oldFile},
        {"HZ source in use", all, true, true,
         [&](MemoryFileSystem& m) { m.SetInUse(In(kSetup, "Tavrin_HZ.shx")); },
         std::string("Tavrin_EN.shx"), oldFile, std::string("Tavrin.prt5")},
        {"hidden EN font", all, true, true,
         [&](MemoryFileSystem& m) { m.SetAttributes(en, kAttrHidden); },
         oldFile, std::string("Tavrin_HZ.shx"), std::string("Tavrin.prt5")},
        {"no Fonts folder", all, false, true, nullptr, std::nullopt, std::nullopt, std::string("Tavrin.prt5")},
        {"no Drv folder", all, true, false, nullptr,
         std::string("Tavrin_EN.shx"), std::string("Tavrin_HZ.shx"), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileSystem machine;
        machine.SetProgramPath(In(kSetup, "SetUp.exe"));
        machine.AddFolder(kSetup);
        for (const char* name : c.sources) machine.AddFile(In(kSetup, name), name);
        machine.AddFolder(acad);
        if (c.fonts) {
            machine.AddFile(en, "old");
            machine.AddFile(hz, "old");
        }
        if (c.drv) machine.AddFile(driver, "old");
        if (c.fault) c.fault(machine);

        CopyFolderSupportFiles(machine, acad, true);

        EXPECT_EQ(machine.ReadContent(en), c.en);
        EXPECT_EQ(machine.ReadContent(hz), c.hz);
        EXPECT_EQ(machine.ReadContent(driver), c.driver);
        EXPECT_EQ(machine.Exists(acad + "\\Fonts"), c.fonts);
        EXPECT_EQ(machine.Exists(acad + "\\Drv"), c.drv);
    }
}

TEST(SupportFiles, FolderTooLongForWin32PathsIsNotTried) {
    MemoryFileSystem machine;
    machine.AddFile(In(kSetup, "Tavrin_EN.shx"));
    machine.AddFile(In(kSetup, "Tavrin_HZ.shx"));
    // "\Fonts\Tavrin_EN.shx" adds 20 bytes: 239 + 20 = 259 fits, 240 + 20 does not.
    const std::string fits = "C:\\" + std::string(236, 'a');
    const std::string tooLong = "C:\\" + std::string(237, 'b');
    machine.AddFolder(fits + "\\Fonts");
    machine.AddFolder(tooLong + "\\Fonts");

    CopyFolderSupportFiles(machine, fits, false);
    CopyFolderSupportFiles(machine, tooLong, false);

    EXPECT_TRUE(machine.Exists(fits + "\\Fonts\\Tavrin_EN.shx"));
    EXPECT_FALSE(machine.Exists(tooLong + "\\Fonts\\Tavrin_EN.shx"));
    for (const auto& copy : machine.Copies()) EXPECT_LT(copy.destination.size(), 260u) << copy.destination;
}

}  // namespace
}  // namespace tavrin
