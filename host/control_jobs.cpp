#include "host/control_jobs.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QPointer>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "describe/configuration.h"
#include "describe/set_command.h"
#include "host/app_rules_file.h"
#include "host/control_protocol.h"
#include "host/document/config_document.h"
#include "macro/macro_store.h"
#include "model/keymap_file.h"
#include "profiles/profile_names.h"
#include "profiles/profile_store.h"

namespace tavrik::app {
namespace {

using control::Failure;
using control::failureReply;

// An edit checked before the host copy is touched; applied to a copy of the state.
struct PreparedEdit {
    QByteArray profile;                                 // profile file bytes, or
    std::unique_ptr<describe::Configuration> document;  // a whole configuration, or
    std::vector<std::string> setArgs;                   // one `set` argument list
};

std::optional<QJsonObject> prepare(const QJsonObject& request, PreparedEdit& out) {
    const QString command = request.value(QStringLiteral("command")).toString();
    if (command == QLatin1StringView("set")) {
        const QJsonArray args = request.value(QStringLiteral("args")).toArray();
        if (args.isEmpty()) {
            return failureReply(Failure::Usage,
                                QStringLiteral("set needs a setting; see tavrikctl --help"));
        }
        for (const QJsonValue& a : args) out.setArgs.push_back(a.toString().toStdString());
        return std::nullopt;
    }
    if (request.contains(QStringLiteral("profile"))) {
        out.profile =
            QByteArray::fromBase64(request.value(QStringLiteral("profile")).toString().toLatin1());
        if (out.profile.size() != qsizetype(model::kImageSize) &&
            out.profile.size() != qsizetype(model::kKeymapFileSize)) {
            return failureReply(Failure::File,
                                QStringLiteral("a profile holds %1 or %2 bytes, not %3; give a "
                                               "profile file saved by the tool")
                                    .arg(model::kImageSize)
                                    .arg(model::kKeymapFileSize)
                                    .arg(out.profile.size()));
        }
        return std::nullopt;
    }
    out.document = std::make_unique<describe::Configuration>();
    const Status s = ctl::importJsonObject(
        request.value(QStringLiteral("configuration")).toObject(), *out.document);
    if (!s) return failureReply(s.error());
    return std::nullopt;
}

// Applies a prepared edit to `state` (a copy); the macro store changes only with a document.
Status applyPrepared(const PreparedEdit& edit, model::ConfigState& state,
                     const macro::MacroStore& macros) {
    if (!edit.setArgs.empty()) return describe::applySetCommand(state, macros, edit.setArgs);
    if (!edit.profile.isEmpty()) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(edit.profile.constData());
        model::takeFileBytes({data, static_cast<std::size_t>(edit.profile.size())}, &state.image,
                             state.actions);
        return {};
    }
    state.image = edit.document->image;
    state.actions = edit.document->actions;
    return {};
}

}  // namespace

ControlJobs::ControlJobs(HostAccess access, QObject* parent)
    : QObject(parent), m_access(std::move(access)) {}

void ControlJobs::run(const QJsonObject& request, Reply reply, Wanted wanted) {
    const int version = request.value(QStringLiteral("version")).toInt(control::kProtocolVersion);
    if (version != control::kProtocolVersion) {
        reply(failureReply(Failure::Usage,
                           QStringLiteral("tavrikctl and the running tool are different "
                                          "versions; install both from one package")));
        return;
    }
    const QString command = request.value(QStringLiteral("command")).toString();
    if (command == QLatin1StringView("rules")) return rules(request, reply);
    if (!m_access.link) {
        return reply(
            failureReply(Failure::Usage, QStringLiteral("\"%1\" needs the keyboard").arg(command)));
    }
    if (auto refused = otherKeyboard(request)) return reply(*refused);
    if (command == QLatin1StringView("status")) {
        status(reply);
    } else if (command == QLatin1StringView("read")) {
        read(reply, wanted);
    } else if (command == QLatin1StringView("get")) {
        get(reply, wanted);
    } else if (command == QLatin1StringView("apply") || command == QLatin1StringView("set")) {
        edit(request, reply, wanted);
    } else {
        reply(failureReply(Failure::Usage, QStringLiteral("unknown request \"%1\"").arg(command)));
    }
}

