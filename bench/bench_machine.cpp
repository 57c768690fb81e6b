#include "bench_machine.h"

#include <cstdio>

#include "constants.h"
#include "cp936.h"
#include "payload_copy.h"

namespace tavrin::bench {

namespace {

struct BenchRelease {
    int year;
    const char* key;   // the release key's name
    char productCode;  // the digit AutoCAD's product codes of that release start with
};

const BenchRelease kReleases[kBenchReleases] = {
    {2008, "R17.1", '6'}, {2009, "R17.2", '7'}, {2010, "R18.0", '8'}, {2011, "R18.1", '9'},
    {2012, "R18.2", 'A'}, {2013, "R19.0", 'B'}, {2014, "R19.1", 'D'}, {2015, "R20.0", 'E'},
    {2016, "R20.1", 'F'}, {2017, "R21.0", '0'}, {2018, "R22.0", '1'}, {2019, "R23.0", '2'},
    {2020, "R23.1", '3'}, {2021, "R24.0", '4'},
};

const char* const kOtherProducts[] = {"Inventor", "Revit", "DWG TrueView"};

// Subtrees of a product key: a group name and how many keys it holds below
// itself. With the application keys' own "Commands" subkeys they come to
// kKeysBelowProduct keys.
struct Group {
    const char* name;
    int children;
};
const Group kProductGroups[] = {
    {"AutodeskApps", 30}, {"FileNavExtensions", 20}, {"ObjectDBX", 20}, {"RasterDrivers", 15}, {"Support", 29},
};
constexpr int kApplications = 90;  // each with a "Commands" subkey

constexpr int kComponents = 60;

class RegWriter {
public:
    explicit RegWriter(std::string& out) : out_(out) {}

