// The install steps on the Win32 backends under Wine: real files in a scratch
// folder below the temp folder, and Wine's own registry. What the in-memory
// backends can only imitate is checked here for real: CopyFileA failing on a
// file held open without sharing, read-only files, the REG_SZ data length,
// and RegDeleteKeyA refusing a key that has subkeys.
#include <windows.h>
// <windows.h> makes CopyFile a macro for CopyFileA; the interface has a
// member of that name.
#undef CopyFile

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../native/install_fakes.h"
#include "demand_load.h"
#include "memory_registry.h"
#include "payload_copy.h"
#include "scratch_files.h"
#include "support_files.h"
#include "trusted_paths.h"
#include "win32_file_system.h"
#include "win32_registry.h"
#include "wine_registry.h"

namespace tavrin {
namespace {

using fakes::CopyFailedText;
using fakes::CountingProgress;
using fakes::ScriptedPrompt;

using testing::OpenFile;
using testing::RemoveTree;
using OwnedHandle = testing::FileHandle;

void WriteContent(const std::string& path, const std::string& content, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        OwnedHandle file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
        ASSERT_TRUE(file) << path << " error " << GetLastError();
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    }
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
}

// The file's content, or "<missing>".
std::string ReadContent(const std::string& path) {
    OwnedHandle file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file) return "<missing>";
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    return content;
}

bool IsReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// The real file system, except that the running program seems to live in
// the scratch setup folder: the payload copy lists the folder of the program.
class ScratchFileSystem : public FileSystem {
public:
    explicit ScratchFileSystem(std::string programPath) : program_(std::move(programPath)) {}
    std::string ProgramPath() override { return program_; }
    FsStatus CreateFolder(const std::string& path) override { return real_.CreateFolder(path); }
    bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) override {
        return real_.ListFolder(folder, entries);
    }
    FsStatus CopyFile(const std::string& source, const std::string& destination) override {
        return real_.CopyFile(source, destination);
    }
    bool GetAttributes(const std::string& path, std::uint32_t& attributes) override {
        return real_.GetAttributes(path, attributes);
    }
    FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) override {
        return real_.SetAttributes(path, attributes);
    }
    bool GetEnvironment(const std::string& name, std::string& value) override {
        return real_.GetEnvironment(name, value);
    }
    std::string CurrentFolder() override { return real_.CurrentFolder(); }

private:
    Win32FileSystem real_;
    std::string program_;
};

// A scratch machine: <temp>\tavrin-steps-N with a setup folder holding the
// setup program, an install folder, and APPDATA pointing into it.
class EngineStepsFiles : public ::testing::Test {
protected:
    EngineStepsFiles() {
        static int serial = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        root = std::string(temp) + "tavrin-steps-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++serial);
        setup = root + "\\安装盘";
        target = root + "\\Tavrin\\Tavrin批打印软件";
        appData = root + "\\AppData";
        config = appData + "\\Tavrin";
        for (const std::string& folder : {root, setup, root + "\\Tavrin", target, appData}) {
            EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder << " error " << GetLastError();
        }
        WriteContent(setup + "\\SetUp.exe", "program");
        char old[MAX_PATH] = {};
        hadAppData = GetEnvironmentVariableA("APPDATA", old, MAX_PATH) > 0;
        oldAppData = old;
        SetEnvironmentVariableA("APPDATA", appData.c_str());
        fs = std::make_unique<ScratchFileSystem>(setup + "\\SetUp.exe");
    }
    ~EngineStepsFiles() override {
        SetEnvironmentVariableA("APPDATA", hadAppData ? oldAppData.c_str() : nullptr);
        RemoveTree(root);
    }

    bool Run() { return CopyPayload(PayloadJob(target, &progress), *fs, prompt); }

    std::string root, setup, target, appData, config;
    bool hadAppData = false;
    std::string oldAppData;
    std::unique_ptr<ScratchFileSystem> fs;
    CountingProgress progress;
    ScriptedPrompt prompt;
};

