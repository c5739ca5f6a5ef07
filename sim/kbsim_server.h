#pragma once
// Serves an emulated keyboard over a Unix socket (framing in socket_framing.h) and reads
// operator commands from a stream (standard input in tavrik-kbsim):
//     press <slot>      press and report a key programmed as a host action
//     unplug | plug     remove or attach the keyboard (connections are closed on unplug)
//     dump              print the firmware state
//     version <major> <minor>
//     fault <none|noack|noreply|garbage|remove <packets>>
//     quit
// Single-threaded: one poll loop over the listening socket, the clients and the command stream.

#include <iosfwd>
#include <map>
#include <memory>
#include <string>

#include "common/result.h"
#include "sim/firmware.h"
#include "sim/operator_commands.h"
#include "sim/socket_framing.h"

namespace tavrik::sim {

class KbsimServer {
public:
    KbsimServer(Firmware& firmware, std::string socketPath);
    ~KbsimServer();
    KbsimServer(const KbsimServer&) = delete;
    KbsimServer& operator=(const KbsimServer&) = delete;

    Status listen();
    // Serves until "quit" or end of the command stream (commandFd < 0: no command stream) or
    // stop(). Command answers go to `out`.
    void run(int commandFd, std::ostream& out);
    // Ends run() from another thread.
    void stop();

    // Applies one operator command; false for "quit".
    bool command(const std::string& line, std::ostream& out);

private:
    struct Client {
        std::uint8_t role = 0;  // 0 until the hello
        frame::Decoder decoder;
    };

    void accept();
    bool serve(int fd, Client& client);  // false: close the client
    bool handle(int fd, Client& client, const frame::Frame& f);
    void flushEvents();
    void syncPlugState();
    void closeClient(int fd);
    void broadcast(std::uint8_t role, const std::vector<std::uint8_t>& bytes);

    Firmware& m_firmware;
    std::string m_path;
    int m_listenFd = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    bool m_lastPlugged = true;
    std::map<int, Client> m_clients;
};

}  // namespace tavrik::sim
