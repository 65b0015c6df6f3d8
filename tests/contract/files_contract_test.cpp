// Files as the program finds, lists, reads, writes and deletes them. Runs against the
// in-memory platform on the host and against kernel32 under Wine: both must agree. Files
// live beside the test program and are removed before and after each test.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "held_file.h"
#include "platform/file_users.h"
#include "platform/files.h"
#include "platform/system.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;
using namespace std::string_literals;

std::string ProgramFolder() {
    std::string module = pf::ModuleFileName();
    return module.substr(0, module.rfind('\\') + 1);
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class FilesContract : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = ProgramFolder();
        ASSERT_FALSE(folder_.empty());
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        prefix_ = "Orvano_" + std::string(test->name()) + "_";
    }
    void TearDown() override {
        for (const std::string& path : made_) pf::RemoveFile(path);
    }
    // A file of ours beside the test program, with these bytes.
    std::string Make(const std::string& name, const std::string& bytes = "x") {
        std::string path = folder_ + prefix_ + name;
        made_.push_back(path);
        EXPECT_TRUE(pf::WriteWholeFile(path, bytes)) << path;
        return path;
    }

    std::string folder_;
    std::string prefix_;
    std::vector<std::string> made_;
};

TEST_F(FilesContract, TheModuleFileNameIsTheRunningProgram) {
    std::string module = pf::ModuleFileName();
    ASSERT_GT(module.size(), 4u);
    EXPECT_EQ(".exe", Lower(module.substr(module.size() - 4)));
    EXPECT_EQ(':', module[1]);
    EXPECT_TRUE(pf::FileExists(module));
    pf::FileEntry entry;
    ASSERT_TRUE(pf::FindFirstEntry(module, entry));
    EXPECT_EQ(Lower(module.substr(module.rfind('\\') + 1)), Lower(entry.name));
}

TEST_F(FilesContract, ExistenceIsAListingOfExactlyThePath) {
    const std::string path = Make("Settings.ini");
    const std::string folder = folder_.substr(0, folder_.size() - 1);
    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {path, true},
        {folder_ + Lower(prefix_) + "SETTINGS.INI", true},  // names compare without case
        {folder, true},                                     // a folder is an entry too
        {folder_, false},                                   // a trailing "\" finds nothing
        {path + "\\", false},
        {path + ".", true},  // Windows drops trailing dots and blanks of a name
        {folder_ + prefix_ + "Settings.in", false},
        {folder_ + prefix_ + "Settings.ini.bak", false},
        {folder_ + "orvano_no_such_folder\\" + prefix_ + "Settings.ini", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.exists, pf::FileExists(c.path));
    }
}

TEST_F(FilesContract, WildcardsNeverMakeAPathExist) {
    const std::string path = Make("Wild.ini");
    const std::string patterns[] = {
        folder_ + prefix_ + "*.ini",    folder_ + prefix_ + "Wil?.ini", folder_ + prefix_ + "*",
        folder_ + prefix_ + "Wild>ini", folder_ + prefix_ + "Wild.in>",
    };
    for (const std::string& pattern : patterns) {
        SCOPED_TRACE(pattern);
        pf::FileEntry entry;
        // The listing itself matches the file ...
        ASSERT_TRUE(pf::FindFirstEntry(pattern, entry));
        EXPECT_EQ(prefix_ + "Wild.ini", entry.name);
        // ... but a path with a wildcard is no file of that name.
        EXPECT_FALSE(pf::FileExists(pattern));
    }
    EXPECT_FALSE(pf::FileExists(folder_ + prefix_ + "Wild<"));
    EXPECT_FALSE(pf::FileExists(folder_ + prefix_ + "Wild\"ini"));
    EXPECT_TRUE(pf::FileExists(path));
}

TEST_F(FilesContract, ListingsGiveNamesAsStoredWithTheirAttributes) {
    Make("Mixed.TXT");
    Make("b.txt");
    Make("c.dat");
    pf::FileEntry entry;
    ASSERT_TRUE(pf::FindFirstEntry(folder_ + Lower(prefix_) + "mixed.txt", entry));
    EXPECT_EQ(prefix_ + "Mixed.TXT", entry.name);
    EXPECT_EQ(pf::kFileAttributeArchive, entry.attributes & ~0x80u /*NORMAL*/);
    ASSERT_TRUE(pf::FindFirstEntry(folder_.substr(0, folder_.size() - 1), entry));
    EXPECT_NE(0u, entry.attributes & pf::kFileAttributeDirectory);

    std::vector<pf::FileEntry> entries;
    ASSERT_TRUE(pf::ListEntries(folder_ + prefix_ + "*.txt", entries));
    std::vector<std::string> names;
    for (const pf::FileEntry& e : entries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{prefix_ + "Mixed.TXT", prefix_ + "b.txt"}), names);
    EXPECT_FALSE(pf::ListEntries(folder_ + prefix_ + "*.none", entries));
    EXPECT_TRUE(entries.empty());

    // A folder's own listing starts with "." and "..".
    ASSERT_TRUE(pf::ListEntries(folder_ + "*", entries));
    ASSERT_GE(entries.size(), 5u);
    EXPECT_EQ(".", entries[0].name);
    EXPECT_EQ("..", entries[1].name);
    EXPECT_NE(0u, entries[0].attributes & pf::kFileAttributeDirectory);
}

