#pragma once
// A client of the running tool's local socket: connect, send one request line, read one answer
// line. Plain POSIX, so that tavrikctl needs no Qt network library at start-up.

#include <QByteArray>
#include <QString>
#include <optional>

namespace tavrik::ctl {

class LineSocket {
public:
    LineSocket() = default;
    ~LineSocket();
    LineSocket(const LineSocket&) = delete;
    LineSocket& operator=(const LineSocket&) = delete;

    enum class Connect {
        Connected,
        Absent,     // nobody listens (or the path does not fit a socket address)
        OtherUser,  // the listener is another user's process: nothing is sent to it
    };
    // Connects to the Unix socket at `path` within `timeoutMs` and checks that the listener
    // runs as this user before anything is sent.
    Connect connectTo(const QString& path, int timeoutMs);
    // Sends all of `bytes` within `timeoutMs`.
    bool send(const QByteArray& bytes, int timeoutMs);
    // The first line received (with its newline) within `timeoutMs`; none when the peer closes,
    // the time runs out or more than `maxBytes` arrive without a newline.
    std::optional<QByteArray> readLine(int timeoutMs, qsizetype maxBytes);

private:
    bool connectOnly(const QString& path, int timeoutMs);
    bool wait(short events, int timeoutMs) const;

    int m_fd = -1;
};

}  // namespace tavrik::ctl