std::optional<QJsonObject> ControlJobs::otherKeyboard(const QJsonObject& request) const {
    const QString ours = QString::fromLatin1(device::transportName(m_access.link->transport()));
    const QString theirs = request.value(QStringLiteral("transport")).toString(ours);
    if (theirs != ours) {
        return failureReply(Failure::Usage,
                            QStringLiteral("the running tool drives the %1 keyboard, not the %2 "
                                           "one; quit it or give the options it was started with")
                                .arg(ours, theirs));
    }
    return std::nullopt;
}

std::optional<QJsonObject> ControlJobs::keyboardMissing() const {
    return control::unreachableReply(m_access.link->state());
}

void ControlJobs::status(const Reply& reply) {
    QJsonObject r = control::okReply();
    const device::ConnectionState state = m_access.link->state();
    const bool connected = state == device::ConnectionState::Connected;
    r.insert(QStringLiteral("state"), QString::fromLatin1(device::connectionStateName(state)));
    r.insert(QStringLiteral("connected"), connected);
    r.insert(QStringLiteral("permission"), state != device::ConnectionState::NoPermission);
    if (const auto v = m_access.link->session().firmwareVersion(); connected && v) {
        r.insert(QStringLiteral("firmware"), QStringLiteral("%1.%2").arg((*v)[0]).arg((*v)[1]));
    }
    r.insert(QStringLiteral("transport"),
             QString::fromLatin1(device::transportName(m_access.link->transport())));
    r.insert(QStringLiteral("dataFolder"), m_access.dataFolder);
    reply(r);
}

void ControlJobs::whenIdle(const Wanted& wanted, std::function<Then(model::ConfigState&)> f) {
    if (wanted && !wanted()) return;
    if (m_access.link->session().busy()) {
        // A queued or running job (the start-up read, a Save) changes the host copy: the
        // request runs on the link's idle signal, after the job's result is in.
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(m_access.link, &DeviceLink::idle, this,
                        [this, once, wanted, f = std::move(f)]() mutable {
                            disconnect(*once);
                            whenIdle(wanted, std::move(f));
                        });
        return;
    }
    Then then;
    {
        auto guard = m_access.model->lock();
        then = f(*guard);
    }
    if (then) then();
}

void ControlJobs::get(const Reply& reply, const Wanted& wanted) {
    whenIdle(wanted, [this, reply](model::ConfigState& state) -> Then {
        const QJsonObject r = configurationReply(state.image, state.actions);
        return [reply, r] { reply(r); };
    });
}

void ControlJobs::read(const Reply& reply, const Wanted& wanted) {
    if (auto missing = keyboardMissing()) return reply(*missing);
    if (m_access.hostCopyIsKeyboard) return get(reply, wanted);
    whenIdle(wanted, [this, reply, wanted](model::ConfigState& state) -> Then {
        // Host-only bytes (Win lock, reserved areas) come from the last-synchronised copy.
        auto image = std::make_shared<model::Image>(state.syncedImage);
        return [this, image, reply, wanted] { readKeyboard(image, reply, wanted); };
    });
}

void ControlJobs::readKeyboard(const std::shared_ptr<model::Image>& image, const Reply& reply,
                               const Wanted& wanted) {
    QPointer<ControlJobs> self(this);
    m_access.link->session().readAllInto(image, [self, image, reply, wanted](const Status& s) {
        QMetaObject::invokeMethod(self, [self, image, reply, wanted, s] {
            if (!s) return reply(failureReply(s.error()));
            self->whenIdle(wanted, [self, image, reply](model::ConfigState& state) -> Then {
                const QJsonObject r = self->configurationReply(*image, state.actions);
                return [reply, r] { reply(r); };
            });
        });
    });
}

