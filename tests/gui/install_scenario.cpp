#include "install_scenario.h"

#include <utility>

#include "wizard_session.h"
#include "wizard_texts.h"

namespace tavrin::gui {

namespace {

using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

// The module build each release of the fixture loads: 2009 the 2008 build,
// 2020 the 2019 build.
int ModuleYearOf(int year) {
    switch (year) {
    case 2009: return 2008;
    case 2020: return 2019;
    default: return year;
    }
}

// The profiles of the current user in the fixture and what a run into
// folder F makes of their "TRUSTEDPATHS": `kept` + F, except that a profile
// that already trusts the default install folder is left alone by a run into
// that folder.
struct TrustedProfile {
    const char* variables;  // below HKEY_CURRENT_USER
    const char* kept;
    bool trustsDefault;
};

const TrustedProfile kProfiles[] = {
    {"SOFTWARE\\Autodesk\\AutoCAD\\R22.0\\ACAD-1001:804\\Profiles\\<<未命名配置>>\\Variables",
     "D:\\图块;D:\\Lisp\\...;", false},
    {"SOFTWARE\\Autodesk\\AutoCAD\\R22.0\\ACAD-1001:804\\Profiles\\出图\\Variables", "", false},
    {"SOFTWARE\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:804\\Profiles\\<<未命名配置>>\\Variables", "", false},
    {"SOFTWARE\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:804\\Profiles\\Second\\Variables",
     "c:\\tavrin\\TAVRIN批打印软件\\...;", true},
    {"SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\Profiles\\Old\\Variables", "", false},
    {"SOFTWARE\\Autodesk\\AutoCAD\\R24.1\\ACAD-5101:804\\Profiles\\P\\Variables", "E:\\x;", false},
};

const char* const kAcadProgramFile = "acad.exe";
const char* const kAcadDriver = "AutoCAD's own pdfplot9.hdi";
const char* const kOldFont = "an old Tavrin_EN.shx";

// The folders a run writes into besides the install folder: the AutoCAD
// program folders and the user configuration folder.
std::vector<std::string> WithMachineFolders(std::vector<std::string> scratch) {
    scratch.push_back("C:\\Program Files\\Autodesk");
    scratch.push_back("C:\\Program Files (x86)\\Autodesk");
    scratch.push_back(UserConfigFolderPath());
    return scratch;
}

bool SameTextNoCase(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

void ExpectTree(const FileTree& expected, const std::string& folder) {
    const FileTree actual = ReadTree(folder);
    EXPECT_EQ(expected, actual) << AnsiToUtf8(folder) << " holds:\n"
                                << Describe(actual) << "expected:\n"
                                << Describe(expected);
}

}  // namespace

const std::vector<FileSpec>& StandardPayload() {
    static const std::vector<FileSpec> payload = {
        {"Tavrin.prt5", PayloadContent("Tavrin.prt5")},
        {"Tavrin.prt6", PayloadContent("Tavrin.prt6")},
        {"Tavrin.prt7", PayloadContent("Tavrin.prt7")},
        {"Tavrin_EN.shx", PayloadContent("Tavrin_EN.shx")},
        {"Tavrin_HZ.shx", PayloadContent("Tavrin_HZ.shx")},
        {"BPlot_Cfg.cfg", PayloadContent("BPlot_Cfg.cfg")},
        {"BPlot_TK.tk", PayloadContent("BPlot_TK.tk")},
        {"TV_BatchPlot2008.ARX", PayloadContent("TV_BatchPlot2008.ARX")},
        {"TV_BatchPlot2010.ARX", PayloadContent("TV_BatchPlot2010.ARX")},
        {"TV_BatchPlot2018.ARX", PayloadContent("TV_BatchPlot2018.ARX")},
        {"TV_BatchPlot2019.ARX", PayloadContent("TV_BatchPlot2019.ARX")},
        {"TV_BatchPlot2021.ARX", PayloadContent("TV_BatchPlot2021.ARX")},
        {"使用说明.txt", PayloadContent("使用说明.txt")},
        {"extras\\", ""},
        {"extras\\note.txt", PayloadContent("note.txt")},
    };
    return payload;
}

std::string PayloadContent(const std::string& name) {
    return "content of " + name;
}

const std::vector<AcadProduct>& MachineProducts() {
    static const std::vector<AcadProduct> products = {
        {2008, "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\",
         "C:\\Program Files (x86)\\Autodesk\\AutoCAD 2008", true, true},
        {2009, "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:804\\",
         "C:\\Program Files (x86)\\Autodesk\\AutoCAD 2009", true, false},
        {2009, "SOFTWARE\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:409\\",
         "C:\\Program Files\\Autodesk\\AutoCAD 2009 English", true, true},
        {2010, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\", "C:\\Program Files\\Autodesk\\AutoCAD 2010",
         false, false},
        {2018, "SOFTWARE\\Autodesk\\AutoCAD\\R22.0\\ACAD-1001:804\\", "C:\\Program Files\\Autodesk\\AutoCAD 2018",
         true, true},
        {2018, "SOFTWARE\\Autodesk\\AutoCAD\\R22.0\\ACAD-1001:409\\",
         "C:\\Program Files\\Autodesk\\AutoCAD 2018 English", false, true},
        {2020, "SOFTWARE\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:804\\", "C:\\Program Files\\Autodesk\\AutoCAD 2020",
         true, true},
    };
    return products;
}

std::set<int> MachineYears() {
    std::set<int> years;
    for (const AcadProduct& product : MachineProducts()) years.insert(product.year);
    return years;
}

InstallMachine::InstallMachine(std::vector<std::string> scratch) : folders_(WithMachineFolders(std::move(scratch))) {}

InstallMachine::~InstallMachine() = default;

AssertionResult InstallMachine::Prepare() {
    AssertionResult seeded = SeedRegistry(kInstallFixture);
    if (!seeded) return seeded;
    for (const AcadProduct& product : MachineProducts()) {
        std::vector<FileSpec> files;
        for (const auto& [path, content] : AcadFolderBefore(product)) files.push_back({path, content});
        AssertionResult made = MakeFiles(product.folder, files);
        if (!made) return made;
    }
    return AssertionSuccess();
}

FileTree ExpectedInstallFolder() {
    FileTree tree;
    tree["ICSharpCode.SharpZipLib.dll"] = PayloadContent("Tavrin.prt6");
    tree["itextsharp.dll"] = PayloadContent("Tavrin.prt7");
    for (const char* name : {"TV_BatchPlot2008.ARX", "TV_BatchPlot2010.ARX", "TV_BatchPlot2018.ARX",
                             "TV_BatchPlot2019.ARX", "TV_BatchPlot2021.ARX", "使用说明.txt"}) {
        tree[name] = PayloadContent(name);
    }
    return tree;
}

FileTree ExpectedConfigFolder() {
    return FileTree{{"BPlot_Cfg.cfg", PayloadContent("BPlot_Cfg.cfg")},
                    {"BPlot_TK.tk", PayloadContent("BPlot_TK.tk")}};
}

FileTree AcadFolderBefore(const AcadProduct& product) {
    FileTree tree{{kAcadProgramFile, "AutoCAD " + std::to_string(product.year)}};
    if (product.fonts) {
        tree["Fonts\\"] = "";
        if (product.year == 2018) tree["Fonts\\Tavrin_EN.shx"] = kOldFont;
    }
    if (product.drv) {
        tree["Drv\\"] = "";
        tree["Drv\\pdfplot9.hdi"] = kAcadDriver;
    }
    return tree;
}

FileTree ExpectedAcadFolder(const AcadProduct& product, bool chosen) {
    FileTree tree = AcadFolderBefore(product);
    if (!chosen) return tree;
    if (product.fonts) {
        tree["Fonts\\Tavrin_EN.shx"] = PayloadContent("Tavrin_EN.shx");
        tree["Fonts\\Tavrin_HZ.shx"] = PayloadContent("Tavrin_HZ.shx");
    }
    // Only AutoCAD 2008 gets the plug-in's plot driver.
    if (product.drv && product.year == 2008) tree["Drv\\pdfplot9.hdi"] = PayloadContent("Tavrin.prt5");
    return tree;
}

RegistryState ExpectedRegistry(const RegistryState& before, const std::string& installFolder,
                               const std::set<int>& chosenYears) {
    RegistryState expected = before;
    for (const AcadProduct& product : MachineProducts()) {
        if (chosenYears.count(product.year) == 0) continue;
        const std::string entry =
            "HKLM\\" + std::string(product.key) + "Applications\\TV_BatchPlot" + std::to_string(product.year);
        // The entry is made anew: values of an old entry do not stay.
        const std::string values = entry + " :: ";
        auto it = expected.lower_bound(values);
        while (it != expected.end() && it->first.compare(0, values.size(), values) == 0) it = expected.erase(it);
        expected["HKLM\\" + std::string(product.key) + "Applications"] = RegEntry{};
        expected[entry] = RegEntry{};
        expected[ValueName(entry, "LOADCTRLS")] = NumberValue(2);
        expected[ValueName(entry, "LOADER")] = TextValue(installFolder + "\\TV_BatchPlot" +
                                                         std::to_string(ModuleYearOf(product.year)) + ".ARX");
    }
    const bool defaultFolder =
        SameTextNoCase(installFolder, std::string(texts::kDefaultPath) + texts::kInstallSubfolder);
    for (const TrustedProfile& profile : kProfiles) {
        if (profile.trustsDefault && defaultFolder) continue;
        const std::string key = std::string("HKCU\\") + profile.variables;
        expected[key] = RegEntry{};
        expected[ValueName(key, "TRUSTEDPATHS")] = TextValue(profile.kept + installFolder);
    }
    return expected;
}

void ExpectCompletedInstall(const std::string& installFolder, const std::set<int>& chosenYears,
                            const RegistryState& before) {
    ExpectTree(ExpectedInstallFolder(), installFolder);
    ExpectTree(ExpectedConfigFolder(), UserConfigFolderPath());
    for (const AcadProduct& product : MachineProducts()) {
        SCOPED_TRACE(std::string("AutoCAD ") + std::to_string(product.year) + " at " + AnsiToUtf8(product.folder));
        ExpectTree(ExpectedAcadFolder(product, chosenYears.count(product.year) != 0), product.folder);
    }
    EXPECT_TRUE(SameRegistry(ExpectedRegistry(before, installFolder, chosenYears), ReadAutodeskKeys()));
}

}  // namespace tavrin::gui
