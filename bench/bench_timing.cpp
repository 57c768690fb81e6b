// The Windows side of the benchmarks, run under Wine by tools/bench.sh. Each
// command times one piece of the program against its floor, the plainest
// Win32 code doing the same registry or file work, in the same process,
// alternating the two, and prints one line
//   RESULT <figure> ours_ms=<median> floor_ms=<median> [details]
// with QueryPerformanceCounter medians over the repetitions.
//
//   bench_timing seed SCALE          the machine's registry at SCALE (and, at 1,
//                                    the user's AutoCAD profiles), via regedit /S
//   bench_timing detect REPS         DetectReleases against a plain walk
//   bench_timing trusted REPS        AddTrustedPath against a read-modify-write loop
//   bench_timing copy REPS           CopyPayload + CopySupportFiles against CopyFileA
//   bench_timing startup REPS SETUP.EXE EMPTY.EXE
//                                    start to first visible window, both programs
#include <windows.h>
#undef CopyFile

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bench_machine.h"
#include "constants.h"
#include "cp936.h"
#include "detection.h"
#include "install_context.h"
#include "payload_copy.h"
#include "support_files.h"
#include "trusted_paths.h"
#include "win32_file_system.h"
#include "win32_registry.h"

using namespace tavrin;

namespace {

// Bump when the generated registry changes, so that a prefix seeded by an
// older layout is seeded again.
constexpr const char* kLayoutVersion = "layout 1";
constexpr const char* kStampKey = "SOFTWARE\\TavrinBench";
constexpr const char* kStampValue = "Layout";
// The longest a program may take to show its window, in milliseconds.
constexpr DWORD kWaitMs = 20000;

// Owns an open registry key; closes it at scope end.
class OwnedKey {
public:
    OwnedKey() = default;
    ~OwnedKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    OwnedKey(const OwnedKey&) = delete;
    OwnedKey& operator=(const OwnedKey&) = delete;
    HKEY* Receive() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Owns a kernel handle (a file, a process, a thread); closes it at scope end.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~OwnedHandle() {
        if (IsOpen()) CloseHandle(handle_);
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    bool IsOpen() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// --- Timing ------------------------------------------------------------------

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    if (n == 0) return 0;
    return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

struct Samples {
    std::vector<double> ours;
    std::vector<double> floor;
    double oursFirst = 0;  // the rounds not counted: the first in the process
    double floorFirst = 0;
};

// One of the two contenders of a figure: runs once and returns the
// milliseconds that count, or a negative number when its result was wrong.
using Contender = std::function<double()>;

// Times `work` alone; `check` (untimed) then says whether it did its job.
Contender Timed(std::function<void()> work, std::function<bool()> check) {
    return [work, check] {
        const double start = Now();
        work();
        const double elapsed = Now() - start;
        return check() ? elapsed : -1.0;
    };
}

// Runs `prepare` (untimed) before every run of either contender, ours and the
// floor in turn, the order swapped every repetition so that neither always
// runs second; one round first, not counted, warms caches and Wine.
bool Alternate(int reps, const std::function<void()>& prepare, const Contender& ours, const Contender& floor,
               Samples& samples) {
    auto once = [&](const Contender& contender, std::vector<double>* into, double* first) {
        prepare();
        const double elapsed = contender();
        if (elapsed < 0) return false;
        if (into != nullptr) into->push_back(elapsed);
        if (first != nullptr) *first = elapsed;
        return true;
    };
    if (!once(ours, nullptr, &samples.oursFirst) || !once(floor, nullptr, &samples.floorFirst)) return false;
    for (int rep = 0; rep < reps; ++rep) {
        const bool oursFirst = rep % 2 == 0;
        if (!once(oursFirst ? ours : floor, oursFirst ? &samples.ours : &samples.floor, nullptr)) return false;
        if (!once(oursFirst ? floor : ours, oursFirst ? &samples.floor : &samples.ours, nullptr)) return false;
    }
    return true;
}

void PrintResult(const char* figure, const Samples& samples, const std::string& details) {
    const auto [oursMin, oursMax] = std::minmax_element(samples.ours.begin(), samples.ours.end());
    const auto [floorMin, floorMax] = std::minmax_element(samples.floor.begin(), samples.floor.end());
    std::printf("RESULT %s ours_ms=%.3f floor_ms=%.3f ours_range=%.3f..%.3f floor_range=%.3f..%.3f "
                "first_ours_ms=%.3f first_floor_ms=%.3f reps=%zu %s\n",
                figure, Median(samples.ours), Median(samples.floor), *oursMin, *oursMax, *floorMin, *floorMax,
                samples.oursFirst, samples.floorFirst, samples.ours.size(), details.c_str());
    std::fflush(stdout);
}

int Fail(const std::string& what) {
    std::fprintf(stderr, "bench_timing: %s\n", what.c_str());
    return 1;
}

// --- Seeding -----------------------------------------------------------------

std::string TempFolder() {
    char path[MAX_PATH + 1] = "";
    const DWORD length = GetTempPathA(sizeof path, path);
    std::string folder(path, length);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    OwnedHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    bool ok = true;
    for (std::size_t at = 0; ok && at < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 24));
        DWORD written = 0;
        ok = WriteFile(file.Get(), bytes.data() + at, chunk, &written, nullptr) && written == chunk;
        at += chunk;
    }
    return ok;
}

bool RunAndWait(const std::string& commandLine, DWORD timeoutMs) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');  // CreateProcessA may write into it
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    OwnedHandle process(info.hProcess);
    OwnedHandle thread(info.hThread);
    const DWORD waited = WaitForSingleObject(process.Get(), timeoutMs);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.Get(), &exitCode);
    return waited == WAIT_OBJECT_0 && exitCode == 0;
}

