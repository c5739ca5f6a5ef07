// Which backend each kind of session gets.
#include <gtest/gtest.h>

#include "appwatch/backend_choice.h"

namespace tavrik::app {
namespace {

struct Case {
    SessionEnvironment env;
    WatchBackend backend;
    WatchSupport support;
};

TEST(BackendChoice, FollowsTheSessionsEnvironment) {
    const std::vector<Case> cases = {
        {{"x11", "", ":0", "XFCE"}, WatchBackend::X11, WatchSupport::Supported},
        // An X11 session is X11, also with a nested compositor's WAYLAND_DISPLAY around.
        {{"x11", "wayland-1", ":0", "KDE"}, WatchBackend::X11, WatchSupport::Supported},
        {{"", "", ":1", ""}, WatchBackend::X11, WatchSupport::Supported},
        {{"wayland", "wayland-0", ":0", "KDE"}, WatchBackend::KWin, WatchSupport::Supported},
        {{"wayland", "wayland-0", "", "kde"}, WatchBackend::KWin, WatchSupport::Supported},
        {{"wayland", "wayland-0", ":0", "GNOME"}, WatchBackend::None, WatchSupport::GnomeWayland},
        {{"wayland", "wayland-0", ":0", "ubuntu:GNOME"},
         WatchBackend::None,
         WatchSupport::GnomeWayland},
        {{"wayland", "wayland-1", ":0", "sway"}, WatchBackend::Wlroots, WatchSupport::Supported},
        {{"wayland", "wayland-1", "", "Hyprland"}, WatchBackend::Wlroots, WatchSupport::Supported},
        // A compositor started from a console: logind says tty, WAYLAND_DISPLAY tells.
        {{"tty", "wayland-1", ":1", "sway"}, WatchBackend::Wlroots, WatchSupport::Supported},
        {{"tty", "", "", ""}, WatchBackend::None, WatchSupport::NoDisplay},
        {{"", "", "", ""}, WatchBackend::None, WatchSupport::NoDisplay},
        // "GNOME" inside another desktop's name is not GNOME.
        {{"wayland", "wayland-0", "", "NotGNOMEish"},
         WatchBackend::Wlroots,
         WatchSupport::Supported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1|%2|%3|%4")
                .arg(c.env.sessionType, c.env.waylandDisplay, c.env.display, c.env.currentDesktop)
                .toStdString());
        EXPECT_EQ(chooseWatchBackend(c.env), c.backend);
        EXPECT_EQ(watchSupport(c.env), c.support);
        // (KWin's watcher would connect to the session bus: its own test has a private one.)
        if (c.backend != WatchBackend::KWin) {
            EXPECT_EQ(createActiveAppWatcher(c.env) == nullptr, c.backend == WatchBackend::None);
        }
    }
}

TEST(BackendChoice, ReadsTheProcessEnvironment) {
    qputenv("XDG_SESSION_TYPE", "wayland");
    qputenv("WAYLAND_DISPLAY", "wayland-7");
    qputenv("DISPLAY", ":7");
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    const SessionEnvironment env = SessionEnvironment::fromProcess();
    EXPECT_EQ(env.sessionType, "wayland");
    EXPECT_EQ(env.waylandDisplay, "wayland-7");
    EXPECT_EQ(env.display, ":7");
    EXPECT_EQ(env.currentDesktop, "KDE");
    for (const char* name :
         {"XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY", "XDG_CURRENT_DESKTOP"})
        qunsetenv(name);
}

}  // namespace
}  // namespace tavrik::app
