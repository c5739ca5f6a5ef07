#pragma once
// What the watcher tests share: the reports a watcher made, waiting for them, and the private
// display servers of display_servers.h.

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "appwatch/active_app_watcher.h"
#include "display_servers.h"

namespace tavrik::app::test {

using Ids = std::vector<std::string>;

inline Ids toIds(const QStringList& list) {
    Ids out;
    for (const QString& s : list) out.push_back(s.toStdString());
    return out;
}

// Every activeAppChanged report so far, as id lists.
inline std::vector<Ids> reports(const QSignalSpy& spy) {
    std::vector<Ids> out;
    for (const QList<QVariant>& args : spy) out.push_back(toIds(args.at(0).value<ActiveApp>().ids));
    return out;
}

// Processes events until `done` holds, for at most `timeoutMs` (a bound, not a margin: the
// wait ends as soon as it holds).
inline bool waitUntil(QSignalSpy& spy, const std::function<bool()>& done, int timeoutMs = 30000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        spy.wait(static_cast<int>(
            std::max<qint64>(1, std::min<qint64>(deadline.remainingTime(), 1000))));
    }
    return true;
}

// The last report's ids, empty when there was none.
inline Ids lastReport(const QSignalSpy& spy) {
    return spy.isEmpty() ? Ids{} : toIds(spy.last().at(0).value<ActiveApp>().ids);
}

}  // namespace tavrik::app::test
