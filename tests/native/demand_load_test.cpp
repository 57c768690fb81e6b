#include "demand_load.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "memory_registry.h"
#include "reg_file.h"

namespace tavrin {
namespace {

const char* const kFolder = "C:\\Tavrin\\Tavrin批打印软件";

void Load(MemoryRegistry& registry, const std::string& text) {
    RegFileError error;
    ASSERT_TRUE(LoadRegText(text, registry, error)) << error.Text();
}

// The product key of a release as detection records it: ending in "\".
std::string ProductKey(int year) { return "SOFTWARE\\Autodesk\\AutoCAD\\R" + std::to_string(year) + "\\ACAD-1:804\\"; }

std::string EntryPath(const std::string& productKey, int year) {
    return productKey + "Applications\\TV_BatchPlot" + std::to_string(year);
}

std::string Loader(int moduleYear) {
    return std::string(kFolder) + "\\TV_BatchPlot" + std::to_string(moduleYear) + ".ARX";
}

class DemandLoadTest : public ::testing::Test {
protected:
    DemandLoadTest() { context.InstallFolder = kFolder; }

    void AddProduct(int year, const std::string& key) {
        ASSERT_TRUE(registry.AddKey(RegRoot::LocalMachine, key));
        context.ReleaseKeys[year - 2008].push_back(key);
        context.ReleaseFolders[year - 2008].push_back("C:\\AutoCAD " + std::to_string(year));
    }

