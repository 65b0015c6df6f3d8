// Background jobs on real threads: the work runs on a thread of its own, its end comes back to
// the window as a posted message and its deadline as a window timer; whichever is first wins.
// While a window has a job in flight, its cursor is the busy one.
#include <windows.h>

#include <any>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "ui/toolkit.h"
#include "ui/win32/dialog_records.h"

namespace orvano::ui {

using namespace win32;

namespace {

// Deadline timers sit far above the program's own timer ids.
constexpr UINT_PTR kDeadlineTimerBase = 0x7E000000;
constexpr Ticket kTicketMask = 0x00FFFFFF;

struct Job {
    HWND window = nullptr;
    bool ended = false;
    std::any result;
};

struct Waiting {
    HWND window = nullptr;
    AnyDone done;
};

// Shared by the window's thread and the workers, and never destroyed: a worker stuck in the
// name service may end only after the program has left its entry point.
struct Jobs {
    std::mutex mutex;
    std::map<Ticket, Job> jobs;         // under the mutex
    std::map<Ticket, Waiting> waiting;  // the window's thread only: the jobs in flight
    Ticket next = 1;                    // the window's thread only
};

Jobs& TheJobs() {
    static Jobs* jobs = new Jobs;
    return *jobs;
}

UINT_PTR DeadlineTimer(Ticket ticket) {
    return kDeadlineTimerBase + static_cast<UINT_PTR>(ticket & kTicketMask);
}

bool InFlight(HWND window) {
    for (const auto& [ticket, waiting] : TheJobs().waiting)
        if (waiting.window == window) return true;
    return false;
}

// The cursor the window under the mouse asks for, at once rather than at the next move: the
// busy one from the start of a window's first job, its own again after the last one.
void RefreshCursor(HWND window) {
    POINT at;
    if (!GetCursorPos(&at)) return;
    HWND under = WindowFromPoint(at);
    if (!under || (under != window && !IsChild(window, under))) return;
    LRESULT hit = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

// On the window's thread: the job's result when it has ended, nullopt at its deadline; done
// runs once, and only for the window that started the job.
void Settle(HWND window, Ticket ticket) {
    Jobs& all = TheJobs();
    std::optional<std::any> result;
    {
        std::lock_guard<std::mutex> lock(all.mutex);
        auto job = all.jobs.find(ticket);
        if (job == all.jobs.end() || job->second.window != window) return;
        if (job->second.ended) result = std::move(job->second.result);
        all.jobs.erase(job);
    }
    KillTimer(window, DeadlineTimer(ticket));
    auto waiting = all.waiting.find(ticket);
    if (waiting == all.waiting.end()) return;
    AnyDone callback = std::move(waiting->second.done);
    all.waiting.erase(waiting);
    if (callback) callback(std::move(result));
    // Looked at after done, which may start the next job: the cursor does not flicker between.
    if (IsWindow(window) && !InFlight(window)) RefreshCursor(window);
}

// The work on a thread of its own; its end is posted to the job's window, unless the job is
// gone by then.
void Run(Ticket ticket, AnyWork work) {
    try {
        std::thread([ticket, work = std::move(work)] {
            std::any result;
            try {
                result = work();
            } catch (...) {
                return;  // no result: the deadline reports the job
            }
            Jobs& all = TheJobs();
            std::lock_guard<std::mutex> lock(all.mutex);
            auto job = all.jobs.find(ticket);
            if (job == all.jobs.end()) return;  // dropped, past its deadline, or its window gone
            job->second.ended = true;
            job->second.result = std::move(result);
            PostMessageA(job->second.window, kMsgJobDone, static_cast<WPARAM>(ticket), 0);
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the deadline reports the job as unanswered.
    }
}

}  // namespace

namespace win32 {

bool HandleJobMessage(HWND window, UINT message, WPARAM wParam) {
    if (message == kMsgJobDone) {
        Settle(window, static_cast<Ticket>(wParam));
        return true;
    }
    if (message != WM_TIMER || wParam < kDeadlineTimerBase ||
        wParam > kDeadlineTimerBase + kTicketMask)
        return false;
    KillTimer(window, wParam);
    Ticket ticket = 0;
    for (const auto& [candidate, waiting] : TheJobs().waiting)
        if (DeadlineTimer(candidate) == wParam) ticket = candidate;
    if (ticket != 0) Settle(window, ticket);
    return true;
}

bool ShowBusyCursor(HWND window, LPARAM lParam) {
    const auto hit = static_cast<short>(LOWORD(lParam));
    // The frame's sizing cursors stay, and so does the system's handling of a disabled window
    // (a dialog of its own is open over it).
    if ((hit >= HTSIZEFIRST && hit <= HTSIZELAST) || hit == HTERROR || !InFlight(window))
        return false;
    SetCursor(LoadCursorA(nullptr, IDC_APPSTARTING));
    return true;
}

void DropJobsOf(HWND window) {
    Jobs& all = TheJobs();
    std::lock_guard<std::mutex> lock(all.mutex);
    for (auto job = all.jobs.begin(); job != all.jobs.end();) {
        if (job->second.window == window) {
            all.waiting.erase(job->first);
            job = all.jobs.erase(job);
        } else {
            ++job;
        }
    }
}

}  // namespace win32

Ticket StartAnyJob(Window window, unsigned deadline, AnyWork work, AnyDone done) {
    HWND hwnd = ToHwnd(window);
    if (!work || !IsWindow(hwnd)) return 0;
    Jobs& all = TheJobs();
    const Ticket ticket = all.next++;
    {
        std::lock_guard<std::mutex> lock(all.mutex);
        all.jobs[ticket].window = hwnd;
    }
    const bool first = !InFlight(hwnd);
    all.waiting[ticket] = {hwnd, std::move(done)};
    if (!SetTimer(hwnd, DeadlineTimer(ticket), deadline, nullptr)) {
        // Without its deadline the job would wait as long as the work takes (a silent name
        // server: until the resolver gives up, ten seconds and more). It ends at once as
        // unanswered, from the window's loop as any end; with not even that, it never started.
        if (!PostMessageA(hwnd, kMsgJobDone, static_cast<WPARAM>(ticket), 0)) {
            std::lock_guard<std::mutex> lock(all.mutex);
            all.jobs.erase(ticket);
            all.waiting.erase(ticket);
            return 0;
        }
    } else {
        Run(ticket, std::move(work));
    }
    if (first) RefreshCursor(hwnd);
    return ticket;
}

void DropJob(Ticket ticket) {
    Jobs& all = TheJobs();
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> lock(all.mutex);
        auto job = all.jobs.find(ticket);
        if (job == all.jobs.end()) return;
        window = job->second.window;
        all.jobs.erase(job);
    }
    all.waiting.erase(ticket);
    KillTimer(window, DeadlineTimer(ticket));
    if (!InFlight(window)) RefreshCursor(window);
}

std::vector<std::optional<std::any>> AwaitAnyJobs(const std::vector<AnyWork>& works,
                                                  unsigned deadline, const AnySettled& settled) {
    // Shared with the workers, which may outlive this call.
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::optional<std::any>> results;
        std::size_t ended = 0;
    };
    auto shared = std::make_shared<Shared>();
    shared->results.resize(works.size());
    for (std::size_t i = 0; i < works.size(); ++i) {
        auto end = [shared, i](std::optional<std::any> result) {
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->results[i] = std::move(result);
            ++shared->ended;
            shared->changed.notify_all();
        };
        try {
            std::thread([end, work = works[i]] {
                std::optional<std::any> result;
                try {
                    result = work();
                } catch (...) {
                }
                end(std::move(result));
            }).detach();
        } catch (const std::system_error&) {
            end(std::nullopt);
        }
    }
    std::unique_lock<std::mutex> lock(shared->mutex);
    shared->changed.wait_for(lock, std::chrono::milliseconds(deadline), [&] {
        return shared->ended == works.size() || (settled && settled(shared->results));
    });
    return shared->results;
}

}  // namespace orvano::ui