QJsonObject ControlJobs::configurationReply(const model::Image& image,
                                            const model::KeyActionTable& actions) const {
    auto config = std::make_unique<describe::Configuration>();
    config->image = image;
    config->actions = actions;
    config->macros = *m_access.macros;
    QJsonObject r = control::okReply();
    r.insert(QStringLiteral("configuration"), ctl::toJsonObject(*config));
    return r;
}

void ControlJobs::edit(const QJsonObject& request, const Reply& reply, const Wanted& wanted) {
    if (auto missing = keyboardMissing()) return reply(*missing);
    if (m_access.canEdit && !m_access.canEdit()) {
        return reply(failureReply(Failure::Busy,
                                  QStringLiteral("the tool has a dialog open; close it and run "
                                                 "the command again")));
    }
    auto edit = std::make_shared<PreparedEdit>();
    if (auto refused = prepare(request, *edit)) return reply(*refused);
    whenIdle(wanted, [this, edit, reply](model::ConfigState& state) {
        auto changed = std::make_unique<model::ConfigState>(state);
        if (Status s = applyPrepared(*edit, *changed, *m_access.macros); !s) {
            const QJsonObject refused = failureReply(s.error());
            return Then([reply, refused] { reply(refused); });
        }
        if (edit->document && edit->document->macros != *m_access.macros) {
            if (Status s = macro::saveMacroFile(edit->document->macros, m_access.macroFile); !s) {
                const QJsonObject refused = failureReply(s.error());
                return Then([reply, refused] { reply(refused); });
            }
            *m_access.macros = edit->document->macros;
        }
        state = *changed;
        model::recomputeChangedKeys(state);
        // The window follows in this same turn, before a paint could store its old slider
        // positions over the new values.
        return Then([this, reply] {
            if (m_access.edited) m_access.edited();
            save(reply);
        });
    });
}

