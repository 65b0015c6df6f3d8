// Work kept off the window's thread, on the headless toolkit's clock: the in-memory name
// service says how long each job's work took. These are the timings the dialogs' tests go by;
// how the real jobs behave on real threads is tested on real windows under Wine.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "headless_fixture.h"
#include "platform/resolver.h"
#include "ui/headless/script.h"
#include "ui/toolkit.h"

namespace orvano::testing {
namespace {

using namespace orvano::ui;

constexpr char kSlow[] = "slow.example";

// A work that asks the name service for `name` and then answers `result`.
template <class Result>
JobWork<Result> Asking(const std::string& name, Result result) {
    return [name, result] {
        std::uint16_t version = 0;
        platform::WsaStartup(0x0202, version);
        std::vector<platform::Ipv4> addresses;
        platform::GetHostByName(name, addresses);
        platform::WsaCleanup();
        return result;
    };
}

JobWork<std::string> AskSlowName() {
    return Asking(kSlow, std::string("done"));
}

class BackgroundJobTest : public HeadlessTest {
  protected:
    static Dialog Open(const std::string& title) {
        return NewDialog(0, title, 0, 0, 100, 50, 0, 0);
    }
    static DialogCallback Ignore() {
        return [](Dialog, std::uint32_t, WParam, LParam) -> std::intptr_t { return 0; };
    }
};

TEST_F(BackgroundJobTest, AResultComesWhenTheWorkEndsOrNothingAtTheDeadline) {
    struct Case {
        const char* what;
        unsigned delay;  // what the name server takes
        unsigned deadline;
        int closeAt;  // the window closes at this time; -1 never
        bool drop;    // the job is dropped at once
        std::optional<std::uint64_t> calledAt;
        std::optional<std::string> result;
    } cases[] = {
        {"answered at once", 0, 3000, -1, false, 0, "done"},
        {"answered before the deadline", 1200, 3000, -1, false, 1200, "done"},
        {"answered just at the deadline", 3000, 3000, -1, false, 3000, "done"},
        {"answered too late", 3001, 3000, -1, false, 3000, std::nullopt},
        {"never answered", mem::kNeverAnswers, 3000, -1, false, 3000, std::nullopt},
        {"window closed before the answer", 1200, 3000, 1000, false, std::nullopt, ""},
        {"window closed before the deadline", mem::kNeverAnswers, 3000, 2000, false, std::nullopt,
         ""},
        {"dropped", 0, 3000, -1, true, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mem::Reset();
        hl::Reset();
        mem::SetLookupDelay(kSlow, c.delay);
        Dialog dialog = Open(" Eins");
        std::optional<std::uint64_t> calledAt;
        std::optional<std::string> result = "unset";
        int calls = 0;
        Window button = AddControl(dialog, ControlKind::Button, 1, " OK ", 0, 0, 40, 14, 0, 0);
        Ticket ticket = StartJob(dialog, c.deadline, AskSlowName(), [&](auto found) {
            ++calls;
            calledAt = hl::Now();
            result = found;
            EXPECT_FALSE(hl::BusyCursorOver(dialog)) << "its last job has ended";
        });
        EXPECT_NE(ticket, 0u);
        if (c.drop) DropJob(ticket);
        // Busy over the window and its controls while the job is in flight, and only there.
        EXPECT_EQ(hl::BusyCursorOver(dialog), !c.drop);
        EXPECT_EQ(hl::BusyCursorOver(button), !c.drop);
        Dialog other = Open(" Zwei");
        EXPECT_FALSE(hl::BusyCursorOver(other));
        hl::AddStep([&] {
            if (c.closeAt >= 0) {
                hl::AdvanceClock(static_cast<unsigned>(c.closeAt));
                CloseDialog(dialog, 0);
            }
            hl::AdvanceClock(20000 - std::max(c.closeAt, 0));
            CloseDialog(other, 0);
        });
        RunModal(other, Ignore());
        if (c.closeAt < 0) CloseDialog(dialog, 0);
        EXPECT_EQ(calledAt, c.calledAt);
        EXPECT_LE(calls, 1);
        if (c.calledAt) {
            EXPECT_EQ(result, c.result);
        }
        EXPECT_EQ(hl::JobsPending(), 0u);
        EXPECT_FALSE(hl::BusyCursorOver(dialog));
    }
}

TEST_F(BackgroundJobTest, JobsOfAClosedWindowAreNeverStarted) {
    Dialog dialog = Open(" Eins");
    CloseDialog(dialog, 0);
    bool called = false;
    EXPECT_EQ(StartJob(dialog, 100, AskSlowName(), [&](auto) { called = true; }), 0u);
    EXPECT_EQ(hl::JobsPending(), 0u);
    EXPECT_FALSE(called);
}

// A work's result reaches its receiver as the work made it, whatever its type; a false or an
// empty finding that came in time is an answer, not a missing one.
TEST_F(BackgroundJobTest, ResultsKeepTheirTypeAndAFalseInTimeIsAnAnswer) {
    struct Finding {
        int code = -1;
        std::string address;
        bool operator==(const Finding&) const = default;
    };
    mem::SetLookupDelay("quick.example", 100);
    mem::SetLookupDelay(kSlow, mem::kNeverAnswers);
    Dialog dialog = Open(" Eins");
    std::vector<std::optional<Finding>> heard;
    auto hear = [&](std::optional<Finding> found) { heard.push_back(found); };
    StartJob(dialog, 3000, Asking(kSlow, Finding{3, "10.0.0.3"}), hear);
    StartJob(dialog, 3000, Asking("quick.example", Finding{2, "10.0.0.2"}), hear);
    StartJob(dialog, 3000, Asking("now.example", Finding{}), hear);
    hl::AddStep([&] {
        hl::AdvanceClock(5000);
        CloseDialog(dialog, 0);
    });
    RunModal(dialog, Ignore());
    EXPECT_EQ(heard, (std::vector<std::optional<Finding>>{Finding{}, Finding{2, "10.0.0.2"},
                                                          std::nullopt}));

    std::vector<std::vector<std::optional<bool>>> seen;
    const auto results = AwaitJobs<bool>(
        {Asking("quick.example", false), Asking(kSlow, true), Asking("now.example", false)}, 3000,
        [&](const std::vector<std::optional<bool>>& sofar) {
            seen.push_back(sofar);
            return false;
        });
    EXPECT_EQ(results, (std::vector<std::optional<bool>>{false, std::nullopt, false}));
    EXPECT_EQ(seen, (std::vector<std::vector<std::optional<bool>>>{
                        {std::nullopt, std::nullopt, false}, {false, std::nullopt, false}}));
}

TEST_F(BackgroundJobTest, AwaitingSideBySideTakesTheSlowestOrTheDeadlineOrLessWhenSettled) {
    struct Case {
        const char* what;
        std::vector<unsigned> delays;  // one work per delay, each asking a name of its own
        bool settleOnFirst;            // the first result that comes is enough
        std::uint64_t waited;
        std::vector<bool> ended;
    } cases[] = {
        {"all at once", {0, 0, 0}, false, 0, {true, true, true}},
        {"the slowest", {500, 2000, 100}, false, 2000, {true, true, true}},
        {"the deadline", {500, mem::kNeverAnswers, 100}, false, 3000, {true, false, true}},
        {"settled by the quickest",
         {500, mem::kNeverAnswers, 100},
         true,
         100,
         {false, false, true}},
        {"nothing answers", {mem::kNeverAnswers, mem::kNeverAnswers}, true, 3000, {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mem::Reset();
        hl::Reset();
        std::vector<JobWork<std::string>> works;
        for (std::size_t i = 0; i < c.delays.size(); ++i) {
            const std::string name = "host" + std::to_string(i) + ".example";
            mem::SetLookupDelay(name, c.delays[i]);
            works.push_back(Asking(name, name));
        }
        auto results = AwaitJobs(works, 3000, [&](const auto& sofar) {
            if (!c.settleOnFirst) return false;
            for (const auto& result : sofar)
                if (result) return true;
            return false;
        });
        EXPECT_EQ(hl::Now(), c.waited);
        ASSERT_EQ(results.size(), c.ended.size());
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].has_value(), c.ended[i]) << i;
            if (results[i]) {
                EXPECT_EQ(*results[i], "host" + std::to_string(i) + ".example");
            }
        }
        EXPECT_EQ(mem::WinsockUsers(), 0);
    }
}

}  // namespace
}  // namespace orvano::testing
