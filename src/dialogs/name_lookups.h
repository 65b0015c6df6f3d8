// The name service asked off the window's thread: each lookup runs as a background job with a
// deadline, and its answer reaches the window as a message, so a slow or silent name server
// never freezes a window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/name_resolution.h"
#include "ui/toolkit.h"

namespace orvano::dialogs {

// The deadline of each question to the name service (a name, an address's host name). A name
// server that answers at all does so well within a second; the resolver asks again after one
// second and again after two more, so a question unanswered after three seconds would only end
// when the resolver gives up on its own, ten seconds and more later.
inline constexpr unsigned kLookupDeadline = 3000;

// One lookup in flight for one purpose (a field, a question). Starting another one or Drop
// forgets the one in flight; so does the window's end. The busy cursor (IDC_APPSTARTING: the
// window still works) shows while any lookup is in flight.
class NameLookup {
  public:
    // The index of the name that resolved and its address; -1 and "" when none did, with
    // `answered` false when a name went unanswered until its deadline.
    using Resolved = std::function<void(int index, const std::string& dotted, bool answered)>;
    // The check's finding; nullopt when the name service did not answer in time.
    using Checked = std::function<void(std::optional<config::AddressCheck>)>;

    NameLookup() = default;
    NameLookup(const NameLookup&) = delete;
    NameLookup& operator=(const NameLookup&) = delete;
    ~NameLookup() { Drop(); }

    // Resolves the names one after the other (each with its own deadline) until one resolves.
    void Resolve(ui::Window window, std::vector<std::string> names, Resolved done);
    // config::CheckAddress of the address: its forward and its reverse question, each with
    // its own deadline.
    void Check(ui::Window window, const std::string& address, Checked done);
    void Drop();
    bool Pending() const { return busy_; }

  private:
    void Begin();
    void Finish();
    void CheckReverse(ui::Window window, const std::string& dotted, Checked done);
    void ResolveFrom(ui::Window window, std::vector<std::string> names, std::size_t index,
                     bool answered, Resolved done);

    ui::Ticket ticket_ = 0;
    bool busy_ = false;
};

}  // namespace orvano::dialogs