bool ImportRegText(const std::string& text, const char* name) {
    const std::string path = TempFolder() + "\\" + name;
    if (!WriteWholeFile(path, text)) return false;
    const bool ok = RunAndWait("regedit.exe /S \"" + path + "\"", 30 * 60 * 1000);
    DeleteFileA(path.c_str());
    return ok;
}

std::string ReadStamp() {
    char data[256] = "";
    DWORD size = sizeof data - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kStampKey, kStampValue, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return std::string();
    return data;
}

int RecordedProducts(const InstallContext& context) {
    int count = 0;
    for (const TextList& keys : context.ReleaseKeys) count += static_cast<int>(keys.size());
    return count;
}

int Seed(int scale) {
    const std::string stamp = std::string(kLayoutVersion) + " scale " + std::to_string(scale);
    if (ReadStamp() == stamp) {
        std::printf("seed: the registry holds %s already\n", stamp.c_str());
        return 0;
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk");
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
    const double start = Now();
    const std::string machine = bench::MachineRegText(scale);
    if (!ImportRegText(machine, "tavrin-bench-machine.reg")) return Fail("regedit could not import the machine keys");
    if (scale == 1 && !ImportRegText(bench::UserProfilesRegText(), "tavrin-bench-user.reg"))
        return Fail("regedit could not import the user's profiles");

    InstallContext context;
    Win32Registry registry;
    DetectReleases(context, registry);
    if (RecordedProducts(context) != bench::ExpectedProducts(scale))
        return Fail("detection found " + std::to_string(RecordedProducts(context)) + " products after seeding");
    OwnedKey key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kStampKey, key.Receive()) != ERROR_SUCCESS ||
        RegSetValueExA(key.Get(), kStampValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(stamp.c_str()),
                       static_cast<DWORD>(stamp.size() + 1)) != ERROR_SUCCESS)
        return Fail("cannot write the stamp");
    std::printf("seed: %s imported (%.1f MB of .reg text) in %.1f s\n", stamp.c_str(), machine.size() / 1e6,
                (Now() - start) / 1000);
    return 0;
}

