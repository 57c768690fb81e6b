// Seeding Wine's registry for the Windows tests. A test that reads or writes
// the real registry starts from SeedFixture (or WipeTestKeys alone), so that
// no key of an earlier test is left:
//
//   MemoryRegistry memory;
//   ASSERT_TRUE(testing::SeedFixture("detect_basic.reg", memory));
//   ... run the engine on Win32Registry, compare with a run on `memory` ...
//
// The same .reg file (REGEDIT4, code page 936) goes into Wine's registry
// through "regedit.exe /S" and into the in-memory registry through
// LoadRegFile, so both backends start from the same keys and values.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "memory_registry.h"

namespace tavrin {
namespace testing {

// A key below HKEY_CURRENT_USER that tests may use freely; WipeTestKeys
// removes it.
constexpr const char* kScratchKey = "SOFTWARE\\TavrinTest";

// Removes, with everything below them, the keys the tests write:
// HKLM\SOFTWARE\Autodesk, HKLM\SOFTWARE\Wow6432Node\Autodesk,
// HKCU\SOFTWARE\Autodesk and HKCU\SOFTWARE\TavrinTest. Fails when one of
// them is still there afterwards.
::testing::AssertionResult WipeTestKeys();

// "fixtures\<name>": the converted fixture in the build folder, which is the
// tests' working folder.
std::string FixturePath(const std::string& name);

// Runs "regedit.exe /S <file>" on the file (a path relative to the working
// folder is made absolute) and waits for it to end. Fails when regedit cannot
// be started or ends with a non-zero exit code; regedit does not report
// malformed lines, so load the file with LoadRegFile too to catch those.
::testing::AssertionResult ImportRegFile(const std::string& path);

// WipeTestKeys, then the fixture into `memory` (LoadRegFile) and into Wine's
// registry (ImportRegFile). `memory` should be fresh.
::testing::AssertionResult SeedFixture(const std::string& name, MemoryRegistry& memory);

}  // namespace testing
}  // namespace tavrin