TEST_F(EngineStepsFiles, PayloadLandsOnRealFilesByThePayloadTable) {
    // The setup program in another letter case is still left out.
    ASSERT_TRUE(DeleteFileA((setup + "\\SetUp.exe").c_str()));
    WriteContent(setup + "\\setup.EXE", "program");
    for (const char* name : {"Tavrin_EN.shx", "Tavrin_HZ.shx", "Tavrin.prt5", "Tavrin.prt6", "tavrin.PRT7",
                             "BPlot_Cfg.cfg", "bplot_tk.TK", "TV_BatchPlot2019.ARX", "说明.txt"}) {
        WriteContent(setup + "\\" + name, name);
    }
    ASSERT_TRUE(CreateDirectoryA((setup + "\\Sub").c_str(), nullptr));
    WriteContent(setup + "\\Sub\\inner.dll", "inner");

    ASSERT_TRUE(Run());

    EXPECT_EQ(ReadContent(target + "\\ICSharpCode.SharpZipLib.dll"), "Tavrin.prt6");
    EXPECT_EQ(ReadContent(target + "\\itextsharp.dll"), "tavrin.PRT7");
    EXPECT_EQ(ReadContent(target + "\\TV_BatchPlot2019.ARX"), "TV_BatchPlot2019.ARX");
    EXPECT_EQ(ReadContent(target + "\\说明.txt"), "说明.txt");
    EXPECT_EQ(ReadContent(config + "\\BPlot_Cfg.cfg"), "BPlot_Cfg.cfg");
    EXPECT_EQ(ReadContent(config + "\\bplot_tk.TK"), "bplot_tk.TK");
    for (const char* absent : {"\\setup.EXE", "\\SetUp.exe", "\\Tavrin_EN.shx", "\\Tavrin_HZ.shx", "\\Tavrin.prt5",
                               "\\Tavrin.prt6", "\\Sub", "\\inner.dll", "\\BPlot_Cfg.cfg"}) {
        EXPECT_EQ(GetFileAttributesA((target + absent).c_str()), INVALID_FILE_ATTRIBUTES) << absent;
    }
    // ".", "..", setup.EXE, nine files, Sub, and the end of the listing.
    EXPECT_EQ(progress.steps, 2 + 1 + 9 + 1 + 1);
    EXPECT_TRUE(prompt.questions.empty());
}

