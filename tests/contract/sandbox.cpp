#include "sandbox.h"

namespace orvano::contract {

namespace pf = orvano::platform;

namespace {

const char kUserBase[] = "Software\\OrvanoContract\\";
const char kMachineBase[] = "SOFTWARE\\OrvanoContract\\";
const char kTwinBase[] = "SOFTWARE\\Wow6432Node\\OrvanoContract\\";

std::vector<std::string> SubkeyNames(RegKey root, const std::string& path, std::uint32_t view) {
    std::vector<std::string> names;
    RegKey key = 0;
    if (pf::OpenKeyEx(root, path.c_str(), pf::kKeyEnumerateSubKeys | view, key) !=
        pf::kErrorSuccess)
        return names;
    char name[256];
    for (std::uint32_t index = 0; pf::EnumKey(key, index, name, sizeof name) == pf::kErrorSuccess;
         ++index)
        names.emplace_back(name);
    pf::CloseKey(key);
    return names;
}

std::string CurrentTestName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

}  // namespace

bool KeyExists(RegKey root, const std::string& path, std::uint32_t view) {
    RegKey key = 0;
    if (pf::OpenKeyEx(root, path.c_str(), pf::kKeyQueryValue | view, key) != pf::kErrorSuccess)
        return false;
    pf::CloseKey(key);
    return true;
}

bool DeleteTree(RegKey root, const std::string& path, std::uint32_t view) {
    // Names first: deleting while enumerating would shift the indexes.
    for (const std::string& name : SubkeyNames(root, path, view))
        DeleteTree(root, path + "\\" + name, view);
    if (view == 0)
        pf::DeleteKey(root, path.c_str());
    else
        pf::DeleteKeyEx(root, path.c_str(), view);
    return !KeyExists(root, path, view);
}

CreatedPath::CreatedPath(RegKey root, const std::string& path, std::uint32_t view)
    : root_(root), view_(view) {
    for (std::size_t end = 0; end != std::string::npos;) {
        end = path.find('\\', end + 1);
        std::string prefix = path.substr(0, end);
        if (!KeyExists(root, prefix, view)) {
            missing_ = prefix;
            break;
        }
    }
}

CreatedPath::~CreatedPath() {
    if (!missing_.empty()) DeleteTree(root_, missing_, view_);
}

Sandbox::Sandbox(const std::string& suite) : suite_(suite) {
    const std::pair<RegKey, std::string> keys[] = {
        {pf::kHkeyCurrentUser, Path(pf::kHkeyCurrentUser)},
        {pf::kHkeyLocalMachine, Path(pf::kHkeyLocalMachine)},
        {pf::kHkeyLocalMachine, TwinPath()}};
    for (const auto& [root, path] : keys) {
        DeleteTree(root, path);
        created_.push_back(std::make_unique<CreatedPath>(root, path));
    }
}

Sandbox::~Sandbox() {
    // Also removes the suite's own keys where a parent existed before the suite.
    DeleteTree(pf::kHkeyCurrentUser, Path(pf::kHkeyCurrentUser));
    DeleteTree(pf::kHkeyLocalMachine, Path(pf::kHkeyLocalMachine));
    DeleteTree(pf::kHkeyLocalMachine, TwinPath());
}

std::string Sandbox::Path(RegKey root) const {
    return (root == pf::kHkeyCurrentUser ? kUserBase : kMachineBase) + suite_;
}

std::string Sandbox::TwinPath() const {
    return kTwinBase + suite_;
}

std::unique_ptr<Sandbox> SandboxTest::sandbox_;

void SandboxTest::SetUpTestSuite() {
    sandbox_ =
        std::make_unique<Sandbox>(::testing::UnitTest::GetInstance()->current_test_suite()->name());
}

void SandboxTest::TearDownTestSuite() {
    sandbox_.reset();
}

std::string SandboxTest::Path(RegKey root) const {
    return sandbox_->Path(root) + "\\" + CurrentTestName();
}

std::string SandboxTest::TwinPath() const {
    return sandbox_->TwinPath() + "\\" + CurrentTestName();
}

long SetRaw(RegKey key, const char* name, std::uint32_t type, const std::string& bytes) {
    std::string buffer = bytes + '\xff';
    return pf::SetValueEx(key, name, type, reinterpret_cast<const std::uint8_t*>(buffer.data()),
                          static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace orvano::contract
