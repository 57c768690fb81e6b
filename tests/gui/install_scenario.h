// The machine of the GUI install runs and what a run must leave on it: the
// setup folder's payload, the AutoCAD products of gui_install_machine.reg
// with their program folders (laid out here, with and without Fonts and Drv),
// the user's profiles, and the files and registry entries a completed run
// writes. Texts are code page 936.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "install_machine.h"

namespace tavrin::gui {

// The fixture every install run starts from.
constexpr const char* kInstallFixture = "gui_install_machine";

// The files laid out beside SetUp.exe: the payload with the names the
// payload copy knows, plug-in modules, a file of another name and a
// sub-folder (which the flat copy skips).
const std::vector<FileSpec>& StandardPayload();
// The content of payload file `name`.
std::string PayloadContent(const std::string& name);

// One AutoCAD product of the fixture.
struct AcadProduct {
    int year;
    const char* key;     // below HKEY_LOCAL_MACHINE, as detection records it
    const char* folder;  // its "AcadLocation"
    bool fonts;          // the program folder has a Fonts folder
    bool drv;            // ... and a Drv folder
};
const std::vector<AcadProduct>& MachineProducts();
// The years the fixture offers on the component page.
std::set<int> MachineYears();

// Lays out the program folders of the fixture's products, each with a file
// of AutoCAD's own and, as the product says, Fonts (with an old
// Tavrin_EN.shx in 2018) and Drv (with AutoCAD's pdfplot9.hdi). Removes them,
// the user configuration folder and `scratch` folders on construction and at
// scope end, so no run sees what an earlier one wrote.
class InstallMachine {
public:
    explicit InstallMachine(std::vector<std::string> scratch = {});
    ~InstallMachine();
    InstallMachine(const InstallMachine&) = delete;
    InstallMachine& operator=(const InstallMachine&) = delete;

    // Seeds the registry from the fixture and lays out the folders.
    ::testing::AssertionResult Prepare();

private:
    ScratchFolders folders_;
};

// What a completed run leaves: the install folder's files, the user
// configuration folder's, and each AutoCAD program folder's (with what it
// held before) when the product's release was chosen or not.
FileTree ExpectedInstallFolder();
FileTree ExpectedConfigFolder();
FileTree AcadFolderBefore(const AcadProduct& product);
FileTree ExpectedAcadFolder(const AcadProduct& product, bool chosen);

// `before` with the entries a completed run into `installFolder` writes: the
// demand-load entry of every product of a chosen release (the module of the
// release's module year) and the folder in every profile's trusted paths.
RegistryState ExpectedRegistry(const RegistryState& before, const std::string& installFolder,
                               const std::set<int>& chosenYears);

// Checks everything a completed run into `installFolder` with `chosenYears`
// must have written, and nothing else: the install folder, the user
// configuration folder, every AutoCAD program folder and the registry
// (against `before`, read before the run).
void ExpectCompletedInstall(const std::string& installFolder, const std::set<int>& chosenYears,
                            const RegistryState& before);

}  // namespace tavrin::gui
