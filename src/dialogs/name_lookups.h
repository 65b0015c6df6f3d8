// The name service asked with deadlines, so that a slow or silent name server never freezes
// the program: in a window each lookup runs as a background job and its answer reaches the
// window as a message; at start-up the probes run side by side before any window exists.
// Every deadline of a question to the name service is set in name_lookups.cpp.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/name_resolution.h"
#include "ui/toolkit.h"

namespace orvano::dialogs {

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

// Whether the name service works, asked before any window exists: the address of every name
// side by side, then the reverse of each address found, side by side again. true as soon as
// one address is confirmed both ways.
bool ProbeNameService(const std::vector<std::string>& names);

}  // namespace orvano::dialogs