    MemoryRegistry registry;
    InstallContext context;
};

TEST_F(DemandLoadTest, EveryReleaseNamesItsOwnKeyAndTheModuleOfItsModuleYear) {
    const struct {
        int year, moduleYear;
    } cases[] = {{2008, 2008}, {2009, 2008}, {2010, 2010}, {2011, 2010}, {2012, 2010}, {2013, 2013}, {2014, 2013},
                 {2015, 2015}, {2016, 2015}, {2017, 2017}, {2018, 2018}, {2019, 2019}, {2020, 2019}, {2021, 2021}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.year);
        MemoryRegistry machine;
        InstallContext acad;
        acad.InstallFolder = kFolder;
        const std::string product = ProductKey(c.year);
        ASSERT_TRUE(machine.AddKey(RegRoot::LocalMachine, product));
        acad.ReleaseKeys[c.year - 2008] = {product};

        RegisterDemandLoad(acad, c.year, machine);

        EXPECT_EQ(machine.Dump(RegRoot::LocalMachine, product + "Applications"),
                  product + "Applications\n" + EntryPath(product, c.year) +
                      "\n  \"LOADCTRLS\"=dword:2\n  \"LOADER\"=sz:" + Loader(c.moduleYear) + "\n");
        const auto loader = machine.GetValue(RegRoot::LocalMachine, EntryPath(product, c.year), "LOADER");
        ASSERT_TRUE(loader.has_value());
        EXPECT_EQ(loader->type, static_cast<std::uint32_t>(kRegSz));
        EXPECT_EQ(loader->data, Loader(c.moduleYear) + std::string(1, '\0'));  // length + 1
        const auto ctrls = machine.GetValue(RegRoot::LocalMachine, EntryPath(product, c.year), "LOADCTRLS");
        ASSERT_TRUE(ctrls.has_value());
        EXPECT_EQ(ctrls->type, static_cast<std::uint32_t>(kRegDword));
        EXPECT_EQ(ctrls->data, std::string("\x02\0\0\0", 4));
        EXPECT_EQ(machine.OpenHandleCount(), 0u);
    }
}

TEST_F(DemandLoadTest, YearsOutsideTheTableWriteNothing) {
    AddProduct(2008, ProductKey(2008));
    const std::string before = registry.Dump(RegRoot::LocalMachine);
    for (int year : {0, 2007, 2022, -1, 3008}) {
        RegisterDemandLoad(context, year, registry);
        EXPECT_EQ(registry.Dump(RegRoot::LocalMachine), before) << year;
    }
}

TEST_F(DemandLoadTest, BothProductKeysOfAReleaseGetTheEntryIncludingThe32BitView) {
    const std::string native = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\";
    const std::string wow = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:409\\";
    AddProduct(2008, wow);
    AddProduct(2008, native);

    RegisterDemandLoad(context, 2008, registry);

    for (const std::string& product : {wow, native}) {
        const auto loader = registry.GetValue(RegRoot::LocalMachine, EntryPath(product, 2008), "LOADER");
        ASSERT_TRUE(loader.has_value()) << product;
        EXPECT_EQ(loader->data, Loader(2008) + std::string(1, '\0'));
    }
    EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804"));
}

TEST_F(DemandLoadTest, AnEarlierEntryIsReplacedWithOnlyTheTwoValues) {
    const std::string product = ProductKey(2018);
    AddProduct(2018, product);
    Load(registry,
         "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + EntryPath(product, 2018) +
             "]\n\"LOADER\"=\"D:\\\\Old\\\\TV_BatchPlot2018.ARX\"\n\"LOADCTRLS\"=dword:0000000e\n"
             "\"DESCRIPTION\"=\"old\"\n\"Extra\"=hex:01,02\n");

    RegisterDemandLoad(context, 2018, registry);

    EXPECT_EQ(registry.Dump(RegRoot::LocalMachine, EntryPath(product, 2018)),
              EntryPath(product, 2018) + "\n  \"LOADCTRLS\"=dword:2\n  \"LOADER\"=sz:" + Loader(2018) + "\n");
}

TEST_F(DemandLoadTest, AnEntryWithASubkeyStaysAndItsTwoValuesAreOverwritten) {
    const std::string product = ProductKey(2020);
    AddProduct(2020, product);
    Load(registry, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + EntryPath(product, 2020) +
                       "]\n\"LOADER\"=\"D:\\\\Old.ARX\"\n\"LOADCTRLS\"=dword:00000000\n\"Extra\"=\"kept\"\n"
                       "[HKEY_LOCAL_MACHINE\\" + EntryPath(product, 2020) + "\\Commands]\n\"C\"=\"c\"\n");

    RegisterDemandLoad(context, 2020, registry);

    EXPECT_EQ(registry.Dump(RegRoot::LocalMachine, EntryPath(product, 2020)),
              EntryPath(product, 2020) + "\n  \"LOADER\"=sz:" + Loader(2019) +
                  "\n  \"LOADCTRLS\"=dword:2\n  \"Extra\"=sz:kept\n" + EntryPath(product, 2020) +
                  "\\Commands\n  \"C\"=sz:c\n");
}

TEST_F(DemandLoadTest, ProductKeysThatCannotBeOpenedAreSkippedAndTheOthersServed) {
    const std::string missing = "SOFTWARE\\Autodesk\\AutoCAD\\R23.0\\ACAD-3001:804\\";
    const std::string locked = "SOFTWARE\\Autodesk\\AutoCAD\\R23.0\\ACAD-3001:409\\";
    const std::string lockedEntry = "SOFTWARE\\Autodesk\\AutoCAD\\R23.0\\ACAD-3001:411\\";
    const std::string good = "SOFTWARE\\Autodesk\\AutoCAD\\R23.0\\ACAD-3001:412\\";
    context.ReleaseKeys[11] = {missing, locked, lockedEntry, good};
    ASSERT_TRUE(registry.MarkUnopenable(RegRoot::LocalMachine, locked));
    ASSERT_TRUE(registry.AddKey(RegRoot::LocalMachine, lockedEntry));
    ASSERT_TRUE(registry.MarkUnopenable(RegRoot::LocalMachine, EntryPath(lockedEntry, 2019)));
    ASSERT_TRUE(registry.AddKey(RegRoot::LocalMachine, good));

    RegisterDemandLoad(context, 2019, registry);

    EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, missing));
    EXPECT_EQ(registry.Dump(RegRoot::LocalMachine, locked), locked.substr(0, locked.size() - 1) + " [unopenable]\n");
    EXPECT_EQ(registry.Dump(RegRoot::LocalMachine, EntryPath(lockedEntry, 2019)),
              EntryPath(lockedEntry, 2019) + " [unopenable]\n");
    EXPECT_TRUE(registry.GetValue(RegRoot::LocalMachine, EntryPath(good, 2019), "LOADER").has_value());
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(DemandLoadTest, ALoaderPathThatWouldNotFit260BytesIsNeverWritten) {
    // "\TV_BatchPlot2008.ARX" takes 21 bytes: a folder of 238 bytes fits, 239 do not.
    const struct {
        std::size_t folderBytes;
        bool written;
    } cases[] = {{238, true}, {239, false}, {1000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folderBytes);
        MemoryRegistry machine;
        InstallContext acad;
        acad.InstallFolder = "C:\\" + std::string(c.folderBytes - 3, 'x');
        const std::string product = ProductKey(2009);
        acad.ReleaseKeys[1] = {product};
        Load(machine, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + EntryPath(product, 2009) + "]\n\"LOADER\"=\"D:\\\\Old.ARX\"\n");

        RegisterDemandLoad(acad, 2009, machine);

        const auto loader = machine.GetValue(RegRoot::LocalMachine, EntryPath(product, 2009), "LOADER");
        ASSERT_TRUE(loader.has_value());
        if (c.written) {
            EXPECT_EQ(loader->data, acad.InstallFolder + "\\TV_BatchPlot2008.ARX" + std::string(1, '\0'));
            EXPECT_EQ(loader->data.size(), 260u);
        } else {
            // The earlier entry stays as it was: nothing deleted, nothing cut.
            EXPECT_EQ(loader->data, std::string("D:\\Old.ARX") + std::string(1, '\0'));
        }
    }
}

