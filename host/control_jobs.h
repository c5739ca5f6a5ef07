#pragma once
// Runs tavrikctl's requests against one host process's configuration and device session: the
// tool's own (a request forwarded over its socket) or tavrikctl's (no tool running). Both go
// through this one place, so both put the same reports on the wire and store keymap.bin alike.
//
// A request that changes the configuration is checked completely first (bad input changes
// nothing), then edits the host copy on this object's thread, lets the window follow, and queues
// the session's Save: the same write-all of the difference, snapshot and keymap.bin as the Save
// command.

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "host/device_link.h"
#include "macro/macro_layout.h"
#include "model/config_model.h"

namespace tavrik::describe {
struct Configuration;
}

namespace tavrik::app {

class AppRulesFile;

struct HostAccess {
    model::ConfigModel* model = nullptr;
    macro::MacroStore* macros = nullptr;
    DeviceLink* link = nullptr;
    std::filesystem::path macroFile;  // MacroDefine.bin
    QString dataFolder;
    // The host copy is what the keyboard holds (tavrikctl's session right after its start-up
    // read): "read" answers from it instead of reading again.
    bool hostCopyIsKeyboard = false;
    // False while the window has a dialog that edits the configuration open.
    std::function<bool()> canEdit;
    // The host copy changed: the window follows it (sliders, repaint). Called with no lock held.
    std::function<void()> edited;
    // A Save for a request is queued: the window shows that a device job runs until the Save's
    // end reaches it, as for its own Save.
    std::function<void()> saveStarted;
    // The rules of profiles per application ("rules" requests); null: not served. A host
    // without a device link serves only these.
    AppRulesFile* appRules = nullptr;
    // The rules changed through a request: the window follows. Called with no lock held.
    std::function<void()> rulesEdited;
};

class ControlJobs : public QObject {
    Q_OBJECT
public:
    explicit ControlJobs(HostAccess access, QObject* parent = nullptr);

    using Reply = std::function<void(const QJsonObject&)>;
    // False once the asker has gone (its connection closed): a request still waiting for the
    // configuration or the session is then dropped unanswered instead of run.
    using Wanted = std::function<bool()>;
    // Runs one request; `reply` is called exactly once, on this object's thread, unless the
    // request was dropped.
    void run(const QJsonObject& request, Reply reply, Wanted wanted = {});

private:
    void status(const Reply& reply);
    void read(const Reply& reply, const Wanted& wanted);
    void get(const Reply& reply, const Wanted& wanted);
    void readKeyboard(const std::shared_ptr<model::Image>& image, const Reply& reply,
                      const Wanted& wanted);
    QJsonObject configurationReply(const model::Image& image,
                                   const model::KeyActionTable& actions) const;
    void edit(const QJsonObject& request, const Reply& reply, const Wanted& wanted);
    void save(const Reply& reply);
    void rules(const QJsonObject& request, const Reply& reply);
    // Runs f with the configuration lock once no device job is queued or running (waiting for
    // the link's idle signal, never blocking), then what f returns with the lock released;
    // nothing once the request is no longer wanted.
    using Then = std::function<void()>;
    void whenIdle(const Wanted& wanted, std::function<Then(model::ConfigState&)> f);
    std::optional<QJsonObject> keyboardMissing() const;
    // A request whose transport names another keyboard than this host's is refused (the data
    // folder may differ: tavrikctl writes profiles where its own options say).
    std::optional<QJsonObject> otherKeyboard(const QJsonObject& request) const;

    HostAccess m_access;
};

}  // namespace tavrik::app
