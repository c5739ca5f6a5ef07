#pragma once
// AppProfileSwitcher: puts the profile of the application in front on the keyboard. It hears
// the active-application watcher, asks appprofiles::SwitchPlanner what to do, and switches by
// loading the profile file into the host copy and running the session's Save, which sends only
// the differences. A switch's failure is told in the status line only, never in a message box.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "appprofiles/switch_planner.h"
#include "common/language.h"
#include "common/result.h"
#include "device/session_listener.h"
#include "host/app_rules_file.h"
#include "model/config_state.h"

namespace tavrik::app {

class ActiveAppWatcher;
struct ActiveApp;
class MainWindow;

class AppProfileSwitcher : public QObject {
    Q_OBJECT
public:
    using Now = std::function<appprofiles::TimePoint()>;
    // `watcher` may be null (no following; the tray and the profile window still work); `now`
    // empty: the steady clock.
    AppProfileSwitcher(MainWindow& window, ActiveAppWatcher* watcher,
                       const std::filesystem::path& dataFolder, Now now);
    ~AppProfileSwitcher() override;

    AppRulesFile& rules() { return m_rules; }
    // The profiles of the profile folder, listed now.
    std::vector<std::string> profiles() const;
    const appprofiles::SwitchPlanner& planner() const { return m_planner; }
    // The status line's words about profiles; empty when there is nothing to say.
    QString statusText(Language lang) const;

    // Asks what to do now and does it (a switch, or arming the settle timer). The watcher, job
    // ends and rule changes call it; tests call it after moving their clock on.
    void evaluate();
    // The tray's choice.
    void chooseByHand(const std::string& profile);
    // The profile window renamed (to non-empty) or deleted (to empty) a profile.
    void profileMoved(const std::string& from, const std::string& to);
    // The rules or the profile folder changed behind the window (tavrikctl).
    void rulesChanged();
    // True once for the end of a Save this switcher ran: the window then tells no failure.
    bool takeOwnSaveEnd();
    // The notice that the rules file cannot be used, once per problem; none otherwise.
    std::optional<QString> takeRulesNotice(Language lang);

signals:
    // evaluate() found nothing left to do: the application in front has settled, no switch
    // runs and the session has no job. The keyboard then holds the wanted profile, or a switch
    // waits for what it needs (the edits saved, the keyboard back).
    void settled();

private:
    void activeAppChanged(const ActiveApp& app);
    void jobFinished(device::Job job, const Status& status);
    bool unsavedEdits();
    void startSwitch(const appprofiles::ActiveProfile& profile);
    void switchEnded(const Status& status);
    void armTimer(appprofiles::TimePoint now);

    MainWindow& m_window;
    ActiveAppWatcher* m_watcher;
    std::filesystem::path m_profileFolder;
    Now m_now;
    AppRulesFile m_rules;
    appprofiles::SwitchPlanner m_planner;
    QTimer m_settle;
    // What a switch loaded into the host copy while its Save has not reached the keyboard: not
    // the user's edits, so it never holds up the next switch.
    std::unique_ptr<model::ConfigState> m_loaded;
    bool m_ownSaveEnd = false;
    std::optional<std::string> m_toldProblem;
};

}  // namespace tavrik::app
