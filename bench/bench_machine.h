// The machine the benchmarks run on. Registries as REGEDIT4 text (CRLF
// lines, code page 936) that regedit imports under Wine and LoadRegText loads
// natively, and the setup folder's files.
//
// A machine at scale 1 has the 14 AutoCAD releases 2008..2021 in the native
// view, each with 6 product keys; each product key holds its values and a
// subtree of 300 keys (applications, add-ons, drivers, support entries).
// Beside the product keys each release key holds one key without AutoCAD's
// values ("Installed Components", 60 keys that detection must walk through),
// and beside AutoCAD three other Autodesk products with subtrees of their
// own. Scale k has k times as many of each: 6k product keys and k component
// keys per release key, 3k other products.
#pragma once

#include <string>
#include <vector>

namespace tavrin::bench {

constexpr int kBenchReleases = 14;
constexpr int kProductsPerRelease = 6;
constexpr int kKeysBelowProduct = 300;

// HKEY_LOCAL_MACHINE at `scale` (1, 4, 16, ...).
std::string MachineRegText(int scale);
// Product keys detection must record at `scale`.
int ExpectedProducts(int scale);

// HKEY_CURRENT_USER: the AutoCAD profiles of one user, kProfileCount of them
// (10 releases x 4 products x 5 profiles), each profile with its usual
// subkeys and a "Variables" key whose "TRUSTEDPATHS" holds folders already.
// The first profile of each product has an empty "TRUSTEDPATHS".
constexpr int kProfileCount = 200;
std::string UserProfilesRegText();
// The install folder the trusted-location benchmark adds.
constexpr const char* kBenchInstallFolder = "C:\\Tavrin\\Tavrin批打印软件";

// The setup folder of the install run's benchmark: about 60 files and 150 MB,
// shaped like the plug-in's (eight module builds, the two libraries, fonts,
// plot driver, configuration files, the setup program itself, help and
// resource files). Sizes in bytes.
struct PayloadFile {
    std::string name;
    unsigned long bytes;
};
std::vector<PayloadFile> PayloadFiles();

// The years of the six AutoCAD folders the support files go into (2008
// among them, for the plot driver).
constexpr int kSupportYears[] = {2008, 2010, 2013, 2016, 2018, 2021};

}  // namespace tavrin::bench