void ControlJobs::rules(const QJsonObject& request, const Reply& reply) {
    AppRulesFile* file = m_access.appRules;
    if (!file) {
        return reply(failureReply(Failure::Usage, QStringLiteral("no application rules here")));
    }
    // The rules belong to a data folder: one named by the asker must be this host's.
    const QString theirs = request.value(QStringLiteral("dataFolder")).toString();
    const auto canonical = [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    };
    if (!theirs.isEmpty() && canonical(theirs) != canonical(m_access.dataFolder)) {
        return reply(failureReply(
            Failure::Usage, QStringLiteral("the running tool keeps its rules in %1, not in %2; "
                                           "give --data-dir %1, or quit the tool")
                                .arg(m_access.dataFolder, theirs)));
    }
    file->load();  // the file may have been edited or damaged by hand since
    const QString op = request.value(QStringLiteral("op")).toString();
    const std::string profile = request.value(QStringLiteral("profile")).toString().toStdString();
    const QString path = QString::fromStdString(file->path().string());
    const profiles::ProfileStore store(
        profiles::profileFolder(std::filesystem::path(m_access.dataFolder.toStdString())));
    const auto& rows = store.rows();
    const bool listed = std::find(rows.begin(), rows.end(), profile) != rows.end();
    const auto unusable = [&] {
        return failureReply(Failure::File,
                            QStringLiteral("%1 cannot be used: %2; fix or remove it")
                                .arg(path, QString::fromStdString(*file->problem())));
    };
    if (op == QLatin1StringView("list")) {
        if (file->problem()) return reply(unusable());
        QJsonObject r = control::okReply();
        r.insert(QStringLiteral("rules"), appRulesObject(file->rules()));
        QJsonArray missing;
        for (const std::string& m : appprofiles::missingProfiles(file->rules(), rows)) {
            missing.append(QString::fromStdString(m));
        }
        r.insert(QStringLiteral("missing"), missing);
        return reply(r);
    }
    if (m_access.canEdit && !m_access.canEdit()) {
        return reply(failureReply(Failure::Busy,
                                  QStringLiteral("the tool has a dialog open; close it and run "
                                                 "the command again")));
    }
    // Asked before a profile is renamed or deleted: the rules will be carried.
    if (op == QLatin1StringView("check")) {
        return reply(file->problem() ? unusable() : control::okReply());
    }
    const std::string app = request.value(QStringLiteral("app")).toString().toStdString();
    const std::string to = request.value(QStringLiteral("to")).toString().toStdString();
    const bool binds = op == QLatin1StringView("bind") || op == QLatin1StringView("default");
    std::function<appprofiles::Edit(appprofiles::AppRules&)> f;
    if (op == QLatin1StringView("bind")) {
        f = [&](appprofiles::AppRules& r) { return appprofiles::bind(r, profile, app); };
    } else if (op == QLatin1StringView("unbind")) {
        f = [&](appprofiles::AppRules& r) { return appprofiles::unbind(r, profile, app); };
    } else if (op == QLatin1StringView("default")) {
        f = [&](appprofiles::AppRules& r) { return appprofiles::setDefault(r, profile); };
    } else if (op == QLatin1StringView("rename")) {
        if (profiles::profileNameProblem(to)) {
            return reply(failureReply(Failure::Usage, QStringLiteral("not a profile name")));
        }
        f = [&](appprofiles::AppRules& r) { return appprofiles::renameProfile(r, profile, to); };
    } else if (op == QLatin1StringView("remove")) {
        f = [&](appprofiles::AppRules& r) { return appprofiles::removeProfile(r, profile); };
    } else {
        return reply(
            failureReply(Failure::Usage, QStringLiteral("unknown rules request \"%1\"").arg(op)));
    }
    if (profiles::profileNameProblem(profile)) {
        return reply(failureReply(Failure::Usage, QStringLiteral("not a profile name")));
    }
    if (binds && !listed) {
        return reply(failureReply(
            Failure::Usage, QStringLiteral("no profile \"%1\" in %2; list them with tavrikctl "
                                           "profiles list")
                                .arg(QString::fromStdString(profile),
                                     QString::fromStdString(store.folder().string()))));
    }
    const bool takesApp = op == QLatin1StringView("bind") || op == QLatin1StringView("unbind");
    if (takesApp && appprofiles::appIdProblem(app)) {
        return reply(failureReply(
            Failure::Usage,
            QStringLiteral("\"%1\" cannot be an application id: give the window class (X11) "
                           "or app id (Wayland), at most %2 bytes, no control characters")
                .arg(QString::fromStdString(app))
                .arg(appprofiles::kMaxAppIdBytes)));
    }
    const auto edited = file->edit(f);
    if (!edited) {
        return reply(
            failureReply(Failure::File, QString::fromStdString(edited.error().context) +
                                            QStringLiteral("; the rules file is left as it is")));
    }
    if (*edited == appprofiles::Edit::TooMany) {
        return reply(failureReply(Failure::Usage,
                                  QStringLiteral("at most %1 applications can be bound; unbind "
                                                 "one first")
                                      .arg(appprofiles::kMaxBindings)));
    }
    const bool changed = *edited == appprofiles::Edit::Changed;
    if (changed && m_access.rulesEdited) m_access.rulesEdited();
    QJsonObject r = control::okReply();
    r.insert(QStringLiteral("changed"), changed);
    reply(r);
}

void ControlJobs::save(const Reply& reply) {
    if (m_access.saveStarted) m_access.saveStarted();
    QPointer<ControlJobs> self(this);
    m_access.link->session().save([self, reply](const Status& s) {
        QMetaObject::invokeMethod(self, [reply, s] {
            if (s) return reply(control::okReply());
            // A Save fails with a System error only after the keyboard took the settings.
            if (s.error().kind == ErrorKind::System) {
                return reply(failureReply(
                    Failure::NotStored,
                    QStringLiteral("the keyboard took the change, but it is not stored: %1")
                        .arg(QString::fromStdString(s.error().context))));
            }
            reply(failureReply(s.error()));
        });
    });
}

}  // namespace tavrik::app
