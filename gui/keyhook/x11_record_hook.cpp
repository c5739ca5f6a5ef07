#include "keyhook/x11_record_hook.h"

#include <X11/Xlib.h>
#include <X11/extensions/record.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

#include "keyhook/keysym_keys.h"

namespace tavrik::app {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(2);
constexpr int kPollMs = 200;
constexpr int kPressEvent = 2;    // X protocol KeyPress
constexpr int kReleaseEvent = 3;  // X protocol KeyRelease

struct Intercept {
    X11RecordHook* hook;
    bool started = false;
};

void onIntercept(XPointer closure, XRecordInterceptData* data) {
    auto* intercept = reinterpret_cast<Intercept*>(closure);
    if (data->category == XRecordStartOfData) {
        intercept->started = true;
    } else if (data->category == XRecordFromServer && data->data_len >= 1) {
        const int type = data->data[0] & 0x7F;
        if (type == kPressEvent || type == kReleaseEvent)
            intercept->hook->onKey(data->data[1], type == kReleaseEvent);
    }
    XRecordFreeData(data);
}

// Waits for the data connection or the wake pipe, then lets Xlib read and dispatch records.
void pump(Display* data, int wakeFd) {
    pollfd fds[] = {{ConnectionNumber(data), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    ::poll(fds, 2, kPollMs);
    XRecordProcessReplies(data);
}

// Both connections and the record context of one run of the hook thread.
struct Session {
    Display* control = XOpenDisplay(nullptr);
    Display* data = control ? XOpenDisplay(nullptr) : nullptr;
    XRecordContext context = 0;

    bool open() {
        int major = 0, minor = 0;
        if (!data || !XRecordQueryVersion(control, &major, &minor)) return false;
        XRecordRange* range = XRecordAllocRange();
        if (!range) return false;
        range->device_events.first = KeyPress;
        range->device_events.last = KeyRelease;
        XRecordClientSpec clients = XRecordAllClients;
        context = XRecordCreateContext(control, 0, &clients, 1, &range, 1);
        XFree(range);
        XSync(control, False);
        return context != 0;
    }
    ~Session() {
        if (context) {
            XRecordDisableContext(control, context);
            XRecordFreeContext(control, context);
            XSync(control, False);
        }
        if (data) XCloseDisplay(data);
        if (control) XCloseDisplay(control);
    }
};

}  // namespace

X11RecordHook::X11RecordHook(const HookTarget& target) : m_target(target) {}

std::unique_ptr<X11RecordHook> X11RecordHook::start(const HookTarget& target) {
    std::unique_ptr<X11RecordHook> hook(new X11RecordHook(target));
    if (::pipe2(hook->m_wake, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
    std::promise<bool> started;
    auto ready = started.get_future();
    hook->m_thread = std::thread(&X11RecordHook::run, hook.get(), std::move(started));
    if (!ready.get()) return nullptr;  // the destructor joins the finished thread
    return hook;
}

X11RecordHook::~X11RecordHook() {
    m_stop = true;
    if (m_wake[1] >= 0) (void)!::write(m_wake[1], "x", 1);
    if (m_thread.joinable()) m_thread.join();
    for (int fd : m_wake)
        if (fd >= 0) ::close(fd);
}

void X11RecordHook::onKey(unsigned keycode, bool released) {
    auto* control = static_cast<Display*>(m_control);
    int perCode = 0;
    KeySym* syms = XGetKeyboardMapping(control, static_cast<KeyCode>(keycode), 1, &perCode);
    if (!syms) return;
    KeySym sym = perCode > 0 ? syms[0] : NoSymbol;
    if (sym == NoSymbol && perCode > 1) sym = syms[1];
    XFree(syms);
    m_target.report(vkFromKeysym(static_cast<std::uint32_t>(sym)), released);
}

void X11RecordHook::run(std::promise<bool> started) {
    Session session;
    Intercept intercept{this};
    m_control = session.control;
    bool ok =
        session.open() && XRecordEnableContextAsync(session.data, session.context, onIntercept,
                                                    reinterpret_cast<XPointer>(&intercept));
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (ok && !intercept.started && std::chrono::steady_clock::now() < deadline)
        pump(session.data, m_wake[0]);
    ok = ok && intercept.started;
    started.set_value(ok);
    while (ok && !m_stop) pump(session.data, m_wake[0]);
}

}  // namespace tavrik::app
