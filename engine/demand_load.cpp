#include "demand_load.h"

#include "constants.h"
#include "payload_copy.h"
#include "trusted_paths.h"

namespace tavrin {

void RegisterSelectedReleases(const InstallContext& context, const int (&selected)[kReleaseCount],
                              Registry& registry) {
    for (int index = 0; index < kReleaseCount; ++index) {
        if (selected[index] != 0) RegisterDemandLoad(context, ReleaseTable::YearOf(index), registry);
    }
    AddTrustedPath(context, registry);
}

void RegisterDemandLoad(const InstallContext& context, int year, Registry& registry) {
    const int index = ReleaseTable::IndexOf(year);
    if (index < 0) return;
    // An empty folder would register "\TV_BatchPlot....ARX" at the drive's root.
    if (context.InstallFolder.empty()) return;

    const std::string subkey = FormatText(kDemandLoadKeyFormat, year);
    // LOADER is a path: it must fit the 260 bytes Win32 gives one.
    const std::string loader =
        FormatText(kLoaderFormat, context.InstallFolder.c_str(), ReleaseTable::ModuleYearOf(year));
    if (!FitsPath(loader)) return;

    RegKey machine(registry);
    if (registry.OpenRoot(RegRoot::LocalMachine, machine.Receive()) != RegStatus::Ok || !machine.IsOpen()) return;

    for (const std::string& productPath : context.ReleaseKeys[index]) {
        RegKey product(registry);
        if (registry.OpenForWrite(machine.Get(), productPath, product.Receive()) != RegStatus::Ok ||
            !product.IsOpen())
            continue;
        // Removes an earlier entry with all its values; a key with subkeys of
        // its own stays, and its two values are overwritten below.
        registry.DeleteKey(product.Get(), subkey);
        RegKey entry(registry);
        if (registry.CreateKey(product.Get(), subkey, entry.Receive()) != RegStatus::Ok || !entry.IsOpen())
            continue;
        registry.SetDword(entry.Get(), kValueLoadCtrls, kLoadCtrlsAtStartup);
        registry.SetString(entry.Get(), kValueLoader, loader);
    }
}

}  // namespace tavrin