TEST_F(FilesContract, RemoveFileDeletesOneNamedFileOnly) {
    const std::string one = Make("One.tmp");
    const std::string two = Make("Two.tmp");
    EXPECT_FALSE(pf::RemoveFile(folder_ + prefix_ + "*.tmp"));
    EXPECT_FALSE(pf::RemoveFile(folder_ + prefix_ + "On?.tmp"));
    EXPECT_FALSE(pf::RemoveFile(folder_.substr(0, folder_.size() - 1)));
    EXPECT_TRUE(pf::FileExists(one));
    EXPECT_TRUE(pf::FileExists(two));
    EXPECT_TRUE(pf::RemoveFile(one));
    EXPECT_FALSE(pf::FileExists(one));
    EXPECT_FALSE(pf::RemoveFile(one));
    EXPECT_TRUE(pf::FileExists(two));
}

TEST_F(FilesContract, WholeFilesComeBackByteForByte) {
    const std::string bytes = "line\r\nzero\0byte\xff\x80 end"s;
    const std::string path = Make("Bytes.bin", bytes);
    std::string read = "<untouched>";
    ASSERT_TRUE(pf::ReadWholeFile(path, read));
    EXPECT_EQ(bytes, read);
    ASSERT_TRUE(pf::WriteWholeFile(path, "short"));  // replaced, not overwritten in part
    ASSERT_TRUE(pf::ReadWholeFile(path, read));
    EXPECT_EQ("short", read);
    ASSERT_TRUE(pf::WriteWholeFile(path, ""));
    ASSERT_TRUE(pf::ReadWholeFile(path, read));
    EXPECT_EQ("", read);

    read = "<untouched>";
    EXPECT_FALSE(pf::ReadWholeFile(folder_ + prefix_ + "Missing.bin", read));
    EXPECT_EQ("<untouched>", read);
    EXPECT_FALSE(pf::WriteWholeFile(folder_ + "orvano_no_such_folder\\x.bin", "x"));
}

// A file that a program holds open without sharing it for deleting (here the test process
// itself) cannot be deleted, written over or replaced, and the reason is that it is in use;
// it can still be read. A read-only file refuses deleting for want of rights, a missing one
// for neither reason. Once let go, the file can be replaced. (Moving a file over a read-only
// one is refused by Windows but done by Wine, so it is not pinned here.)
TEST_F(FilesContract, AFileThatStaysSaysWhy) {
    using F = pf::FileFailure;
    const std::string held = Make("Held.dll", "alt"), other = Make("Other.dll", "neu");
    F removed = F::kNone, written = F::kNone, replaced = F::kNone, read = F::kOther;
    std::string bytes;
    {
        HeldFile holder(held);
        ASSERT_TRUE(holder.held());
        EXPECT_FALSE(pf::RemoveFile(held, &removed));
        EXPECT_FALSE(pf::WriteWholeFile(held, "neu", &written));
        EXPECT_FALSE(pf::MoveReplacing(other, held, &replaced));
        EXPECT_TRUE(pf::ReadWholeFile(held, bytes, &read));
    }
    EXPECT_EQ((std::vector<F>{removed, written, replaced, read}),
              (std::vector<F>{F::kInUse, F::kInUse, F::kInUse, F::kNone}));
    EXPECT_EQ(bytes, "alt");
    ASSERT_TRUE(pf::SetAttributes(other, pf::kFileAttributeReadOnly));
    EXPECT_FALSE(pf::RemoveFile(other, &removed));
    EXPECT_EQ(removed, F::kAccessDenied);
    ASSERT_TRUE(pf::SetAttributes(other, pf::kFileAttributeArchive));
    EXPECT_FALSE(pf::RemoveFile(folder_ + prefix_ + "Missing.dll", &removed));
    EXPECT_EQ(removed, F::kOther);
    EXPECT_TRUE(pf::MoveReplacing(other, held, &replaced));
    EXPECT_EQ(replaced, F::kNone);
    EXPECT_TRUE(pf::ProgramsUsingFile(held).empty()) << "nobody holds it now";
}

}  // namespace
}  // namespace orvano::contract
