#pragma once
// The tool as it runs for a user, over a temporary data folder: the watcher chosen from the
// session's environment as the tool chooses it, the main window with its device host against
// the in-process emulated keyboard, profiles that differ from the keyboard in known regions,
// and the reports the keyboard receives.

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <chrono>
#include <cstdint>
#include <iomanip>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

#include "appprofiles/switch_planner.h"
#include "appwatch/active_app_watcher.h"
#include "device/bursts.h"
#include "device/commands.h"
#include "device/pacer.h"
#include "model/config_state.h"
#include "model/keymap_file.h"
#include "model/slot_table.h"
#include "sim/firmware.h"
#include "skin/skin_paths.h"
#include "watch_test_support.h"
#include "windows/app_profile_switcher.h"
#include "windows/main_window.h"

namespace tavrik::app::test {

using namespace std::chrono_literals;

struct Sent {
    sim::ReportKind kind;
    std::vector<std::uint8_t> bytes;
    bool operator==(const Sent&) const = default;
};

inline void PrintTo(const Sent& s, std::ostream* os) {
    *os << (s.kind == sim::ReportKind::Feature ? "feature" : "data") << std::hex;
    for (size_t i = 0; i < std::min<size_t>(s.bytes.size(), 12); ++i) {
        *os << ' ' << std::setw(2) << std::setfill('0') << int(s.bytes[i]);
    }
    if (s.bytes.size() > 12) *os << " ...";
    *os << std::dec;
}

// The regions a profile changes besides the lighting parameters (which always go last).
enum class Unit { KeyCodes, DiyTable0 };

// What write-all sends to bring the keyboard to `to` when the units listed differ (in the order
// write-all sends them): the short lighting command first when anything but the lighting
// differs, each differing region as its announcement and data packets, the full lighting
// command last.
inline std::vector<Sent> expectedSave(model::Image to, const std::vector<Unit>& units) {
    model::foldWinLock(to);
    std::vector<Sent> out;
    const auto feature = [&](const device::FeatureReport& r) {
        out.push_back({sim::ReportKind::Feature, {r.begin(), r.end()}});
    };
    const auto burst = [&](device::Region region, std::size_t index) {
        feature(device::announceWrite(region, index));
        const device::RegionLayout& layout = device::regionLayout(region);
        const std::span<const std::uint8_t> block(to.data() + device::blockOffset(region, index),
                                                  layout.blockSize);
        for (std::size_t k = 0; k < layout.packets; ++k) {
            const device::DataReport p = device::blockPacket(block, k);
            out.push_back({sim::ReportKind::Data, {p.begin(), p.end()}});
        }
    };
    if (!units.empty()) feature(device::setLighting(to, device::LightingForm::Short));
    for (const Unit u : units) {
        switch (u) {
            case Unit::KeyCodes:
                burst(device::Region::KeyCodes, 0);
                break;
            case Unit::DiyTable0:
                burst(device::Region::DiyTable, 0);
                break;
        }
    }
    feature(device::setLighting(to, device::LightingForm::Full));
    return out;
}

// The profiles' differences from the keyboard's state after the start-up read.
inline constexpr int kRemappedSlot = 30;
inline constexpr int kPaintedSlot = 12;
// Game: one key's code.
inline void gameEdit(model::ConfigState& s) {
    auto cell = model::keyCodeCell(s.image, kRemappedSlot);
    cell[1] = static_cast<std::uint8_t>(cell[1] ^ 0x01);
}
// Paint: one key's colour in DIY table 0.
inline void paintEdit(model::ConfigState& s) {
    const std::size_t at = model::image::diyTable(0) + model::diyOffset(kPaintedSlot) + 1;
    s.image[at] = static_cast<std::uint8_t>(s.image[at] ^ 0x40);
}
// Work: the lighting effect.
inline void workEdit(model::ConfigState& s) {
    s.image[model::image::kEffect] = static_cast<std::uint8_t>(s.image[model::image::kEffect] ^ 1);
}

// Sets the session's variables for the tool and puts the test process's back afterwards.
class SessionVariables {
public:
    SessionVariables() {
        for (const char* name : kNames) m_saved.push_back(qgetenv(name));
    }
    ~SessionVariables() {
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (m_saved[i].isNull()) {
                qunsetenv(kNames[i]);
            } else {
                qputenv(kNames[i], m_saved[i]);
            }
        }
    }
    // An empty value unsets the variable.
    void set(const QString& sessionType, const QString& display, const QString& waylandDisplay,
             const QString& desktop) {
        const QString values[] = {sessionType, display, waylandDisplay, desktop};
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (values[i].isEmpty()) {
                qunsetenv(kNames[i]);
            } else {
                qputenv(kNames[i], values[i].toLocal8Bit());
            }
        }
    }

private:
    static constexpr const char* kNames[] = {"XDG_SESSION_TYPE", "DISPLAY", "WAYLAND_DISPLAY",
                                             "XDG_CURRENT_DESKTOP"};
    std::vector<QByteArray> m_saved;
};

class FollowFixture : public ::testing::Test {
protected:
    void TearDown() override {
        if (m_firmware) m_firmware->setTrace({});
        m_settled.reset();
        m_reports.reset();
        m_window.reset();
        m_watcher.reset();
    }

