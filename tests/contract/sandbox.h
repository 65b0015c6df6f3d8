// Registry areas of their own for the contract tests, reached through the port only, so that
// the same tests run against the in-memory platform and against Windows (or Wine).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace orvano::contract {

using platform::RegKey;

// `view` is added to every access: 0 opens keys as the calling process sees them, as the
// raw calls of a case do; platform::kKeyWow64_64Key opens each key as spelled, as the registry
// layer does, so that a 32-bit process under WOW64 sees a native path and not its twin.
// True when the key opens for querying.
bool KeyExists(RegKey root, const std::string& path, std::uint32_t view = 0);
// Removes the key with everything below it; true when it is gone (also if it never was).
bool DeleteTree(RegKey root, const std::string& path, std::uint32_t view = 0);

// Remembers which part of a key path is missing when it is made, and removes exactly that
// part (with whatever came to live below it) when it ends: existing keys are never touched.
class CreatedPath {
  public:
    CreatedPath(RegKey root, const std::string& path, std::uint32_t view = 0);
    ~CreatedPath();
    CreatedPath(const CreatedPath&) = delete;
    CreatedPath& operator=(const CreatedPath&) = delete;

  private:
    RegKey root_;
    std::uint32_t view_;
    std::string missing_;  // the shortest missing prefix of the path; empty if all exist
};

// One suite's keys: HKCU\Software\OrvanoContract\<suite>, HKLM\SOFTWARE\OrvanoContract\<suite>
// and its twin HKLM\SOFTWARE\Wow6432Node\OrvanoContract\<suite>. Leftovers of an interrupted
// run are removed when it starts; everything it created goes when it ends.
class Sandbox {
  public:
    explicit Sandbox(const std::string& suite);
    ~Sandbox();

    // The suite's key under HKCU or HKLM (native path).
    std::string Path(RegKey root) const;
    // The suite's key under HKLM\SOFTWARE\Wow6432Node.
    std::string TwinPath() const;

  private:
    std::string suite_;
    std::vector<std::unique_ptr<CreatedPath>> created_;
};

// Fixture of a contract suite: a Sandbox for the suite, and per test a key path of its own
// (not yet created) named after the test.
class SandboxTest : public ::testing::Test {
  public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

  protected:
    // <suite key>\<test name> under HKCU or HKLM.
    std::string Path(RegKey root) const;
    // <suite twin key>\<test name> under HKLM\SOFTWARE\Wow6432Node.
    std::string TwinPath() const;

  private:
    static std::unique_ptr<Sandbox> sandbox_;
};

// Stores exactly `bytes` as the value's data. The byte after them is not NUL: for string
// types RegSetValueExA looks at it and counts a NUL found there as part of the data.
long SetRaw(RegKey key, const char* name, std::uint32_t type, const std::string& bytes);

}  // namespace orvano::contract
