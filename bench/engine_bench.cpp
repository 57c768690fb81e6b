// The engine on the in-memory backends, each step beside its floor (the
// plainest walk or loop over the same backend doing the same registry or
// file work). Extra information beside the Wine figures of bench_timing:
// what the engine's own logic costs when the platform costs nothing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench_machine.h"
#include "constants.h"
#include "detection.h"
#include "install_context.h"
#include "memory_file_system.h"
#include "memory_registry.h"
#include "payload_copy.h"
#include "reg_file.h"
#include "support_files.h"
#include "trusted_paths.h"

namespace tavrin::bench {
namespace {

// Loading the 16x registry takes a while: each scale is loaded once.
MemoryRegistry& MachineAt(int scale) {
    static std::map<int, std::unique_ptr<MemoryRegistry>> machines;
    std::unique_ptr<MemoryRegistry>& machine = machines[scale];
    if (!machine) {
        machine = std::make_unique<MemoryRegistry>();
        RegFileError error;
        if (!LoadRegText(MachineRegText(scale), *machine, error)) std::abort();
    }
    return *machine;
}

int Recorded(const InstallContext& context) {
    int count = 0;
    for (const TextList& keys : context.ReleaseKeys) count += static_cast<int>(keys.size());
    return count;
}

void Detection(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    MemoryRegistry& registry = MachineAt(scale);
    for (auto _ : state) {
        InstallContext context;
        DetectReleases(context, registry);
        if (Recorded(context) != ExpectedProducts(scale)) state.SkipWithError("wrong product count");
        benchmark::DoNotOptimize(context.ReleaseKeys.data());
    }
}

// Opens, reads both values and enumerates, stopping where both are found.
void Walk(Registry& registry, RegHandle parent, const std::string& name, int& keys) {
    RegKey key(registry);
    if (registry.OpenForRead(parent, name, key.Receive()) != RegStatus::Ok) return;
    ++keys;
    unsigned char data[256];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof data;
    const bool location = registry.QueryValue(key.Get(), kValueAcadLocation, type, data, size) == RegStatus::Ok;
    size = sizeof data;
    const bool product = registry.QueryValue(key.Get(), kValueProductName, type, data, size) == RegStatus::Ok;
    if (location && product) return;
    std::string child;
    for (std::uint32_t i = 0; registry.SubkeyName(key.Get(), i, child) == RegStatus::Ok; ++i) {
        Walk(registry, key.Get(), child, keys);
    }
}

void DetectionFloor(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    MemoryRegistry& registry = MachineAt(scale);
    int keys = 0;
    for (auto _ : state) {
        keys = 0;
        RegKey machine(registry);
        registry.OpenRoot(RegRoot::LocalMachine, machine.Receive());
        for (const char* root : {kAcadRoot32, kAcadRootNative}) {
            RegKey acad(registry);
            if (registry.OpenForRead(machine.Get(), root, acad.Receive()) != RegStatus::Ok) continue;
            std::string release;
            for (std::uint32_t i = 0; registry.SubkeyName(acad.Get(), i, release) == RegStatus::Ok; ++i) {
                Walk(registry, acad.Get(), release, keys);
            }
        }
    }
    state.counters["keys"] = keys;
}

// The seeded profiles and their "TRUSTEDPATHS" texts, to put back before
// every run.
struct Profiles {
    MemoryRegistry registry;
    std::vector<std::pair<std::string, std::string>> values;  // variables path, seeded text
};

Profiles& UserProfiles() {
    static const std::unique_ptr<Profiles> profiles = [] {
        auto p = std::make_unique<Profiles>();
        RegFileError error;
        if (!LoadRegText(UserProfilesRegText(), p->registry, error)) std::abort();
        p->registry.ForEachKey(RegRoot::CurrentUser, kUserAcadRoot,
                               [&](const std::string& path, const std::vector<RegValue>& values, bool) {
                                   for (const RegValue& value : values) {
                                       if (value.name == kValueTrustedPaths) p->values.emplace_back(path, value.data);
                                   }
                               });
        if (static_cast<int>(p->values.size()) != kProfileCount) std::abort();
        return p;
    }();
    return *profiles;
}

void Restore(Profiles& profiles) {
    for (const auto& [path, data] : profiles.values) {
        profiles.registry.SetValue(RegRoot::CurrentUser, path, kValueTrustedPaths, kRegSz, data);
    }
}

void TrustedPaths(benchmark::State& state) {
    Profiles& profiles = UserProfiles();
    InstallContext context;
    context.InstallFolder = kBenchInstallFolder;
    for (auto _ : state) {
        state.PauseTiming();
        Restore(profiles);
        state.ResumeTiming();
        AddTrustedPath(context, profiles.registry);
    }
}

void TrustedPathsFloor(benchmark::State& state) {
    Profiles& profiles = UserProfiles();
    Registry& registry = profiles.registry;
    for (auto _ : state) {
        state.PauseTiming();
        Restore(profiles);
        state.ResumeTiming();
        RegKey user(registry);
        registry.OpenRoot(RegRoot::CurrentUser, user.Receive());
        for (const auto& entry : profiles.values) {
            RegKey key(registry);
            if (registry.OpenForWrite(user.Get(), entry.first, key.Receive()) != RegStatus::Ok) continue;
            unsigned char data[13000];
            std::uint32_t type = 0;
            std::uint32_t size = sizeof data;
            registry.QueryValue(key.Get(), kValueTrustedPaths, type, data, size);
            std::string text(reinterpret_cast<const char*>(data), size > 0 ? size - 1 : 0);
            text = text.empty() ? std::string(kBenchInstallFolder) : text + ";" + kBenchInstallFolder;
            registry.SetString(key.Get(), kValueTrustedPaths, text);
        }
    }
}

// The setup folder at a hundredth of its size: in memory a copy is a memcpy,
// and the logic around the copies is what is measured here.
constexpr unsigned long kSizeDivisor = 100;
constexpr const char* kSetup = "C:\\Setup";
constexpr const char* kInstall = "C:\\Tavrin\\Tavrin批打印软件";

struct CopyMachine {
    MemoryFileSystem fs;
    InstallContext context;
    int selected[kReleaseCount] = {};
    std::vector<std::pair<std::string, std::string>> copies;  // source, destination
};

std::unique_ptr<CopyMachine> MakeCopyMachine() {
    auto machine = std::make_unique<CopyMachine>();
    MemoryFileSystem& fs = machine->fs;
    fs.SetProgramPath(std::string(kSetup) + "\\" + kSetupProgramName);
    fs.SetEnvironment(kAppDataVariable, "C:\\Users\\u\\AppData\\Roaming");
    fs.AddFolder("C:\\Users\\u\\AppData\\Roaming\\Tavrin");
    fs.AddFolder(kInstall);
    for (const PayloadFile& file : PayloadFiles()) {
        fs.AddFile(std::string(kSetup) + "\\" + file.name, std::string(file.bytes / kSizeDivisor, 'x'));
        const std::string installName = PayloadInstallName(file.name);
        if (!installName.empty()) {
            machine->copies.emplace_back(std::string(kSetup) + "\\" + file.name, std::string(kInstall) + "\\" + installName);
        } else if (file.name == kConfigFile || file.name == kTitleBlockFile) {
            machine->copies.emplace_back(std::string(kSetup) + "\\" + file.name,
                                         "C:\\Users\\u\\AppData\\Roaming\\Tavrin\\" + file.name);
        }
    }
    for (int year : kSupportYears) {
        const std::string folder = "C:\\Program Files\\Autodesk\\AutoCAD " + std::to_string(year);
        fs.AddFolder(folder + "\\Fonts");
        fs.AddFolder(folder + "\\Drv");
        machine->context.ReleaseFolders[year - kFirstYear].push_back(folder);
        machine->selected[year - kFirstYear] = 1;
        for (const char* font : {kFontEn, kFontHz})
            machine->copies.emplace_back(std::string(kSetup) + "\\" + font, folder + "\\Fonts\\" + font);
        if (ReleaseTable::At(year - kFirstYear).withPlotDriver)
            machine->copies.emplace_back(std::string(kSetup) + "\\" + kPlotDriverSource,
                                         folder + "\\Drv\\" + kPlotDriverName);
    }
    return machine;
}

class SilentPrompt : public InstallPrompt {
public:
    CopyFailureAnswer AskCopyFailed(const std::string&, const std::string&) override { return CopyFailureAnswer::Abort; }
    void ShowError(const std::string&, const std::string&) override {}
};

void InstallFileWork(benchmark::State& state) {
    auto machine = MakeCopyMachine();
    SilentPrompt prompt;
    const PayloadJob job(kInstall, nullptr);
    for (auto _ : state) {
        if (!CopyPayload(job, machine->fs, prompt)) state.SkipWithError("the payload copy failed");
        CopySupportFiles(machine->context, machine->selected, machine->fs);
    }
    state.counters["copies"] = static_cast<double>(machine->copies.size());
}

void InstallFileWorkFloor(benchmark::State& state) {
    auto machine = MakeCopyMachine();
    for (auto _ : state) {
        for (const auto& [source, destination] : machine->copies) {
            if (machine->fs.CopyFile(source, destination) != FsStatus::Ok) state.SkipWithError("a copy failed");
        }
    }
    state.counters["copies"] = static_cast<double>(machine->copies.size());
}

BENCHMARK(Detection)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(DetectionFloor)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(TrustedPaths)->Unit(benchmark::kMicrosecond);
BENCHMARK(TrustedPathsFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(InstallFileWork)->Unit(benchmark::kMicrosecond);
BENCHMARK(InstallFileWorkFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavrin::bench

BENCHMARK_MAIN();