    // What the tool does at start: the watcher for the session's environment, the window, the
    // watcher started once the window follows it. Then waits for the start-up read.
    void startTool() {
        ASSERT_TRUE(m_dir.isValid());
        AppContext c;
        c.options.simulate = true;
        c.paths.programFolder = skin::programFolder();
        c.paths.dataFolder = m_dir.path();
        // Pauses recorded, not slept: the Saves are quick, the settle time is the product's.
        auto pacer = std::make_shared<device::RecordingPacer>();
        pacer->setKeepLog(false);
        c.device.pacer = pacer;
        m_firmware = std::make_shared<sim::Firmware>([pacer] { return pacer->elapsed(); });
        c.device.firmware = m_firmware;
        const SessionEnvironment session = SessionEnvironment::fromProcess();
        c.watchSupport = watchSupport(session);
        m_watcher = createActiveAppWatcher(session);
        ASSERT_TRUE(m_watcher) << "no watcher for this session";
        c.appWatcher = m_watcher.get();
        m_window = std::make_unique<MainWindow>(std::move(c));
        m_window->initialise(false);
        m_reports =
            std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::activeAppChanged);
        QObject::connect(m_watcher.get(), &ActiveAppWatcher::activeAppChanged, m_watcher.get(),
                         [this] { m_reportTimes.push_back(std::chrono::steady_clock::now()); });
        m_settled = std::make_unique<QSignalSpy>(switcher(), &AppProfileSwitcher::settled);
        ASSERT_TRUE(m_watcher->start());
        ASSERT_TRUE(waitUntil(*m_settled, [&] { return !link().session().busy(); }))
            << "the start-up read did not end";
    }

    AppProfileSwitcher* switcher() { return m_window->appProfiles(); }
    DeviceLink& link() { return *m_window->deviceLink(); }

    // Profiles Game, Paint and Work made from the host copy after the start-up read, and the
    // rules: Game for `gameApp`, Paint for `paintApp`, Work for every other application, set
    // as tavrikctl sets them through the running tool. Records what goes on the wire from now.
    void makeProfiles(const QString& gameApp, const QString& paintApp) {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("Configure")));
        m_keyboard =
            m_window->configModel().withLock([](model::ConfigState& s) { return s.image; });
        ASSERT_EQ(m_keyboard, m_firmware->image());
        for (const auto& [name, edit, image] :
             {std::tuple{"Game", &gameEdit, &m_game}, std::tuple{"Paint", &paintEdit, &m_paint},
              std::tuple{"Work", &workEdit, &m_work}}) {
            auto s = std::make_unique<model::ConfigState>(
                m_window->configModel().withLock([](model::ConfigState& st) { return st; }));
            edit(*s);
            *image = s->image;
            const QString path = m_dir.filePath(QStringLiteral("Configure/%1.bin").arg(name));
            ASSERT_TRUE(model::saveConfigFile(path.toStdString(), s->image, s->actions));
        }
        m_firmware->setTrace(
            [this](sim::Direction d, sim::ReportKind k, std::span<const std::uint8_t> b) {
                if (d != sim::Direction::HostToKeyboard) return;
                std::lock_guard<std::mutex> g(m_sentLock);
                m_sent.push_back({k, {b.begin(), b.end()}});
            });
        const std::string game = gameApp.toStdString(), paint = paintApp.toStdString();
        ASSERT_TRUE(switcher()->rules().edit([&](appprofiles::AppRules& r) {
            appprofiles::bind(r, "Game", game);
            appprofiles::bind(r, "Paint", paint);
            return appprofiles::setDefault(r, "Work");
        }));
        switcher()->rulesChanged();
    }

    std::vector<Sent> takeSent() {
        std::lock_guard<std::mutex> g(m_sentLock);
        return std::exchange(m_sent, {});
    }

    // Waits until the watcher has reported an application whose first id is `id` (after the
    // first `after` reports), then until the switcher has settled after that report: the settle
    // time has passed and the Save of any switch it started has ended. False after the bound.
    bool settlesOn(const QString& id, qsizetype after) {
        qsizetype at = -1;
        const bool reported = waitUntil(*m_reports, [&] {
            for (qsizetype i = after; i < m_reports->size(); ++i) {
                const QStringList ids = m_reports->at(i).at(0).value<ActiveApp>().ids;
                if (!ids.isEmpty() && ids.first() == id) at = i;
            }
            return at >= 0;
        });
        if (!reported) {
            ADD_FAILURE() << "the watcher did not report " << id.toStdString();
            return false;
        }
        const qsizetype settledBefore = m_settled->size();
        if (!waitUntil(*m_settled, [&] { return m_settled->size() > settledBefore; })) {
            ADD_FAILURE() << "the switcher did not settle on " << id.toStdString();
            return false;
        }
        return true;
    }

    appprofiles::SwitchStatus status() { return switcher()->planner().status(); }
    static appprofiles::SwitchStatus activeAutomatic(const char* profile) {
        return {appprofiles::SwitchState::Active, {profile, appprofiles::Choice::Automatic}};
    }
    // The keyboard's image as write-all leaves it for `image`.
    static model::Image folded(model::Image image) {
        model::foldWinLock(image);
        return image;
    }

    QTemporaryDir m_dir;
    std::shared_ptr<sim::Firmware> m_firmware;
    std::unique_ptr<ActiveAppWatcher> m_watcher;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QSignalSpy> m_reports, m_settled;
    std::vector<std::chrono::steady_clock::time_point> m_reportTimes;
    model::Image m_keyboard{}, m_game{}, m_paint{}, m_work{};
    std::mutex m_sentLock;
    std::vector<Sent> m_sent;
};

}  // namespace tavrik::app::test