TEST_F(EngineStepsFiles, FileHeldOpenWithoutSharingFailsUntilItIsClosed) {
    WriteContent(setup + "\\a.dll", "new a");
    WriteContent(setup + "\\b.dll", "new b");
    const std::string held = target + "\\a.dll";
    WriteContent(held, "old a");
    OwnedHandle lock = OpenFile(held, GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_TRUE(lock) << GetLastError();
    prompt.Then(CopyFailureAnswer::Retry).Then(CopyFailureAnswer::Retry, [&] { lock.reset(); });

    ASSERT_TRUE(Run());

    ASSERT_EQ(prompt.questions.size(), 2u);
    EXPECT_EQ(prompt.questions[0].text, CopyFailedText(held));
    EXPECT_EQ(prompt.questions[0].caption, fakes::InstallCaptionText());
    EXPECT_EQ(ReadContent(held), "new a");
    EXPECT_EQ(ReadContent(target + "\\b.dll"), "new b");
}

TEST_F(EngineStepsFiles, IgnoreKeepsTheHeldFileAndAbortStopsTheScan) {
    for (const char* name : {"a.dll", "b.dll", "c.dll"}) WriteContent(setup + "\\" + name, std::string("new ") + name);
    WriteContent(target + "\\a.dll", "old a");
    WriteContent(target + "\\b.dll", "old b");
    OwnedHandle lockA = OpenFile(target + "\\a.dll", GENERIC_READ, 0, OPEN_EXISTING);
    OwnedHandle lockB = OpenFile(target + "\\b.dll", GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_TRUE(lockA && lockB);
    prompt.Then(CopyFailureAnswer::Ignore).Then(CopyFailureAnswer::Abort);

    EXPECT_FALSE(Run());

    lockA.reset();
    lockB.reset();
    EXPECT_EQ(prompt.questions.size(), 2u);
    EXPECT_EQ(ReadContent(target + "\\a.dll"), "old a");
    EXPECT_EQ(ReadContent(target + "\\b.dll"), "old b");
    EXPECT_EQ(ReadContent(target + "\\c.dll"), "<missing>");
}

TEST_F(EngineStepsFiles, ReadOnlyFilesAreReplacedAndLeftWritable) {
    WriteContent(setup + "\\a.dll", "new a", FILE_ATTRIBUTE_READONLY);
    WriteContent(setup + "\\BPlot_Cfg.cfg", "new cfg");
    WriteContent(target + "\\a.dll", "old a", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(CreateDirectoryA(config.c_str(), nullptr));
    WriteContent(config + "\\BPlot_Cfg.cfg", "old cfg", FILE_ATTRIBUTE_READONLY);
    // Wine run as an ordinary user keeps Windows' rule: no copy over a read-only file.
    ASSERT_FALSE(CopyFileA((setup + "\\SetUp.exe").c_str(), (target + "\\a.dll").c_str(), FALSE));

    ASSERT_TRUE(Run());

    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(ReadContent(target + "\\a.dll"), "new a");
    EXPECT_EQ(ReadContent(config + "\\BPlot_Cfg.cfg"), "new cfg");
    for (const std::string& path : {setup + "\\a.dll", target + "\\a.dll", config + "\\BPlot_Cfg.cfg"}) {
        EXPECT_FALSE(IsReadOnly(path)) << path;
    }
}

TEST_F(EngineStepsFiles, UnlistableSetupFolderIsReported) {
    ScratchFileSystem elsewhere(root + "\\NoSuchFolder\\SetUp.exe");
    EXPECT_FALSE(CopyPayload(PayloadJob(target, &progress), elsewhere, prompt));
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].text.find(root + "\\NoSuchFolder"), std::string::npos);
    EXPECT_EQ(prompt.errors[0].caption, fakes::InstallCaptionText());
}

TEST_F(EngineStepsFiles, SupportFilesReplaceReadOnlyOldFilesAndSkipMissingFolders) {
    WriteContent(setup + "\\Tavrin_EN.shx", "new EN");
    WriteContent(setup + "\\Tavrin_HZ.shx", "new HZ");
    WriteContent(setup + "\\Tavrin.prt5", "new driver");
    const std::string acad2008 = root + "\\AutoCAD 2008";
    const std::string bare = root + "\\AutoCAD 2008 bare";
    for (const std::string& folder : {acad2008, acad2008 + "\\Fonts", acad2008 + "\\Drv", bare}) {
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
    WriteContent(acad2008 + "\\Fonts\\Tavrin_EN.shx", "old EN", FILE_ATTRIBUTE_READONLY);
    WriteContent(acad2008 + "\\Fonts\\Tavrin_HZ.shx", "old HZ", FILE_ATTRIBUTE_READONLY);
    WriteContent(acad2008 + "\\Drv\\pdfplot9.hdi", "old driver", FILE_ATTRIBUTE_READONLY);
    InstallContext context;
    context.ReleaseFolders[0] = {bare, acad2008};
    int selected[kReleaseCount] = {1};

    CopySupportFiles(context, selected, *fs);

    EXPECT_EQ(ReadContent(acad2008 + "\\Fonts\\Tavrin_EN.shx"), "new EN");
    EXPECT_EQ(ReadContent(acad2008 + "\\Fonts\\Tavrin_HZ.shx"), "new HZ");
    EXPECT_EQ(ReadContent(acad2008 + "\\Drv\\pdfplot9.hdi"), "new driver");
    EXPECT_FALSE(IsReadOnly(acad2008 + "\\Fonts\\Tavrin_EN.shx"));
    EXPECT_FALSE(IsReadOnly(acad2008 + "\\Drv\\pdfplot9.hdi"));
    EXPECT_EQ(GetFileAttributesA((bare + "\\Fonts").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((bare + "\\Drv").c_str()), INVALID_FILE_ATTRIBUTES);
}

// --- The registry steps on Wine's registry ------------------------------------

const std::string kFolder = "C:\\Tavrin\\Tavrin批打印软件";

struct RawValue {
    bool found = false;
    DWORD type = REG_NONE;
    std::string data;  // exactly the bytes RegQueryValueExA gives, their count included
};

// Reads a value straight through ADVAPI32, not through the backend under test.
RawValue ReadRaw(HKEY root, const std::string& path, const std::string& name) {
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.assign(size, '\0');
        if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type,
                             reinterpret_cast<BYTE*>(&value.data[0]), &size) == ERROR_SUCCESS) {
            value.found = true;
            value.data.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

// Each step runs on Wine's registry and, from the same fixture, on the
// in-memory registry; both must end with the same values.
class EngineStepsRegistry : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(testing::WipeTestKeys()); }

    struct Probe {
        HKEY root;
        std::string path, name;
        bool found;
        DWORD type;
        std::string data;
    };
    void Check(MemoryRegistry& memory, const std::vector<Probe>& probes) {
        for (const Probe& p : probes) {
            SCOPED_TRACE(p.path + " : " + p.name);
            const RawValue real = ReadRaw(p.root, p.path, p.name);
            ASSERT_EQ(real.found, p.found);
            const auto imitated =
                memory.GetValue(p.root == HKEY_CURRENT_USER ? RegRoot::CurrentUser : RegRoot::LocalMachine, p.path, p.name);
            ASSERT_EQ(imitated.has_value(), p.found);
            if (!p.found) continue;
            EXPECT_EQ(real.type, p.type);
            EXPECT_EQ(real.data.size(), p.data.size());  // REG_SZ: the characters and one zero byte
            EXPECT_TRUE(real.data == p.data) << real.data.substr(0, 200);
            EXPECT_EQ(imitated->type, p.type);
            EXPECT_TRUE(imitated->data == p.data) << imitated->data.substr(0, 200);
        }
    }

    Win32Registry wine;
};

TEST_F(EngineStepsRegistry, DemandLoadEntriesReplaceOldOnesAndOverwriteAnUndeletableOne) {
    MemoryRegistry memory;
    ASSERT_TRUE(testing::SeedFixture("steps_demand_load.reg", memory));
    const std::string product2008 = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\";
    const std::string product2009 = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:804\\";
    const std::string entry2008 = product2008 + "Applications\\TV_BatchPlot2008";
    const std::string entry2009 = product2009 + "Applications\\TV_BatchPlot2009";
    // Windows and Wine refuse to delete a key that has subkeys.
    ASSERT_NE(RegDeleteKeyA(HKEY_LOCAL_MACHINE, entry2009.c_str()), ERROR_SUCCESS);
    ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, entry2009));
    InstallContext context;
    context.InstallFolder = kFolder;
    context.ReleaseKeys[0] = {product2008};
    context.ReleaseKeys[1] = {product2009};

    for (int year : {2008, 2009}) {
        RegisterDemandLoad(context, year, wine);
        RegisterDemandLoad(context, year, memory);
    }

    const std::string two("\x02\0\0\0", 4);
    Check(memory, {
                      {HKEY_LOCAL_MACHINE, entry2008, "LOADER", true, REG_SZ, Sz(kFolder + "\\TV_BatchPlot2008.ARX")},
                      {HKEY_LOCAL_MACHINE, entry2008, "LOADCTRLS", true, REG_DWORD, two},
                      {HKEY_LOCAL_MACHINE, entry2008, "DESCRIPTION", false, REG_NONE, ""},
                      {HKEY_LOCAL_MACHINE, entry2008, "Extra", false, REG_NONE, ""},
                      {HKEY_LOCAL_MACHINE, entry2009, "LOADER", true, REG_SZ, Sz(kFolder + "\\TV_BatchPlot2008.ARX")},
                      {HKEY_LOCAL_MACHINE, entry2009, "LOADCTRLS", true, REG_DWORD, two},
                      {HKEY_LOCAL_MACHINE, entry2009, "Extra", true, REG_SZ, Sz("kept")},
                      {HKEY_LOCAL_MACHINE, entry2009 + "\\Commands", "TVPLOT", true, REG_SZ, Sz("TVPLOT")},
                  });
}

