#pragma once
// A receiver that collects the key hook's reports.

#include <chrono>
#include <cstdint>
#include <ostream>
#include <vector>

#include "keyhook/hook_reports.h"

namespace tavrik::app::test_support {

struct Report {
    int vk;
    bool released;
    bool operator==(const Report&) const = default;
    friend void PrintTo(const Report& r, std::ostream* os) {
        *os << r.vk << (r.released ? " up" : " dn");
    }
};

class ReportSink : public HookReports {
public:
    ReportSink();
    std::vector<Report> reports;
    // Processes events until `count` reports arrived or the time is up.
    bool waitFor(std::size_t count, std::chrono::milliseconds timeout);
};

}  // namespace tavrik::app::test_support
