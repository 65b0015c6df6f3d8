// What the driver hands the layout probe in the other program's memory.
#pragma once

#include <cstdint>

constexpr wchar_t kLayoutProbeName[] = L"layout_probe.dll";
constexpr char kLayoutProbeEntry[] = "CheckLayout";

// Exit codes of the probe's thread above any count of findings.
constexpr unsigned long kLayoutNoDialog = 0x10000;
constexpr unsigned long kLayoutNoReport = 0x10001;

struct LayoutRequest {
    std::uint64_t dialog;     // the dialog's window handle
    wchar_t reportPath[260];  // one line per finding, UTF-8
    wchar_t allowed[1024];    // "ID:ID" pairs that overlap on purpose, "ID" running texts
};
