#include "dialogs/name_lookups.h"

#include <utility>

namespace orvano::dialogs {

namespace {

// Lookups in flight in every window: the cursor is busy while there is one.
int& InFlight() {
    static int count = 0;
    return count;
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
    const std::string name = names[index];
    ticket_ = ui::StartJob(
        window, kLookupDeadline,
        [name] {
            std::string dotted;
            config::ResolveHostAddress(name, dotted);
            return dotted;
        },
        [this, window, names = std::move(names), index, answered,
         done](std::optional<std::string> dotted) {
            ticket_ = 0;
            if (dotted && !dotted->empty()) {
                Finish();
                done(static_cast<int>(index), *dotted, true);
                return;
            }
            // Unknown or unanswered: the next name stands in, as it would after a failure.
            ResolveFrom(window, names, index + 1, answered && dotted.has_value(), done);
        });
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

}  // namespace orvano::dialogs
