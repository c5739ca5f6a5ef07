// How the main window presents itself after the start-up open, and its bottom-bar status line.

#include <gtest/gtest.h>

#include "mainwindow/startup.h"
#include "mainwindow/status_line.h"
#include "mainwindow/texts.h"

namespace tavrik::mainwindow {
namespace {

struct PresentationRow {
    device::ConnectionState keyboard;
    bool tray;
    bool shown;
    const BiText* notice;
};

class Presentation : public ::testing::TestWithParam<PresentationRow> {};

TEST_P(Presentation, WindowStaysReachable) {
    const PresentationRow& r = GetParam();
    const StartupPresentation p = startupPresentation(r.keyboard, r.tray);
    EXPECT_EQ(p.showWindow, r.shown);
    ASSERT_EQ(p.notice.has_value(), r.notice != nullptr);
    if (r.notice) {
        EXPECT_EQ(p.notice->en, r.notice->en);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Startup, Presentation,
    ::testing::Values(
        PresentationRow{device::ConnectionState::Connected, true, true, nullptr},
        PresentationRow{device::ConnectionState::Connected, false, true, nullptr},
        PresentationRow{device::ConnectionState::Absent, true, false, nullptr},
        PresentationRow{device::ConnectionState::Absent, false, true, &text::kNoKeyboard},
        PresentationRow{device::ConnectionState::Failed, true, false, nullptr},
        PresentationRow{device::ConnectionState::Failed, false, true, &text::kNoKeyboard},
        PresentationRow{device::ConnectionState::NoPermission, true, true, &text::kNoPermission}));

TEST(StatusLine, EveryStateAndTransportInBothLanguages) {
    using device::ConnectionState;
    using device::Transport;
    const appconfig::Version none{};
    const appconfig::Version v{1, 3};
    EXPECT_EQ(statusLineText(ConnectionState::Connected, Transport::Hid, v, Language::English),
              "Keyboard connected · firmware 1.3");
    EXPECT_EQ(statusLineText(ConnectionState::Connected, Transport::Hid, none, Language::English),
              "Keyboard connected");  // before the version is read
    EXPECT_EQ(statusLineText(ConnectionState::Connected, Transport::Emulated, v, Language::Chinese),
              "模拟键盘 · 固件 1.3");
    EXPECT_EQ(
        statusLineText(ConnectionState::Connected, Transport::Socket, none, Language::English),
        "Emulated keyboard");
    for (const Transport t : {Transport::Hid, Transport::Socket, Transport::Emulated}) {
        EXPECT_EQ(statusLineText(ConnectionState::Absent, t, v, Language::English),
                  "No keyboard connected");
        EXPECT_EQ(statusLineText(ConnectionState::Absent, t, none, Language::Chinese),
                  "未连接键盘");
        // A keyboard that could not be opened for another reason is not usable either.
        EXPECT_EQ(statusLineText(ConnectionState::Failed, t, v, Language::English),
                  "No keyboard connected");
        EXPECT_NE(statusLineText(ConnectionState::NoPermission, t, none, Language::English)
                      .find("click for the fix"),
                  std::string::npos);
        EXPECT_NE(
            statusLineText(ConnectionState::NoPermission, t, none, Language::Chinese).find("无权"),
            std::string::npos);
    }
}

}  // namespace
}  // namespace tavrik::mainwindow
