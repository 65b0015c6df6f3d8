#include "dialogs/name_lookups.h"

#include <utility>

namespace orvano::dialogs {

namespace {

// The deadline of each question to the name service (a name, an address's host name) from a
// window. A name server that answers at all does so well within a second; the resolver asks
// again after one second and again after two more, so a question unanswered after three
// seconds would only end when the resolver gives up on its own, ten seconds and more later.
constexpr unsigned kLookupDeadline = 3000;
// The same at start-up, for the forward questions together and then the reverse ones: it keeps
// the verdict within a few seconds when the name server never answers.
constexpr unsigned kProbeDeadline = 3000;

// Lookups in flight in every window: the cursor is busy while there is one.
int& InFlight() {
    static int count = 0;
    return count;
}

// The first question of a lookup or a probe: the name's address ("" when none).
ui::JobWork<std::string> AddressOf(const std::string& name) {
    return [name] {
        std::string dotted;
        config::ResolveHostAddress(name, dotted);
        return dotted;
    };
}

// The probe's second: whether the address is confirmed both ways.
ui::JobWork<bool> ConfirmedBothWays(const std::string& dotted) {
    return [dotted] { return config::CheckAddress(dotted) == config::AddressCheck::Confirmed; };
}

}  // namespace

void NameLookup::Begin() {
    busy_ = true;
    if (InFlight()++ == 0) ui::SetBusyCursor(true);
}

void NameLookup::Finish() {
    ticket_ = 0;
    if (!busy_) return;
    busy_ = false;
    if (--InFlight() == 0) ui::SetBusyCursor(false);
}

void NameLookup::Drop() {
    if (ticket_ != 0) ui::DropJob(ticket_);
    Finish();
}

void NameLookup::Resolve(ui::Window window, std::vector<std::string> names, Resolved done) {
    Drop();
    Begin();
    ResolveFrom(window, std::move(names), 0, true, std::move(done));
}

void NameLookup::ResolveFrom(ui::Window window, std::vector<std::string> names, std::size_t index,
                             bool answered, Resolved done) {
    if (index >= names.size()) {
        Finish();
        done(-1, "", answered);
        return;
    }
    auto work = AddressOf(names[index]);
    auto heard = [this, window, names = std::move(names), index, answered,
                  done](std::optional<std::string> dotted) {
        ticket_ = 0;
        if (dotted && !dotted->empty()) {
            Finish();
            done(static_cast<int>(index), *dotted, true);
            return;
        }
        // Unknown or unanswered: the next name stands in, as it would after a failure.
        ResolveFrom(window, names, index + 1, answered && dotted.has_value(), done);
    };
    ticket_ = ui::StartJob(window, kLookupDeadline, std::move(work), std::move(heard));
    if (ticket_ == 0) {
        Finish();
        done(-1, "", false);
    }
}

void NameLookup::Check(ui::Window window, const std::string& address, Checked done) {
    Drop();
    Begin();
    // The forward question's finding and, when confirmed, the address it found.
    struct Forward {
        config::AddressCheck found = config::AddressCheck::NotDotted;
        std::string dotted;
    };
    // Two questions, each with a deadline of its own: a slow name server that answers each in
    // time confirms the address, one that never answers is given up after one deadline.
    ticket_ = ui::StartJob(
        window, kLookupDeadline,
        [address] {
            Forward forward;
            forward.found = config::CheckForward(address, forward.dotted);
            return forward;
        },
        [this, window, done](std::optional<Forward> forward) {
            ticket_ = 0;
            if (!forward || forward->found != config::AddressCheck::Confirmed) {
                Finish();
                if (!forward) return done(std::nullopt);
                return done(forward->found);
            }
            CheckReverse(window, forward->dotted, done);
        });
    if (ticket_ == 0) {
        Finish();
        done(std::nullopt);
    }
}

void NameLookup::CheckReverse(ui::Window window, const std::string& dotted, Checked done) {
    ticket_ = ui::StartJob(
        window, kLookupDeadline, [dotted] { return config::CheckReverse(dotted); },
        [this, done](std::optional<config::AddressCheck> found) {
            Finish();
            done(found);
        });
    if (ticket_ == 0) {
        Finish();
        done(std::nullopt);
    }
}

bool ProbeNameService(const std::vector<std::string>& names) {
    // Side by side, so that a name server that never answers costs one deadline, not one for
    // each name; the reverse questions follow with a deadline of their own, so that a slow name
    // server that answers each question in time counts as working.
    std::vector<ui::JobWork<std::string>> forwards;
    for (const std::string& name : names) forwards.push_back(AddressOf(name));
    std::vector<ui::JobWork<bool>> reverses;
    for (const auto& address : ui::AwaitJobs(forwards, kProbeDeadline, {}))
        if (address && !address->empty()) reverses.push_back(ConfirmedBothWays(*address));
    if (reverses.empty()) return false;
    auto confirmed = [](const std::vector<std::optional<bool>>& results) {
        for (const auto& result : results)
            if (result == true) return true;
        return false;
    };
    return confirmed(ui::AwaitJobs(reverses, kProbeDeadline, confirmed));
}

}  // namespace orvano::dialogs
