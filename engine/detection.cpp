#include "detection.h"

#include <cstdint>

#include "constants.h"

namespace tavrin {

namespace {

// RegQueryValueExA into a buffer of this many bytes: a value counts only when
// its whole data, terminating zero included, fits.
constexpr std::uint32_t kValueReadBytes = 256;

// Windows allows no deeper key nesting than this; a backend that does (or a
// link that loops) must not make the search recurse without end.
constexpr int kMaxKeyDepth = 512;

bool IsTextType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz; }

std::string FillName(const std::string& format, const std::string& name) {
    std::string out = format;
    const std::size_t at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, name);
    return out;
}

void FindValueBelow(InstallContext& context, Registry& registry, RegHandle parent, const std::string& name,
                    const std::string& relativePath, const std::string& prefix, int depth) {
    if (depth > kMaxKeyDepth) return;
    RegKey key(registry);
    if (registry.OpenForRead(parent, name, key.Receive()) != RegStatus::Ok) return;

    unsigned char data[kValueReadBytes] = {};
    std::uint32_t size = kValueReadBytes;
    std::uint32_t type = kRegNone;
    // A value of another type than text (say a REG_DWORD "AcadLocation") names
    // no folder: it counts as absent here, and the search goes on below.
    if (registry.QueryValue(key.Get(), context.SearchValueName, type, data, size) == RegStatus::Ok &&
        IsTextType(type)) {
        std::size_t length = 0;
        while (length < size && data[length] != 0) ++length;
        context.SearchKeys.push_back(prefix + relativePath);
        context.SearchValues.emplace_back(reinterpret_cast<const char*>(data), length);
        return;
    }

    std::uint32_t count = 0;
    if (registry.CountSubkeys(key.Get(), count) != RegStatus::Ok) count = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string child;
        if (registry.SubkeyName(key.Get(), i, child) != RegStatus::Ok) continue;
        FindValueBelow(context, registry, key.Get(), child, relativePath + child + "\\", prefix, depth + 1);
    }
}

// Runs one search of the release key for `valueName`; returns the key paths
// and value texts found.
void SearchReleaseKey(InstallContext& context, Registry& registry, RegHandle releaseKey,
                      const char* valueName, const std::string& prefix, TextList& keys, TextList& values) {
    context.SearchKeys.clear();
    context.SearchValues.clear();
    context.SearchValueName = valueName;
    FindValueInTree(context, registry, releaseKey, std::string(), std::string(), prefix);
    keys = context.SearchKeys;
    values = context.SearchValues;
}

}  // namespace

int ClassifyProductName(const std::string& productName, int lastYear) {
    // A name that begins with the year ("2010 AutoCAD") names that year too.
    for (int year = kFirstYear; year <= lastYear; ++year) {
        if (productName.find(std::to_string(year)) != std::string::npos) return year;
    }
    return 0;
}

void FindValueInTree(InstallContext& context, Registry& registry, RegHandle parent, std::string name,
                     std::string relativePath, std::string prefix) {
    FindValueBelow(context, registry, parent, name, relativePath, prefix, 0);
}

void ScanAutoCADRoot(InstallContext& context, Registry& registry, const std::string& rootPath,
                     const std::string& prefixFormat, int lastYear) {
    RegKey machine(registry);
    if (registry.OpenRoot(RegRoot::LocalMachine, machine.Receive()) != RegStatus::Ok) return;
    RegKey root(registry);
    if (registry.OpenForRead(machine.Get(), rootPath, root.Receive()) != RegStatus::Ok) return;

    std::uint32_t count = 0;
    if (registry.CountSubkeys(root.Get(), count) != RegStatus::Ok) count = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string releaseName;
        if (registry.SubkeyName(root.Get(), i, releaseName) != RegStatus::Ok) continue;
        const std::string prefix = FillName(prefixFormat, releaseName);
        RegKey release(registry);
        if (registry.OpenForRead(root.Get(), releaseName, release.Receive()) != RegStatus::Ok) continue;

        TextList locationKeys, folders, nameKeys, productNames;
        SearchReleaseKey(context, registry, release.Get(), kValueAcadLocation, prefix, locationKeys, folders);
        SearchReleaseKey(context, registry, release.Get(), kValueProductName, prefix, nameKeys, productNames);

        // Only a key that holds both values is a product key of a release.
        for (std::size_t j = 0; j < locationKeys.size(); ++j) {
            for (std::size_t k = 0; k < nameKeys.size(); ++k) {
                if (locationKeys[j] != nameKeys[k]) continue;
                const int year = ClassifyProductName(productNames[k], lastYear);
                if (year == 0) continue;
                context.ReleaseKeys[year - kFirstYear].push_back(locationKeys[j]);
                context.ReleaseFolders[year - kFirstYear].push_back(folders[j]);
            }
        }
    }
}

void DetectReleases(InstallContext& context, Registry& registry) {
    ScanAutoCADRoot(context, registry, kAcadRoot32, kAcadPrefix32, kLastYear32);
    ScanAutoCADRoot(context, registry, kAcadRootNative, kAcadPrefixNative, kLastYearNative);
}

}  // namespace tavrin
