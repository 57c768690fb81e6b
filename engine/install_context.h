// The state the whole program shares: the install context filled by detection
// and read by the install run, the release table, the build constants and the
// page state that must outlive one showing of a page. Both the engine and the
// wizard include this header.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tavrin {

// Texts are narrow, code page 936.
using Text = std::string;
using TextList = std::vector<std::string>;

constexpr int kReleaseCount = 14;
constexpr int kFirstYear = 2008;
constexpr int kLastYear = 2021;

struct InstallContext {
    // The install folder, without a trailing backslash; set by the install run
    // after the payload copy succeeded.
    Text InstallFolder;
    // Per release (index = year - 2008): program folders and HKLM key paths
    // (ending in "\") of each recognised AutoCAD product; parallel lists.
    std::array<TextList, kReleaseCount> ReleaseFolders;
    std::array<TextList, kReleaseCount> ReleaseKeys;
    // Work fields of detection.
    Text SearchValueName = "AcadLocation";
    TextList SearchKeys;
    TextList SearchValues;
};

struct ReleaseInfo {
    int year;
    int moduleYear;       // the build of TV_BatchPlot%d.ARX that serves it
    int checkBoxId;       // its box on the component page
    bool offeredIn32Bit;  // offered by a 32-bit build
    bool withPlotDriver;  // gets the plug-in's PDF plot driver
};

class ReleaseTable {
public:
    static const ReleaseInfo& At(int index);
    static int YearOf(int index) { return kFirstYear + index; }
    // -1 for a year outside 2008..2021.
    static int IndexOf(int year);
    // 0 for a year outside 2008..2021: it has no module.
    static int ModuleYearOf(int year);
    static int CheckBoxIdOf(int index) { return At(index).checkBoxId; }
    // -1 when no release box has that ID.
    static int IndexOfCheckBox(int id);
};

// Build constants: version 2020.10.8 and the bitness of this build. The
// program defines ProductBits in its entry file from TAVRIN_PRODUCT_BITS, so
// one source tree builds both a 64-bit and a 32-bit edition of the wizard.
extern const int ProductVersion;
extern const int ProductBits;

// Page state kept across showings of the pages.
extern int SelectedReleases[kReleaseCount];  // nonzero: serve this release
extern int LicenceChoice;                    // 0 "不同意", 1 "同意"
extern unsigned char InstallPathReady;       // enable state of Install
// Constructed by the program in its own order (see the wizard's entry file):
// "C:\Tavrin" at start.
extern Text InstallPathChoice;

// Version caption numbers.
inline int VersionMajor(int v) { return v / 10000; }
inline int VersionMinor(int v) { return (v % 10000) / 100; }
inline int VersionPatch(int v) { return v % 10000 % 100; }

}  // namespace tavrin
