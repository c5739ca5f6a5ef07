#include "windows/app_profile_switcher.h"

#include <QApplication>
#include <QPointer>
#include <algorithm>

#include "appprofiles/app_profile_texts.h"
#include "appwatch/active_app_watcher.h"
#include "common/atomic_file.h"
#include "host/qt/log_categories.h"
#include "host/qt/qt_text.h"
#include "model/config_model.h"
#include "model/keymap_file.h"
#include "profiles/profile_store.h"
#include "windows/main_window.h"

namespace tavrik::app {

AppProfileSwitcher::AppProfileSwitcher(MainWindow& window, ActiveAppWatcher* watcher,
                                       const std::filesystem::path& dataFolder, Now now)
    : m_window(window),
      m_watcher(watcher),
      m_profileFolder(profiles::profileFolder(dataFolder)),
      m_now(now ? std::move(now) : Now([] { return std::chrono::steady_clock::now(); })),
      m_rules(dataFolder) {
    m_settle.setSingleShot(true);
    m_settle.setTimerType(Qt::PreciseTimer);
    connect(&m_settle, &QTimer::timeout, this, &AppProfileSwitcher::evaluate);
    if (m_rules.problem()) {
        qCWarning(lcFiles) << "application rules:" << QString::fromStdString(*m_rules.problem());
    }
    if (DeviceLink* link = m_window.deviceLink()) {
        connect(link, &DeviceLink::jobFinished, this, &AppProfileSwitcher::jobFinished);
        // A job may change the host copy: what to do is asked again once none is left.
        connect(link, &DeviceLink::idle, this, &AppProfileSwitcher::evaluate);
    }
    if (m_watcher) {
        connect(m_watcher, &ActiveAppWatcher::activeAppChanged, this,
                &AppProfileSwitcher::activeAppChanged);
        connect(m_watcher, &ActiveAppWatcher::unavailable, this, [](const QString& why) {
            qCWarning(lcApps) << "active application no longer followed:" << why;
        });
    }
}

AppProfileSwitcher::~AppProfileSwitcher() = default;

std::vector<std::string> AppProfileSwitcher::profiles() const {
    return profiles::ProfileStore(m_profileFolder).rows();
}

QString AppProfileSwitcher::statusText(Language lang) const {
    const appprofiles::SwitchStatus status = m_planner.status();
    const auto text = appprofiles::statusText(status);
    if (!text) return {};
    return qs(text->in(lang)).arg(QString::fromStdString(status.profile.name));
}

void AppProfileSwitcher::activeAppChanged(const ActiveApp& app) {
    qCDebug(lcApps) << "application in front:" << app.ids;
    // The desktop itself, or this tool's own window (the user came to edit the profile on the
    // keyboard): the keyboard keeps the profile of the application before.
    const QStringList own{QGuiApplication::desktopFileName(), QCoreApplication::applicationName()};
    if (app.ids.isEmpty()) return;
    std::vector<std::string> ids;
    for (const QString& id : app.ids) {
        for (const QString& o : own) {
            if (!o.isEmpty() && appprofiles::sameAppId(id.toStdString(), o.toStdString())) return;
        }
        ids.push_back(id.toStdString());
    }
    m_planner.focusChanged(std::move(ids), m_now());
    evaluate();
}

void AppProfileSwitcher::chooseByHand(const std::string& profile) {
    m_planner.chooseByHand(profile);
    evaluate();
}

void AppProfileSwitcher::profileMoved(const std::string& from, const std::string& to) {
    if (to.empty()) {
        m_planner.profileRemoved(from);
    } else {
        m_planner.profileRenamed(from, to);
    }
    evaluate();
}

void AppProfileSwitcher::rulesChanged() {
    evaluate();
}

bool AppProfileSwitcher::takeOwnSaveEnd() {
    return std::exchange(m_ownSaveEnd, false);
}

std::optional<QString> AppProfileSwitcher::takeRulesNotice(Language lang) {
    const auto& problem = m_rules.problem();
    if (!problem || problem == m_toldProblem) return std::nullopt;
    m_toldProblem = problem;
    return qs(appprofiles::text::kRulesUnusable.in(lang))
        .arg(QString::fromStdString(m_rules.path().string()), QString::fromStdString(*problem));
}

void AppProfileSwitcher::jobFinished(device::Job job, const Status&) {
    if (job == device::Job::Arrival && m_window.deviceLink()->connected()) {
        m_planner.keyboardArrived();
    }
}

bool AppProfileSwitcher::unsavedEdits() {
    return m_window.configModel().withLock([this](const model::ConfigState& s) {
        if (s.image == s.syncedImage && s.actions == s.syncedActions) return false;
        // What a switch loaded and could not send yet is no edit of the user's.
        return !(m_loaded && s.image == m_loaded->image && s.actions == m_loaded->actions);
    });
}

void AppProfileSwitcher::evaluate() {
    DeviceLink* link = m_window.deviceLink();
    if (!link) return;  // before the window's start-up
    // A job of the session (a Save, a read) may still change the host copy, and a dialog of
    // the window works on it: asked again when the jobs are done, or soon after the dialog.
    if (link->session().busy()) return;
    if (QApplication::activeModalWidget()) {
        m_settle.start(appprofiles::kSettleTime);
        return;
    }
    const std::vector<std::string> existing = profiles();
    if (const auto& active = m_planner.active();
        active && std::find(existing.begin(), existing.end(), active->name) == existing.end()) {
        m_planner.profileRemoved(active->name);  // deleted or renamed behind the window
    }
    const appprofiles::Facts facts{m_rules.rules(), existing, unsavedEdits(), link->connected()};
    const appprofiles::SwitchStatus before = m_planner.status();
    const appprofiles::TimePoint now = m_now();
    const auto target = m_planner.decide(facts, now);
    armTimer(now);
    if (target) startSwitch(*target);
    if (m_planner.status() != before) m_window.update();
    if (!link->session().busy() && !m_planner.settlesAt(now) &&
        m_planner.status().state != appprofiles::SwitchState::Switching) {
        emit settled();
    }
}

void AppProfileSwitcher::armTimer(appprofiles::TimePoint now) {
    const auto at = m_planner.settlesAt(now);
    if (!at) {
        m_settle.stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*at - now);
    m_settle.start(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(1)));
}