// --- Detection -----------------------------------------------------------------

// The floor: one recursive walk over the keys detection must look at, with
// nothing but RegOpenKeyExA, RegQueryValueExA and RegEnumKeyExA. A key that
// holds both values ends its branch, as it ends both of detection's searches.
void WalkForValues(HKEY parent, const char* name, int& keys) {
    OwnedKey key;
    if (RegOpenKeyExA(parent, name, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return;
    ++keys;
    BYTE data[256];
    DWORD size = sizeof data;
    const bool location =
        RegQueryValueExA(key.Get(), kValueAcadLocation, nullptr, nullptr, data, &size) == ERROR_SUCCESS;
    size = sizeof data;
    const bool product = RegQueryValueExA(key.Get(), kValueProductName, nullptr, nullptr, data, &size) == ERROR_SUCCESS;
    if (location && product) return;
    char child[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof child;
        if (RegEnumKeyExA(key.Get(), i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        WalkForValues(key.Get(), child, keys);
    }
}

int WalkDetectionFloor() {
    int keys = 0;
    for (const char* root : {kAcadRoot32, kAcadRootNative}) {
        OwnedKey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, root, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) continue;
        char child[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof child;
            if (RegEnumKeyExA(key.Get(), i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            WalkForValues(key.Get(), child, keys);
        }
    }
    return keys;
}

int Detect(int reps) {
    const std::string stamp = ReadStamp();
    const std::size_t at = stamp.rfind(' ');
    if (stamp.compare(0, std::string(kLayoutVersion).size(), kLayoutVersion) != 0 || at == std::string::npos)
        return Fail("the registry is not seeded (run seed first)");
    const int scale = std::atoi(stamp.c_str() + at + 1);

    int products = 0;
    int keys = 0;
    Samples samples;
    const bool ok = Alternate(
        reps, [] {},
        Timed(
            [&] {
                InstallContext context;
                Win32Registry registry;
                DetectReleases(context, registry);
                products = RecordedProducts(context);
            },
            [&] { return products == bench::ExpectedProducts(scale); }),
        Timed([&] { keys = WalkDetectionFloor(); }, [&] { return keys > 0; }), samples);
    if (!ok) return Fail("detection recorded " + std::to_string(products) + " products, expected " +
                         std::to_string(bench::ExpectedProducts(scale)));
    PrintResult("detect", samples,
                "scale=" + std::to_string(scale) + " keys=" + std::to_string(keys) +
                    " products=" + std::to_string(products));
    return 0;
}

// --- Trusted locations ---------------------------------------------------------

struct Profile {
    std::string variables;  // below HKEY_CURRENT_USER
    std::string original;   // "TRUSTEDPATHS" as seeded
};

std::vector<std::string> SubkeysOf(HKEY parent, const std::string& path) {
    std::vector<std::string> names;
    OwnedKey key;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

bool ReadText(const std::string& path, std::string& text) {
    char data[13000];
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), kValueTrustedPaths, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return false;
    text.assign(data, size > 0 ? size - 1 : 0);
    return true;
}

bool WriteText(HKEY key, const std::string& text) {
    return RegSetValueExA(key, kValueTrustedPaths, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

std::string Merged(const std::string& old) { return old.empty() ? bench::kBenchInstallFolder : old + ";" + bench::kBenchInstallFolder; }

// The floor: the 200 values, known in advance, each read, extended and
// written back through one handle.
bool ReadModifyWrite(const std::vector<Profile>& profiles) {
    for (const Profile& profile : profiles) {
        OwnedKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, profile.variables.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          key.Receive()) != ERROR_SUCCESS)
            return false;
        char data[13000];
        DWORD size = sizeof data;
        DWORD type = 0;
        const bool read = RegQueryValueExA(key.Get(), kValueTrustedPaths, nullptr, &type,
                                           reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
        const std::string old = read && size > 0 ? std::string(data, size - 1) : std::string();
        if (!WriteText(key.Get(), Merged(old))) return false;
    }
    return true;
}

bool AllMerged(const std::vector<Profile>& profiles) {
    for (const Profile& profile : profiles) {
        std::string text;
        if (!ReadText(profile.variables, text) || text != Merged(profile.original)) return false;
    }
    return true;
}

int Trusted(int reps) {
    std::vector<Profile> profiles;
    const std::string root = kUserAcadRoot;
    for (const std::string& release : SubkeysOf(HKEY_CURRENT_USER, root)) {
        for (const std::string& product : SubkeysOf(HKEY_CURRENT_USER, root + "\\" + release)) {
            const std::string list = root + "\\" + release + "\\" + product + kProfilesSuffix;
            for (const std::string& profile : SubkeysOf(HKEY_CURRENT_USER, list)) {
                Profile entry{list + "\\" + profile + kVariablesSuffix, std::string()};
                if (!ReadText(entry.variables, entry.original)) return Fail("no TRUSTEDPATHS in " + entry.variables);
                profiles.push_back(entry);
            }
        }
    }
    if (static_cast<int>(profiles.size()) != bench::kProfileCount)
        return Fail("found " + std::to_string(profiles.size()) + " profiles (run seed 1 first)");

    auto restore = [&] {
        for (const Profile& profile : profiles) {
            OwnedKey key;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, profile.variables.c_str(), 0, KEY_SET_VALUE, key.Receive()) ==
                ERROR_SUCCESS)
                WriteText(key.Get(), profile.original);
        }
    };
    Samples samples;
    bool floorWrote = false;
    const bool ok = Alternate(
        reps, restore,
        Timed(
            [&] {
                InstallContext context;
                context.InstallFolder = bench::kBenchInstallFolder;
                Win32Registry registry;
                AddTrustedPath(context, registry);
            },
            [&] { return AllMerged(profiles); }),
        Timed([&] { floorWrote = ReadModifyWrite(profiles); }, [&] { return floorWrote && AllMerged(profiles); }),
        samples);
    restore();
    if (!ok) return Fail("a run left a TRUSTEDPATHS value other than expected");
    PrintResult("trusted", samples, "profiles=" + std::to_string(profiles.size()));
    return 0;
}

// --- The install run's file work ---------------------------------------------

constexpr const char* kCopyBase = "C:\\tavrin-bench";

// The Win32 file system, except that the running program seems to live in
// the benchmark's setup folder, whose files CopyPayload then copies.
class BenchFileSystem : public Win32FileSystem {
public:
    explicit BenchFileSystem(std::string setupFolder) : setupFolder_(std::move(setupFolder)) {}
    std::string ProgramPath() override { return setupFolder_ + "\\" + kSetupProgramName; }

private:
    std::string setupFolder_;
};

class CountingPrompt : public InstallPrompt {
public:
    CopyFailureAnswer AskCopyFailed(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "bench_timing: copy failed: %s\n", text.c_str());
        ++failures;
        return CopyFailureAnswer::Abort;
    }
    void ShowError(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "bench_timing: %s\n", text.c_str());
        ++failures;
    }
    int failures = 0;
};

bool FileHasSize(const std::string& path, unsigned long bytes) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeHigh == 0 &&
           data.nFileSizeLow == bytes;
}

bool MakeFile(const std::string& path, unsigned long bytes) {
    if (FileHasSize(path, bytes)) return true;
    std::string chunk(1 << 20, '\0');
    unsigned state = 2463534242u ^ bytes;
    for (char& c : chunk) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state);
    }
    OwnedHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    bool ok = true;
    for (unsigned long left = bytes; ok && left > 0;) {
        const DWORD n = static_cast<DWORD>(std::min<unsigned long>(left, chunk.size()));
        DWORD written = 0;
        ok = WriteFile(file.Get(), chunk.data(), n, &written, nullptr) && written == n;
        left -= n;
    }
    return ok;
}