    void Key(const std::string& path) {
        out_ += "\r\n[";
        out_ += path;
        out_ += "]\r\n";
    }
    void Text(const char* name, const std::string& text) {
        out_ += '"';
        out_ += name;
        out_ += "\"=\"";
        // By characters: a trail byte 0x5C of a double-byte character is no
        // backslash and takes no escape.
        cp936::ForEachChar(text, [&](std::size_t at, std::size_t length) {
            if (length == 1 && (text[at] == '\\' || text[at] == '"')) out_ += '\\';
            out_.append(text, at, length);
        });
        out_ += "\"\r\n";
    }
    void Dword(const char* name, unsigned value) {
        char line[64];
        std::snprintf(line, sizeof line, "\"%s\"=dword:%08x\r\n", name, value);
        out_ += line;
    }

private:
    std::string& out_;
};


// The 300 keys below a product key (or another product's release key).
void WriteProductSubtree(RegWriter& reg, const std::string& product, const std::string& folder) {
    const std::string apps = product + "\\Applications";
    reg.Key(apps);
    for (int a = 0; a < kApplications; ++a) {
        const std::string app = apps + "\\" + FormatText("AcApp%03d", a);
        reg.Key(app);
        reg.Text("DESCRIPTION", FormatText("应用程序 %d", a));
        reg.Dword("LOADCTRLS", 14);
        reg.Text("LOADER", folder + FormatText("\\AcApp%03d.arx", a));
        reg.Key(app + "\\Commands");
        reg.Text(FormatText("CMD%03d", a).c_str(), FormatText("CMD%03d", a));
    }
    for (const Group& group : kProductGroups) {
        const std::string parent = product + "\\" + group.name;
        reg.Key(parent);
        for (int c = 0; c < group.children; ++c) {
            reg.Key(parent + "\\" + group.name + FormatText("%02d", c));
            reg.Text("Path", folder + "\\" + group.name + FormatText("%02d.dll", c));
            reg.Dword("Version", 0x10000 + c);
        }
    }
}

}  // namespace

int ExpectedProducts(int scale) { return kBenchReleases * kProductsPerRelease * scale; }

std::string MachineRegText(int scale) {
    std::string out = "REGEDIT4\r\n";
    RegWriter reg(out);
    const std::string autodesk = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk";
    const std::string acad = autodesk + "\\AutoCAD";
    reg.Key(acad);
    reg.Text("CurVer", "R24.0");
    for (const BenchRelease& release : kReleases) {
        const std::string releaseKey = acad + "\\" + release.key;
        reg.Key(releaseKey);
        reg.Text("CurVer", std::string("ACAD-") + release.productCode + "001:804");
        for (int p = 0; p < kProductsPerRelease * scale; ++p) {
            const bool chinese = p % 2 == 0;
            const std::string name =
                std::string("ACAD-") + release.productCode + FormatText("%03d", p + 1) + (chinese ? ":804" : ":409");
            const std::string folder = FormatText("C:\\Program Files\\Autodesk\\AutoCAD %d", release.year) +
                                       (p == 0 ? std::string() : FormatText(" (%d)", p));
            const std::string product = releaseKey + "\\" + name;
            reg.Key(product);
            reg.Text("AcadLocation", folder);
            reg.Text("ProductName", FormatText("AutoCAD %d", release.year) +
                                        (chinese ? " - 简体中文 (Simplified Chinese)" : " - English"));
            reg.Text("Language", chinese ? "简体中文" : "English");
            reg.Text("LocalizedResourcePath", folder + (chinese ? "\\zh-CN\\" : "\\en-US\\"));
            reg.Text("ProductId", std::string(release.key) + "-" + name);
            reg.Text("Release", std::string(release.key).substr(1) + ".0.0");
            reg.Text("SerialNumber", FormatText("666-%08d", p));
            reg.Dword("InstallDate", 20200101 + p);
            WriteProductSubtree(reg, product, folder);
        }
        // Beside the product keys: keys without AutoCAD's values, walked
        // through to the end by any search for them.
        for (int g = 0; g < scale; ++g) {
            const std::string components = releaseKey + "\\" + (g == 0 ? std::string("Installed Components")
                                                                       : FormatText("Installed Components %d", g + 1));
            reg.Key(components);
            for (int c = 0; c < kComponents; ++c) {
                reg.Key(components + "\\" + FormatText("{5783F2D7-%04X-0409-0002-0060B0CE6BBA}", c));
                reg.Text("Name", FormatText("Component %d", c));
                reg.Dword("Installed", 1);
            }
        }
    }
    // Beside AutoCAD: other products, never searched by detection.
    for (int g = 0; g < scale; ++g) {
        for (const char* other : kOtherProducts) {
            const std::string product =
                autodesk + "\\" + other + (g == 0 ? std::string() : FormatText(" %d", g + 1)) + "\\R24.0";
            reg.Key(product);
            reg.Text("ProductName", std::string(other) + " 2021");
            WriteProductSubtree(reg, product, std::string("C:\\Program Files\\Autodesk\\") + other);
        }
    }
    return out;
}

std::string UserProfilesRegText() {
    static const char* const kProfileKeys[] = {"Dialogs", "Drawing Window", "Editor Configuration", "General",
                                               "Previous plot settings", "Menus", "Layer Manager"};
    constexpr int kReleasesWithProfiles = 10;
    constexpr int kProductsWithProfiles = 4;
    constexpr int kProfilesPerProduct = kProfileCount / (kReleasesWithProfiles * kProductsWithProfiles);

    std::string out = "REGEDIT4\r\n";
    RegWriter reg(out);
    const std::string acad = "HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD";
    reg.Key(acad);
    for (int r = kBenchReleases - kReleasesWithProfiles; r < kBenchReleases; ++r) {
        const BenchRelease& release = kReleases[r];
        for (int p = 0; p < kProductsWithProfiles; ++p) {
            const std::string product = acad + "\\" + release.key + "\\ACAD-" + release.productCode +
                                        FormatText("%03d", p + 1) + (p % 2 == 0 ? ":804" : ":409");
            reg.Key(product + "\\FixedProfile\\General");
            reg.Text("ACAD", "");
            reg.Key(product + "\\Recent File List");
            reg.Text("File1", "D:\\图纸\\A1.dwg");
            for (int f = 0; f < kProfilesPerProduct; ++f) {
                const std::string profile =
                    product + "\\Profiles\\" + (f == 0 ? std::string("<<未命名配置>>") : FormatText("Profile %d", f));
                for (const char* sub : kProfileKeys) {
                    reg.Key(profile + "\\" + sub);
                    reg.Text("Setting", sub);
                }
                reg.Key(profile + "\\Variables");
                for (int v = 0; v < 20; ++v) reg.Text(FormatText("VAR%02d", v).c_str(), FormatText("%d", v));
                reg.Text("TRUSTEDPATHS",
                         f == 0 ? std::string()
                                : FormatText("C:\\Program Files\\Autodesk\\ApplicationPlugins\\Plugin%d\\...;D:\\CAD\\Lisp", f));
            }
        }
    }
    return out;
}

std::vector<PayloadFile> PayloadFiles() {
    std::vector<PayloadFile> files = {
        {kSetupProgramName, 1500000}, {kFontEn, 60000},     {kFontHz, 240000},         {kPlotDriverSource, 900000},
        {kZipLibSource, 200000},      {kPdfLibSource, 4200000}, {kConfigFile, 4000}, {kTitleBlockFile, 12000},
    };
    for (int year : {2008, 2010, 2013, 2015, 2017, 2018, 2019, 2021})
        files.push_back({FormatText("TV_BatchPlot%d.ARX", year), 13500000});
    for (int i = 0; i < 44; ++i) {
        static const unsigned long kSizes[] = {2500000, 600000, 80000, 9000};
        files.push_back({FormatText(i % 2 == 0 ? "TV_Resource%d.dll" : "TV_Help%d.chm", i), kSizes[i % 4]});
    }
    return files;
}

}  // namespace tavrin::bench
