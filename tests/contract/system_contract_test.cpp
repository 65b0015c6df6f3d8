// The process-wide objects the program relies on: one named mutex keeps a second start out.
#include <gtest/gtest.h>

#include <string>

#include "app/startup.h"
#include "platform/system.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;

// Both the program's own name (in the session's "Local\" namespace) and a plain one: taken
// once, refused while held, to be had again once released. Names are case-sensitive.
TEST(SystemContract, ANamedMutexIsHeldUntilReleased) {
    for (const std::string& name : {std::string(app::kInstanceMutexName) + ".Contract",
                                    std::string("OrvanoContract.Mutex")}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(pf::TakeNamedMutex(name));
        EXPECT_FALSE(pf::TakeNamedMutex(name)) << "a second taker is refused";
        EXPECT_TRUE(pf::TakeNamedMutex(name + "2")) << "another name is another mutex";
        pf::ReleaseNamedMutex(name + "2");
        std::string other = name;
        for (char& c : other) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        EXPECT_TRUE(pf::TakeNamedMutex(other)) << "letter case counts";
        pf::ReleaseNamedMutex(other);
        pf::ReleaseNamedMutex(name);
        EXPECT_TRUE(pf::TakeNamedMutex(name)) << "released, it can be taken again";
        pf::ReleaseNamedMutex(name);
    }
}

}  // namespace
}  // namespace orvano::contract