int Copy(int reps) {
    const std::string base = kCopyBase;
    const std::string setup = base + "\\setup";
    const std::string install = base + "\\install" + kInstallSubfolder;
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA(setup.c_str(), nullptr);
    CreateDirectoryA((base + "\\install").c_str(), nullptr);
    CreateDirectoryA(install.c_str(), nullptr);

    double total = 0;
    const std::vector<bench::PayloadFile> files = bench::PayloadFiles();
    for (const bench::PayloadFile& file : files) {
        if (!MakeFile(setup + "\\" + file.name, file.bytes)) return Fail("cannot write " + file.name);
        total += file.bytes;
    }

    // Six AutoCAD folders, as detection would have recorded them, 2008 among
    // them for the plot driver.
    InstallContext context;
    int selected[kReleaseCount] = {};
    CreateDirectoryA((base + "\\acad").c_str(), nullptr);
    for (int year : bench::kSupportYears) {
        const std::string folder = base + "\\acad\\AutoCAD " + std::to_string(year);
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\Fonts").c_str(), nullptr);
        CreateDirectoryA((folder + "\\Drv").c_str(), nullptr);
        context.ReleaseFolders[year - kFirstYear].push_back(folder);
        selected[year - kFirstYear] = 1;
    }

    // The same copies, listed for the floor: the payload by the listing, then
    // the support files.
    BenchFileSystem fs(setup);
    struct CopyPair {
        std::string source, destination;
        unsigned long bytes;
    };
    auto sizeOf = [&](const std::string& name) {
        for (const bench::PayloadFile& file : files) {
            if (file.name == name) return file.bytes;
        }
        return 0ul;
    };
    std::vector<CopyPair> pairs;
    std::vector<DirEntry> entries;
    fs.ListFolder(setup, entries);
    for (const DirEntry& entry : entries) {
        if ((entry.attributes & kAttrDirectory) || sizeOf(entry.name) == 0) continue;
        std::string destination;
        if (cp936::EqualsNoCase(entry.name, kConfigFile) || cp936::EqualsNoCase(entry.name, kTitleBlockFile)) {
            destination = UserConfigFolder(fs) + "\\" + entry.name;
        } else if (!PayloadInstallName(entry.name).empty()) {
            destination = install + "\\" + PayloadInstallName(entry.name);
        } else {
            continue;
        }
        pairs.push_back({setup + "\\" + entry.name, destination, sizeOf(entry.name)});
    }
    for (int index = 0; index < kReleaseCount; ++index) {
        for (const std::string& folder : context.ReleaseFolders[index]) {
            for (const char* font : {kFontEn, kFontHz})
                pairs.push_back({setup + "\\" + font, folder + "\\Fonts\\" + font, sizeOf(font)});
            if (ReleaseTable::At(index).withPlotDriver) {
                pairs.push_back({setup + "\\" + kPlotDriverSource, folder + "\\Drv\\" + kPlotDriverName,
                                 sizeOf(kPlotDriverSource)});
            }
        }
    }
    CreateDirectoryA(UserConfigFolder(fs).c_str(), nullptr);

    auto removeCopies = [&] {
        for (const CopyPair& pair : pairs) DeleteFileA(pair.destination.c_str());
    };
    auto allCopied = [&] {
        for (const CopyPair& pair : pairs) {
            if (!FileHasSize(pair.destination, pair.bytes)) return false;
        }
        return true;
    };
    Samples samples;
    bool oursDone = false;
    bool floorDone = false;
    const PayloadJob job(install, nullptr);
    const bool ok = Alternate(
        reps, removeCopies,
        Timed(
            [&] {
                CountingPrompt prompt;
                oursDone = CopyPayload(job, fs, prompt) && prompt.failures == 0;
                CopySupportFiles(context, selected, fs);
            },
            [&] { return oursDone && allCopied(); }),
        Timed(
            [&] {
                floorDone = true;
                for (const CopyPair& pair : pairs) {
                    floorDone = CopyFileA(pair.source.c_str(), pair.destination.c_str(), FALSE) && floorDone;
                }
            },
            [&] { return floorDone && allCopied(); }),
        samples);
    if (!ok) return Fail("a copy run did not leave every file in place");
    double copied = 0;
    for (const CopyPair& pair : pairs) copied += pair.bytes;
    char details[160];
    std::snprintf(details, sizeof details, "files=%zu setup_mb=%.1f copies=%zu copied_mb=%.1f", files.size(),
                  total / 1e6, pairs.size(), copied / 1e6);
    PrintResult("copy", samples, details);
    return 0;
}

