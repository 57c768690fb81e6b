#include "detection.h"

#include <cstdint>
#include <utility>

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

// One search of a walk: the value looked for and what was found of it.
struct ValueSearch {
    const char* valueName;
    TextList keys;    // prefix + relative path of each key that holds it
    TextList values;  // its text, parallel to `keys`
};

// Reads `valueName` of `key` as text; false when it is absent, is not text,
// or does not fit the 256-byte read.
bool ReadText(Registry& registry, RegHandle key, const char* valueName, std::string& text) {
    unsigned char data[kValueReadBytes] = {};
    std::uint32_t size = kValueReadBytes;
    std::uint32_t type = kRegNone;
    // A value of another type than text (say a REG_DWORD "AcadLocation") names
    // no folder: it counts as absent here, and the search goes on below.
    if (registry.QueryValue(key, valueName, type, data, size) != RegStatus::Ok || !IsTextType(type)) return false;
    std::size_t length = 0;
    while (length < size && data[length] != 0) ++length;
    text.assign(reinterpret_cast<const char*>(data), length);
    return true;
}

// Depth-first walk from the open `key` that runs several searches at once,
// each opening and enumerating every key once however many searches still
// look below it. A search ends on a branch at the first key that holds its
// value; the walk goes deeper while any search goes on there. Each search's
// lists come out as a walk of its own would give them.
// `active` has bit s set while search s goes on along this branch.
void SearchBelow(Registry& registry, RegHandle key, const std::string& path, ValueSearch* searches,
                 std::size_t searchCount, unsigned active, int depth) {
    for (std::size_t s = 0; s < searchCount; ++s) {
        const unsigned bit = 1u << s;
        std::string text;
        if ((active & bit) == 0 || !ReadText(registry, key, searches[s].valueName, text)) continue;
        searches[s].keys.push_back(path);
        searches[s].values.push_back(std::move(text));
        active &= ~bit;
    }
    if (active == 0 || depth >= kMaxKeyDepth) return;

    std::uint32_t count = 0;
    if (registry.CountSubkeys(key, count) != RegStatus::Ok) count = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string child;
        if (registry.SubkeyName(key, i, child) != RegStatus::Ok) continue;
        RegKey sub(registry);
        if (registry.OpenForRead(key, child, sub.Receive()) != RegStatus::Ok) continue;
        SearchBelow(registry, sub.Get(), path + child + "\\", searches, searchCount, active, depth + 1);
    }
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
    RegKey key(registry);
    if (registry.OpenForRead(parent, name, key.Receive()) != RegStatus::Ok) return;
    ValueSearch search{context.SearchValueName.c_str(), {}, {}};
    SearchBelow(registry, key.Get(), prefix + relativePath, &search, 1, 1u, 0);
    context.SearchKeys.insert(context.SearchKeys.end(), search.keys.begin(), search.keys.end());
    context.SearchValues.insert(context.SearchValues.end(), search.values.begin(), search.values.end());
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

        // Both searches in one walk of the release key: the folders first,
        // then the product names.
        ValueSearch searches[] = {{kValueAcadLocation, {}, {}}, {kValueProductName, {}, {}}};
        SearchBelow(registry, release.Get(), prefix, searches, 2, 3u, 0);
        const TextList& locationKeys = searches[0].keys;
        const TextList& folders = searches[0].values;
        const TextList& nameKeys = searches[1].keys;
        const TextList& productNames = searches[1].values;

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
        // The work fields hold the last search, as after a search of its own.
        context.SearchValueName = kValueProductName;
        context.SearchKeys = nameKeys;
        context.SearchValues = productNames;
    }
}

void DetectReleases(InstallContext& context, Registry& registry) {
    ScanAutoCADRoot(context, registry, kAcadRoot32, kAcadPrefix32, kLastYear32);
    ScanAutoCADRoot(context, registry, kAcadRootNative, kAcadPrefixNative, kLastYearNative);
}

}  // namespace tavrin
