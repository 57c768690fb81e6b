// The registry side of a whole install run (detection, demand-load entries,
// trusted locations) on a machine whose AutoCAD keys hold everything a
// registry can: values of the wrong type and of 255, 256 and 257 bytes, key
// names of 255 characters, deep nesting, thousands of subkeys, keys that
// cannot be opened, a "TRUSTEDPATHS" of 100,000 characters. The run must end,
// write only the keys and values it owns, and lose nothing of the user's.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "demand_load.h"
#include "detection.h"
#include "memory_registry.h"

namespace tavrin {
namespace {

const std::string kMachineAcad = "SOFTWARE\\Autodesk\\AutoCAD";
const std::string kUserAcad = "SOFTWARE\\Autodesk\\AutoCAD";
const std::string kFolder = "C:\\Tavrin\\Tavrin批打印软件";

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

// Every value of the tree: "key path" -> "value name" -> type and bytes.
using Snapshot = std::map<std::string, std::map<std::string, std::pair<std::uint32_t, std::string>>>;

Snapshot Take(const MemoryRegistry& registry, RegRoot root) {
    Snapshot snapshot;
    registry.ForEachKey(root, "", [&](const std::string& path, const std::vector<RegValue>& values, bool) {
        auto& key = snapshot[path];
        for (const RegValue& v : values) key[v.name] = {v.type, v.data};
    });
    return snapshot;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsDemandLoadKey(const std::string& path) {
    return path.find("\\Applications\\TV_BatchPlot") != std::string::npos;
}

void AddProduct(MemoryRegistry& r, const std::string& path, const std::string& folder, const std::string& name) {
    r.SetValue(RegRoot::LocalMachine, path, "AcadLocation", kRegSz, Sz(folder));
    r.SetValue(RegRoot::LocalMachine, path, "ProductName", kRegSz, Sz(name));
}

void SeedHostileMachine(MemoryRegistry& r) {
    const RegRoot lm = RegRoot::LocalMachine;
    // Values of the wrong type.
    r.SetValue(lm, kMachineAcad + "\\R1\\P", "AcadLocation", kRegDword, std::string("\x01\x00\x00\x00", 4));
    r.SetValue(lm, kMachineAcad + "\\R1\\P", "ProductName", kRegBinary, "AutoCAD 2010");
    // Locations of 255, 256 and 257 bytes.
    AddProduct(r, kMachineAcad + "\\R2\\Fits", "C:\\" + std::string(251, 'a'), "AutoCAD 2012");  // 255 bytes
    r.SetValue(lm, kMachineAcad + "\\R2\\NoZero", "AcadLocation", kRegSz, "C:\\" + std::string(253, 'b'));  // 256
    r.SetValue(lm, kMachineAcad + "\\R2\\NoZero", "ProductName", kRegSz, Sz("AutoCAD 2013"));
    AddProduct(r, kMachineAcad + "\\R2\\TooLong", "C:\\" + std::string(253, 'c'), "AutoCAD 2014");  // 257
    // Names of 255 characters, and one of 256 that cannot be read.
    AddProduct(r, kMachineAcad + "\\" + std::string(255, 'N') + "\\" + std::string(255, 'P'), "C:\\Long", "AutoCAD 2015");
    AddProduct(r, kMachineAcad + "\\R3\\" + std::string(256, 'Q'), "C:\\Unreadable", "AutoCAD 2015");
    // Deep nesting, with a product at the bottom.
    std::string deep = kMachineAcad + "\\Deep";
    for (int i = 0; i < 480; ++i) deep += "\\L";
    AddProduct(r, deep, "C:\\Deep", "AutoCAD 2016");
    // Thousands of subkeys.
    for (int i = 0; i < 3000; ++i) r.AddKey(lm, kMachineAcad + "\\Wide\\K" + std::to_string(i));
    AddProduct(r, kMachineAcad + "\\Wide\\K1500", "C:\\Wide", "AutoCAD 2018");
    // Keys that cannot be opened.
    AddProduct(r, kMachineAcad + "\\Locked\\P", "C:\\Locked", "AutoCAD 2019");
    r.MarkUnopenable(lm, kMachineAcad + "\\Locked");
    // A product whose old demand-load key has a subkey of its own (it cannot
    // be deleted) and a foreign value beside ours.
    AddProduct(r, kMachineAcad + "\\R4\\P", "C:\\Old", "AutoCAD 2020");
    r.SetValue(lm, kMachineAcad + "\\R4\\P\\Applications\\TV_BatchPlot2020\\Sub", "x", kRegSz, Sz("keep"));
    // Keys beside AutoCAD that nothing may touch.
    r.SetValue(lm, "SOFTWARE\\Other", "Data", kRegSz, Sz("untouched"));
}

void SeedHostileUser(MemoryRegistry& r) {
    const RegRoot cu = RegRoot::CurrentUser;
    const std::string profiles = kUserAcad + "\\R23.1\\ACAD-3001:804\\Profiles";
    r.SetValue(cu, profiles + "\\Long\\Variables", "TRUSTEDPATHS", kRegSz, Sz("D:\\" + std::string(100000, 'x')));
    r.SetValue(cu, profiles + "\\Number\\Variables", "TRUSTEDPATHS", kRegDword, std::string("\x05\x00\x00\x00", 4));
    r.SetValue(cu, profiles + "\\Binary\\Variables", "TRUSTEDPATHS", kRegBinary, "D:\\bin");
    r.SetValue(cu, profiles + "\\Expand\\Variables", "TRUSTEDPATHS", kRegExpandSz, Sz("%USERPROFILE%\\x"));
    r.SetValue(cu, profiles + "\\Mixed\\Variables", "TRUSTEDPATHS", kRegSz, Sz("E:\\Keep;e:\\KEEP\\sub"));
    r.AddKey(cu, profiles + "\\NoVariables");
    r.SetValue(cu, profiles + "\\LockedVariables\\Variables", "TRUSTEDPATHS", kRegSz, Sz("F:\\Locked"));
    r.MarkUnopenable(cu, profiles + "\\LockedVariables\\Variables");
    r.SetValue(cu, kUserAcad + "\\R24.0\\Locked\\Profiles\\P\\Variables", "TRUSTEDPATHS", kRegSz, Sz("G:\\x"));
    r.MarkUnopenable(cu, kUserAcad + "\\R24.0\\Locked");
    for (int i = 0; i < 1000; ++i) r.AddKey(cu, kUserAcad + "\\R25.0\\P\\Profiles\\Many" + std::to_string(i));
    r.SetValue(cu, "SOFTWARE\\Other", "Data", kRegSz, Sz("untouched"));
}

TEST(HostileRegistry, TheRunWritesOnlyWhatItOwnsAndLosesNothing) {
    MemoryRegistry registry;
    SeedHostileMachine(registry);
    SeedHostileUser(registry);
    const Snapshot machineBefore = Take(registry, RegRoot::LocalMachine);
    const Snapshot userBefore = Take(registry, RegRoot::CurrentUser);

    InstallContext context;
    DetectReleases(context, registry);
    context.InstallFolder = kFolder;
    int everything[kReleaseCount];
    for (int& flag : everything) flag = 1;
    RegisterSelectedReleases(context, everything, registry);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);

    // What detection found among the noise.
    int recorded = 0;
    for (const TextList& keys : context.ReleaseKeys) recorded += static_cast<int>(keys.size());
    EXPECT_EQ(recorded, 6) << "2012 (255 bytes), 2013 (256 bytes without a zero), 2015, 2016, 2018, 2020";

    // HKLM: every key and value of before is still there unchanged, except
    // inside our demand-load keys; every new key is one of ours.
    const Snapshot machineAfter = Take(registry, RegRoot::LocalMachine);
    for (const auto& [path, values] : machineBefore) {
        const auto after = machineAfter.find(path);
        ASSERT_NE(after, machineAfter.end()) << "lost key " << path;
        if (!IsDemandLoadKey(path)) {
            EXPECT_EQ(after->second, values) << "changed key " << path;
        }
    }
    int demandLoadKeys = 0;
    for (const auto& [path, values] : machineAfter) {
        if (machineBefore.count(path) != 0) continue;
        EXPECT_TRUE(IsDemandLoadKey(path) || EndsWith(path, "\\Applications")) << "foreign key " << path;
        if (IsDemandLoadKey(path)) ++demandLoadKeys;
    }
    EXPECT_EQ(demandLoadKeys, 5) << "every recorded product but the one whose old key had a subkey";
    const auto kept = machineAfter.find(kMachineAcad + "\\R4\\P\\Applications\\TV_BatchPlot2020");
    ASSERT_NE(kept, machineAfter.end());
    EXPECT_EQ(kept->second.at("LOADER").second, Sz(kFolder + "\\TV_BatchPlot2019.ARX"));

    // HKCU: only "TRUSTEDPATHS" of Variables keys changes or appears, and each
    // old text stays whole at the start of the new one.
    const Snapshot userAfter = Take(registry, RegRoot::CurrentUser);
    for (const auto& [path, values] : userBefore) {
        const auto after = userAfter.find(path);
        ASSERT_NE(after, userAfter.end()) << "lost key " << path;
        for (const auto& [name, value] : values) {
            const auto now = after->second.find(name);
            ASSERT_NE(now, after->second.end()) << "lost value " << path << " " << name;
            if (name == "TRUSTEDPATHS" && value.first == kRegSz) {
                const std::string oldText = value.second.substr(0, value.second.size() - 1);
                EXPECT_EQ(now->second.second.compare(0, oldText.size(), oldText), 0) << path;
            } else {
                EXPECT_EQ(now->second, value) << "changed " << path << " " << name;
            }
        }
        for (const auto& [name, value] : after->second)
            EXPECT_TRUE(values.count(name) != 0 || name == "TRUSTEDPATHS") << "foreign value " << path << " " << name;
    }
    for (const auto& [path, values] : userAfter) {
        if (userBefore.count(path) == 0) {
            EXPECT_TRUE(EndsWith(path, "\\Variables")) << "foreign key " << path;
        }
    }
    const std::string profiles = kUserAcad + "\\R23.1\\ACAD-3001:804\\Profiles";
    EXPECT_EQ(userAfter.at(profiles + "\\Long\\Variables").at("TRUSTEDPATHS").second,
              Sz("D:\\" + std::string(100000, 'x') + ";" + kFolder));
    EXPECT_EQ(userAfter.at(profiles + "\\NoVariables\\Variables").at("TRUSTEDPATHS").second, Sz(kFolder));
    EXPECT_EQ(userAfter.at(kUserAcad + "\\R25.0\\P\\Profiles\\Many999\\Variables").at("TRUSTEDPATHS").second,
              Sz(kFolder));
}

}  // namespace
}  // namespace tavrin