// --- Start-up ----------------------------------------------------------------

BOOL CALLBACK NoteVisibleWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// Whether the thread has a visible top-level window. Asks Wine's server only
// about that thread's windows: a poll over every window of the desktop
// would keep the server, which the starting program needs, busy.
bool ShowsWindow(DWORD threadId) {
    bool found = false;
    EnumThreadWindows(threadId, NoteVisibleWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// From just before CreateProcess to the first visible top-level window of
// the new process's main thread (the programs measured have only that
// one). WaitForInputIdle ends when the program first waits for input, as
// its first dialog's message loop does; a light poll then sees the window.
// The program is ended at once afterwards: a closed window makes Wine
// without a window manager wait two seconds for it to be withdrawn.
bool TimeToFirstWindow(const std::string& program, double& elapsed) {
    const std::string folder = program.substr(0, program.find_last_of('\\'));
    std::string line = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    double start = 0;
    // Wine now and then fails a start with an internal error while another
    // process winds down; the figure is then taken on the next try.
    for (int attempt = 0;; ++attempt) {
        start = Now();
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                           &info))
            break;
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 4) {
            std::fprintf(stderr, "bench_timing: cannot start %s, error %lu\n", program.c_str(), GetLastError());
            return false;
        }
        Sleep(200);
    }
    OwnedHandle process(info.hProcess);
    OwnedHandle thread(info.hThread);
    WaitForInputIdle(process.Get(), kWaitMs);
    bool shown = false;
    while (!(shown = ShowsWindow(info.dwThreadId)) && Now() - start < kWaitMs &&
           WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
        Sleep(1);
    }
    elapsed = Now() - start;
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), kWaitMs);
    if (!shown) std::fprintf(stderr, "bench_timing: %s showed no window\n", program.c_str());
    return shown;
}

