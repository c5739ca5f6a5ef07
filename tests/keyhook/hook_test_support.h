#pragma once
// A window stand-in that collects WM_HOOKKEY reports.

#include <QObject>
#include <chrono>
#include <cstdint>
#include <ostream>
#include <vector>

namespace tavrik::app::test_support {

struct Report {
    int vk;
    bool released;
    bool operator==(const Report&) const = default;
    friend void PrintTo(const Report& r, std::ostream* os) {
        *os << r.vk << (r.released ? " up" : " dn");
    }
};

class ReportSink : public QObject {
public:
    std::vector<Report> reports;
    bool event(QEvent* e) override;
    // Processes events until `count` reports arrived or the time is up.
    bool waitFor(std::size_t count, std::chrono::milliseconds timeout);
};

}  // namespace tavrik::app::test_support