void AppProfileSwitcher::startSwitch(const appprofiles::ActiveProfile& profile) {
    qCDebug(lcApps) << "switching to profile" << QString::fromStdString(profile.name)
                    << (profile.choice == appprofiles::Choice::ByHand ? "by hand"
                                                                      : "automatically");
    const profiles::ProfileStore store(m_profileFolder);
    const auto& rows = store.rows();
    const auto row = std::find(rows.begin(), rows.end(), profile.name) - rows.begin();
    const auto bytes =
        row < std::ssize(rows)
            ? readFilePrefix(store.pathOf(int(row)), model::kKeymapFileSize)
            : Result<std::vector<std::uint8_t>>(systemError("no profile " + profile.name));
    if (!bytes) {
        qCWarning(lcFiles) << "profile:" << QString::fromStdString(bytes.error().context);
        m_planner.switchEnded(false);
        return;
    }
    // The profile replaces the host copy as the profile window's Load does; when the keyboard
    // holds it already, nothing is sent.
    const bool send = m_window.configModel().withLock([&](model::ConfigState& s) {
        auto loaded = std::make_unique<model::ConfigState>(s);
        model::takeFileBytes(*bytes, &loaded->image, loaded->actions);
        model::fillOwnCodes(loaded->actions);
        s.image = loaded->image;
        s.actions = loaded->actions;
        model::recomputeChangedKeys(s);
        const bool differs = s.image != s.syncedImage || s.actions != s.syncedActions;
        m_loaded = differs ? std::move(loaded) : nullptr;
        return differs;
    });
    m_window.hostCopyReplaced();
    if (!send) {
        m_planner.switchEnded(true);
        return;
    }
    m_window.setBusy(true);
    QPointer<AppProfileSwitcher> self(this);
    m_window.deviceLink()->session().save([self](const Status& s) {
        QMetaObject::invokeMethod(self, [self, s] { self->switchEnded(s); });
    });
}

void AppProfileSwitcher::switchEnded(const Status& status) {
    // A System error comes after the keyboard took the profile (keymap.bin was not written):
    // the window tells that one as for its own Save.
    const bool onKeyboard = status.ok() || status.error().kind == ErrorKind::System;
    // The window hears of this Save's end right after this: it tells no other failure of it.
    m_ownSaveEnd = !onKeyboard;
    if (!status) {
        qCDebug(lcDevice) << "profile switch:" << QString::fromStdString(status.error().context);
    }
    if (onKeyboard) m_loaded.reset();
    m_planner.switchEnded(onKeyboard);
    m_window.update();
}

}  // namespace tavrik::app