int Startup(int reps, const std::string& setupProgram, const std::string& emptyProgram) {
    auto firstWindow = [](const std::string& program) -> Contender {
        return [program] {
            double elapsed = 0;
            return TimeToFirstWindow(program, elapsed) ? elapsed : -1.0;
        };
    };
    // The prefix's own services start with the first process: let them settle.
    Sleep(2000);
    Samples samples;
    // A pause between runs lets the previous program's end settle in Wine.
    const bool ok = Alternate(reps, [] { Sleep(300); }, firstWindow(setupProgram), firstWindow(emptyProgram), samples);
    if (!ok) return Fail("a program did not show its first window");
    PrintResult("startup", samples, "");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const int number = argc > 2 ? std::atoi(argv[2]) : 0;
    if (command == "seed" && number > 0) return Seed(number);
    if (command == "detect" && number > 0) return Detect(number);
    if (command == "trusted" && number > 0) return Trusted(number);
    if (command == "copy" && number > 0) return Copy(number);
    if (command == "startup" && number > 0 && argc == 5) return Startup(number, argv[3], argv[4]);
    std::fprintf(stderr,
                 "usage: bench_timing seed SCALE | detect REPS | trusted REPS | copy REPS |\n"
                 "       startup REPS SETUP.EXE EMPTY.EXE\n");
    return 2;
}