TEST_F(EngineStepsRegistry, TrustedPathsAreMergedWholeIntoEveryProfile) {
    MemoryRegistry memory;
    ASSERT_TRUE(testing::SeedFixture("steps_trusted_paths.reg", memory));
    const std::string acad = "SOFTWARE\\Autodesk\\AutoCAD\\";
    const std::string unnamed = acad + "R24.0\\ACAD-4101:804\\Profiles\\<<未命名配置>>\\Variables";
    const std::string second = acad + "R24.0\\ACAD-4101:804\\Profiles\\Second\\Variables";
    const std::string longOne = acad + "R24.0\\ACAD-4101:804\\Profiles\\Long\\Variables";
    const std::string p = acad + "R23.1\\ACAD-3001:409\\Profiles\\P\\Variables";
    const std::string q = acad + "R23.1\\ACAD-3001:409\\Profiles\\Q\\Variables";
    // A value far beyond any fixed buffer, set through ADVAPI32 itself.
    std::string longValue;
    while (longValue.size() < 100000) longValue += "E:\\图纸\\Folder" + std::to_string(longValue.size()) + ";";
    longValue.pop_back();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, longOne.c_str(), &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "TRUSTEDPATHS", 0, REG_SZ, reinterpret_cast<const BYTE*>(longValue.c_str()),
                             static_cast<DWORD>(longValue.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_TRUE(memory.SetValue(RegRoot::CurrentUser, longOne, "TRUSTEDPATHS", kRegSz, Sz(longValue)));
    InstallContext context;
    context.InstallFolder = kFolder;

    AddTrustedPath(context, wine);
    AddTrustedPath(context, memory);

    Check(memory, {
                      {HKEY_CURRENT_USER, unnamed, "TRUSTEDPATHS", true, REG_SZ, Sz("d:\\lisp;" + kFolder)},
                      {HKEY_CURRENT_USER, unnamed, "OTHER", true, REG_SZ, Sz("x")},
                      {HKEY_CURRENT_USER, second, "TRUSTEDPATHS", true, REG_SZ, Sz(kFolder)},
                      {HKEY_CURRENT_USER, p, "TRUSTEDPATHS", true, REG_SZ, Sz(kFolder)},
                      {HKEY_CURRENT_USER, q, "TRUSTEDPATHS", true, REG_SZ, Sz("E:\\A;c:\\tavrin\\TAVRIN批打印软件\\...")},
                      {HKEY_CURRENT_USER, longOne, "TRUSTEDPATHS", true, REG_SZ, Sz(longValue + ";" + kFolder)},
                  });
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, acad + "R23.1\\ACAD-3001:804\\Profiles"));
    EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace tavrin