TEST_F(DemandLoadTest, OnlyChosenReleasesAreRegisteredAndTrustedPathsAlwaysFollow) {
    const struct {
        const char* name;
        std::vector<int> chosen;
        std::vector<int> registered;
    } cases[] = {
        {"nothing chosen", {}, {}},
        {"2009 and 2020", {2009, 2020}, {2009, 2020}},
        {"everything", {2008, 2009, 2010, 2011, 2012, 2013, 2014, 2015, 2016, 2017, 2018, 2019, 2020, 2021},
         {2008, 2009, 2020}},  // only these have a recorded product
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry machine;
        InstallContext acad;
        acad.InstallFolder = kFolder;
        for (int year : {2008, 2009, 2020}) {
            ASSERT_TRUE(machine.AddKey(RegRoot::LocalMachine, ProductKey(year)));
            acad.ReleaseKeys[year - 2008] = {ProductKey(year)};
        }
        ASSERT_TRUE(machine.AddKey(RegRoot::CurrentUser,
                                   "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\<<未命名配置>>"));
        int flags[kReleaseCount] = {};
        for (int year : c.chosen) flags[year - 2008] = 1;

        RegisterSelectedReleases(acad, flags, machine);

        for (int year : {2008, 2009, 2020}) {
            const bool expected = std::find(c.registered.begin(), c.registered.end(), year) != c.registered.end();
            EXPECT_EQ(machine.KeyExists(RegRoot::LocalMachine, EntryPath(ProductKey(year), year)), expected) << year;
        }
        const auto trusted = machine.GetValue(
            RegRoot::CurrentUser,
            "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\<<未命名配置>>\\Variables", "TRUSTEDPATHS");
        ASSERT_TRUE(trusted.has_value());
        EXPECT_EQ(trusted->data, std::string(kFolder) + std::string(1, '\0'));
    }
}

TEST_F(DemandLoadTest, RegistersNothingWithoutAnInstallFolder) {
    context.InstallFolder.clear();
    AddProduct(2010, ProductKey(2010));
    RegisterDemandLoad(context, 2010, registry);
    EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, EntryPath(ProductKey(2010), 2010)));
}

}  // namespace
}  // namespace tavrin
