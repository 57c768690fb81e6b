#include "detection.h"

#include <gtest/gtest.h>

#include "../common/detection_cases.h"
#include "memory_registry.h"
#include "reg_file.h"

namespace tavrin {
namespace {

using testing::DetectedEntry;

std::vector<DetectedEntry> Recorded(const InstallContext& context) {
    std::vector<DetectedEntry> entries;
    for (int i = 0; i < kReleaseCount; ++i) {
        // The two lists of a release stay parallel whatever was found.
        EXPECT_EQ(context.ReleaseKeys[i].size(), context.ReleaseFolders[i].size());
        for (std::size_t k = 0; k < context.ReleaseKeys[i].size(); ++k)
            entries.push_back({kFirstYear + i, context.ReleaseKeys[i][k], context.ReleaseFolders[i][k]});
    }
    return entries;
}

std::string Describe(const std::vector<DetectedEntry>& entries) {
    std::string out;
    for (const DetectedEntry& e : entries) out += std::to_string(e.year) + " " + e.key + " " + e.folder + "\n";
    return out;
}

TEST(Detection, FixtureCases) {
    for (const testing::DetectionCase& c : testing::DetectionCases()) {
        SCOPED_TRACE(c.name);
        MemoryRegistry registry;
        RegFileError error;
        ASSERT_TRUE(LoadRegFile(std::string("fixtures/") + c.fixture, registry, error)) << error.Text();
        InstallContext context;
        DetectReleases(context, registry);
        EXPECT_EQ(Describe(Recorded(context)), Describe(c.expected));
        EXPECT_EQ(registry.OpenHandleCount(), 0u);
    }
}

TEST(Detection, ProductNames) {
    struct Case {
        const char* name;
        const char* productName;
        int lastYear;
        int year;
    };
    const Case cases[] = {
        {"year_after_text", "AutoCAD 2011", 2021, 2011},
        {"year_at_offset_0", "2010 AutoCAD", 2021, 2010},
        {"two_years_lower_wins", "AutoCAD 2015 (2008)", 2021, 2008},
        {"beyond_last_year_of_pass", "AutoCAD 2010", 2009, 0},
        {"outside_table", "AutoCAD 2022", 2021, 0},
        {"no_year", "AutoCAD LT", 2021, 0},
        {"digits_run_together", "R20081", 2021, 2008},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyProductName(c.productName, c.lastYear), c.year) << c.name;
}

// A registry with one native release key R holding product key P (2012).
void AddProduct(MemoryRegistry& registry, const std::string& path, const std::string& folder,
                const std::string& productName = "AutoCAD 2012") {
    std::string location = folder;
    location.push_back('\0');
    std::string name = productName;
    name.push_back('\0');
    registry.SetValue(RegRoot::LocalMachine, path, "AcadLocation", kRegSz, location);
    registry.SetValue(RegRoot::LocalMachine, path, "ProductName", kRegSz, name);
}

TEST(Detection, KeysThatCannotBeOpenedAreSkippedWithEverythingBelow) {
    MemoryRegistry registry;
    AddProduct(registry, "SOFTWARE\\Autodesk\\AutoCAD\\Locked\\P", "C:\\Locked");
    AddProduct(registry, "SOFTWARE\\Autodesk\\AutoCAD\\Open\\Locked\\P", "C:\\LockedBelow");
    AddProduct(registry, "SOFTWARE\\Autodesk\\AutoCAD\\Open\\P", "C:\\Open");
    registry.MarkUnopenable(RegRoot::LocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\Locked");
    registry.MarkUnopenable(RegRoot::LocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\Open\\Locked");
    InstallContext context;
    DetectReleases(context, registry);
    EXPECT_EQ(Describe(Recorded(context)), "2012 SOFTWARE\\Autodesk\\AutoCAD\\Open\\P\\ C:\\Open\n");
}

TEST(Detection, UnopenableRootFindsNothing) {
    MemoryRegistry registry;
    AddProduct(registry, "SOFTWARE\\Autodesk\\AutoCAD\\R\\P", "C:\\A");
    registry.MarkUnopenable(RegRoot::LocalMachine, "SOFTWARE\\Autodesk\\AutoCAD");
    InstallContext context;
    DetectReleases(context, registry);
    EXPECT_TRUE(Recorded(context).empty());
}

TEST(Detection, LongNamesAndDeepTrees) {
    MemoryRegistry registry;
    const std::string name255(255, 'K');
    const std::string name256(256, 'X');
    AddProduct(registry, "SOFTWARE\\Autodesk\\AutoCAD\\" + name255 + "\\" + name255, "C:\\Long");
    // A name of 256 characters cannot be read with a 256-character buffer.
    AddProduct(registry, "SOFTWARE\\Autodesk\\AutoCAD\\R\\" + name256, "C:\\TooLongName");
    std::string deep = "SOFTWARE\\Autodesk\\AutoCAD\\Deep";
    for (int i = 0; i < 400; ++i) deep += "\\d";
    AddProduct(registry, deep, "C:\\Deep");

    InstallContext context;
    DetectReleases(context, registry);
    const std::vector<DetectedEntry> entries = Recorded(context);
    ASSERT_EQ(entries.size(), 2u) << Describe(entries);
    // Release keys enumerate in name order: "Deep" before "KKK...".
    EXPECT_EQ(entries[0].folder, "C:\\Deep");
    EXPECT_EQ(entries[1].key, "SOFTWARE\\Autodesk\\AutoCAD\\" + name255 + "\\" + name255 + "\\");
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(Detection, ValueTypesAndSizes) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::string data;
        bool recorded;
        std::string folder;
    };
    const Case cases[] = {
        {"sz", kRegSz, std::string("C:\\A\0", 4), true, "C:\\A"},
        {"expand_sz", kRegExpandSz, std::string("C:\\B\0", 4), true, "C:\\B"},
        {"sz_without_zero", kRegSz, "C:\\C", true, "C:\\C"},
        {"sz_256_bytes_no_zero", kRegSz, std::string(256, 'D'), true, std::string(256, 'D')},
        {"sz_257_bytes", kRegSz, std::string(256, 'E') + std::string(1, '\0'), false, ""},
        {"dword", kRegDword, std::string("\x07\0\0\0", 4), false, ""},
        {"binary", kRegBinary, "C:\\F", false, ""},
        {"multi_sz", kRegMultiSz, std::string("C:\\G\0\0", 5), false, ""},
        {"empty_sz", kRegSz, std::string(), true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry registry;
        const std::string key = "SOFTWARE\\Autodesk\\AutoCAD\\R\\P";
        AddProduct(registry, key, "unused");
        registry.SetValue(RegRoot::LocalMachine, key, "AcadLocation", c.type, c.data);
        InstallContext context;
        DetectReleases(context, registry);
        const std::vector<DetectedEntry> entries = Recorded(context);
        ASSERT_EQ(entries.size(), c.recorded ? 1u : 0u);
        if (c.recorded) {
            EXPECT_EQ(entries[0].folder, c.folder);
        }
    }
}

TEST(Detection, ThousandsOfSubkeysAndUnrelatedKeys) {
    MemoryRegistry registry;
    for (int i = 0; i < 3000; ++i)
        registry.AddKey(RegRoot::LocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\R\\Noise" + std::to_string(i));
    AddProduct(registry, "SOFTWARE\\Autodesk\\AutoCAD\\R\\Noise2999\\P", "C:\\Found");
    InstallContext context;
    DetectReleases(context, registry);
    EXPECT_EQ(Describe(Recorded(context)), "2012 SOFTWARE\\Autodesk\\AutoCAD\\R\\Noise2999\\P\\ C:\\Found\n");
}

}  // namespace
}  // namespace tavrin
