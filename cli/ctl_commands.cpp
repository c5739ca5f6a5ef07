#include "cli/ctl_commands.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "appprofiles/app_rules.h"
#include "cli/completions.h"
#include "cli/ctl_host.h"
#include "describe/configuration.h"
#include "describe/name_lists.h"
#include "describe/set_command.h"
#include "host/control_protocol.h"
#include "host/document/config_document.h"
#include "macro/macro_store.h"
#include "model/keymap_file.h"
#include "profiles/profile_names.h"
#include "profiles/profile_store.h"

namespace tavrik::ctl {
namespace {

using app::control::Failure;

// A command's outcome: 0, or an exit code after its one-line message went to stderr.
int fail(Failure failure, const QString& message) {
    std::fprintf(stderr, "tavrikctl: %s\n", message.toUtf8().constData());
    return app::control::exitCode(failure);
}

Failure failureOf(const QJsonObject& reply) {
    const auto f = app::control::failureFromName(reply.value(QStringLiteral("error")).toString());
    return f.value_or(Failure::Device);
}

int exitCodeOf(const QJsonObject& reply) {
    return app::control::exitCode(failureOf(reply));
}

int failed(const QJsonObject& reply) {
    return fail(failureOf(reply), reply.value(QStringLiteral("message")).toString());
}

bool ok(const QJsonObject& reply) {
    return reply.value(QStringLiteral("ok")).toBool();
}

QJsonObject requestOf(const char* command) {
    return QJsonObject{{QStringLiteral("version"), app::control::kProtocolVersion},
                       {QStringLiteral("command"), QString::fromLatin1(command)}};
}

// Reads a whole input file, refusing one larger than `limit` before reading it.
std::optional<QByteArray> readInput(const QString& path, qint64 limit, QString& error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, f.errorString());
        return std::nullopt;
    }
    if (f.size() > limit) {
        error = QStringLiteral("%1 is too large (%2 bytes) to be a configuration")
                    .arg(path)
                    .arg(f.size());
        return std::nullopt;
    }
    return f.readAll();
}

bool toStandardOutput(const QString& path) {
    return path == QLatin1StringView("-");
}

// Why an output path cannot be written, checked before the keyboard is opened: a folder in its
// place, or a folder that does not exist or that this user may not write.
std::optional<QString> outputProblem(const QString& path) {
    if (toStandardOutput(path)) return std::nullopt;
    const QFileInfo file(path);
    if (file.isDir()) return QStringLiteral("cannot write %1: it is a folder").arg(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir()) {
        return QStringLiteral("cannot write %1: no folder %2").arg(path, folder.filePath());
    }
    if (!folder.isWritable()) {
        return QStringLiteral("cannot write %1: the folder %2 is not writable")
            .arg(path, folder.filePath());
    }
    return std::nullopt;
}

// Writes a whole file atomically (a failure leaves an existing file as it was), or to standard
// output for "-".
bool writeOutput(const QString& path, const QByteArray& bytes, QString& error) {
    if (toStandardOutput(path)) {
        const auto n = static_cast<std::size_t>(bytes.size());
        if (std::fwrite(bytes.constData(), 1, n, stdout) == n && std::fflush(stdout) == 0) {
            return true;
        }
        error = QStringLiteral("cannot write to standard output");
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

bool looksLikeJson(const QString& path, const QByteArray& bytes) {
    if (path.endsWith(QLatin1StringView(".json"), Qt::CaseInsensitive)) return true;
    const QByteArray start = bytes.left(64).trimmed();
    return start.startsWith('{');
}

// The request that applies a file: a JSON document (checked here first) or profile bytes.
std::optional<QJsonObject> applyRequest(const QString& path, bool jsonOnly, QString& error,
                                        Failure& failure) {
    failure = Failure::File;
    const auto bytes = readInput(path, qint64(kMaxDocumentBytes), error);
    if (!bytes) return std::nullopt;
    QJsonObject request = requestOf("apply");
    if (jsonOnly || looksLikeJson(path, *bytes)) {
        auto config = std::make_unique<describe::Configuration>();
        if (Status s = importJson(*bytes, *config); !s) {
            error = QStringLiteral("%1: %2").arg(path, QString::fromStdString(s.error().context));
            return std::nullopt;
        }
        request.insert(QStringLiteral("configuration"), QJsonDocument::fromJson(*bytes).object());
        return request;
    }
    if (bytes->size() != qsizetype(model::kImageSize) &&
        bytes->size() != qsizetype(model::kKeymapFileSize)) {
        error = QStringLiteral("%1 is not a profile: it holds %2 bytes, a profile %3 or %4")
                    .arg(path)
                    .arg(bytes->size())
                    .arg(model::kImageSize)
                    .arg(model::kKeymapFileSize);
        return std::nullopt;
    }
    request.insert(QStringLiteral("profile"), QString::fromLatin1(bytes->toBase64()));
    return request;
}

std::unique_ptr<Host> host(const CtlCommand& c, int& exit, OwnUse use) {
    QString error;
    Failure failure = Failure::Device;
    auto h = connectHost(c.options, error, failure, use);
    if (!h) exit = fail(failure, error);
    return h;
}

// The configuration in a "read" or "get" answer.
std::unique_ptr<describe::Configuration> configurationOf(const QJsonObject& reply, int& exit) {
    auto config = std::make_unique<describe::Configuration>();
    if (Status s =
            importJsonObject(reply.value(QStringLiteral("configuration")).toObject(), *config);
        !s) {
        exit =
            fail(Failure::Device, QStringLiteral("the configuration that came back is damaged: ") +
                                      QString::fromStdString(s.error().context));
        return nullptr;
    }
    return config;
}

// The connection state of a status answer; a tool without "state" says it in two flags.
device::ConnectionState stateOf(const QJsonObject& status) {
    using device::ConnectionState;
    if (const auto s = device::connectionStateFromName(
            status.value(QStringLiteral("state")).toString().toStdString())) {
        return *s;
    }
    if (status.value(QStringLiteral("connected")).toBool()) return ConnectionState::Connected;
    return status.value(QStringLiteral("permission")).toBool() ? ConnectionState::Absent
                                                               : ConnectionState::NoPermission;
}

const char* keyboardWord(device::ConnectionState state) {
    switch (state) {
        case device::ConnectionState::Connected:
            return "connected";
        case device::ConnectionState::Absent:
            return "not found";
        case device::ConnectionState::NoPermission:
            return "present, no permission";
        case device::ConnectionState::Failed:
            break;
    }
    return "present, cannot be opened";
}

void printJsonLine(const QJsonValue& v) {
    const QByteArray line = v.isArray()
                                ? QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact)
                                : QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact);
    std::printf("%s\n", line.constData());
}

void printStatus(const QJsonObject& r, device::ConnectionState state, bool toolRuns) {
    const bool connected = state == device::ConnectionState::Connected;
    const QString transport = r.value(QStringLiteral("transport")).toString();
    std::printf("keyboard: %s\n", keyboardWord(state));
    std::printf("transport: %s\n", transport.toUtf8().constData());
    if (connected) {
        std::printf("firmware: %s\n",
                    r.value(QStringLiteral("firmware")).toString().toUtf8().constData());
    }
    std::printf("tool: %s\n", toolRuns ? "running" : "not running");
    std::printf("data folder: %s\n",
                r.value(QStringLiteral("dataFolder")).toString().toUtf8().constData());
}

// One JSON object on one line: keyboard (the connection state's name), transport, firmware
// (when connected), tool running, data folder.
void printStatusJson(const QJsonObject& r, device::ConnectionState state, bool toolRuns) {
    QJsonObject out;
    out.insert(QStringLiteral("keyboard"), QString::fromLatin1(device::connectionStateName(state)));
    out.insert(QStringLiteral("transport"), r.value(QStringLiteral("transport")));
    if (state == device::ConnectionState::Connected) {
        out.insert(QStringLiteral("firmware"), r.value(QStringLiteral("firmware")));
    }
    out.insert(QStringLiteral("toolRunning"), toolRuns);
    out.insert(QStringLiteral("dataFolder"), r.value(QStringLiteral("dataFolder")));
    printJsonLine(out);
}

int status(const CtlCommand& c) {
    int exit = 0;
    auto h = host(c, exit, OwnUse::Status);
    if (!h) return exit;
    const QJsonObject r = h->request(requestOf("status"));
    if (!ok(r)) return failed(r);
    const device::ConnectionState state = stateOf(r);
    if (c.json) {
        printStatusJson(r, state, h->forwarded());
    } else {
        printStatus(r, state, h->forwarded());
    }
    const auto unreachable = app::control::unreachableReply(state);
    if (!unreachable) return 0;
    // Not found says so on its own line above; the other states also say what to do.
    if (state == device::ConnectionState::Absent) return exitCodeOf(*unreachable);
    return failed(*unreachable);
}

int dump(const CtlCommand& c, bool json, const QString& output) {
    if (const auto problem = outputProblem(output.isEmpty() ? QStringLiteral("-") : output)) {
        return fail(Failure::File, *problem);
    }
    int exit = 0;
    auto h = host(c, exit, OwnUse::Read);
    if (!h) return exit;
    const QJsonObject r = h->request(requestOf("read"));
    if (!ok(r)) return failed(r);
    const auto config = configurationOf(r, exit);
    if (!config) return exit;
    // The answer's document is what toJsonObject gives for the configuration imported from it.
    const QJsonObject document = r.value(QStringLiteral("configuration")).toObject();
    const QByteArray text =
        json ? exportJson(document) : QByteArray::fromStdString(dumpText(*config, document));
    QString error;
    return writeOutput(output.isEmpty() ? QStringLiteral("-") : output, text, error)
               ? 0
               : fail(Failure::File, error);
}

int apply(const CtlCommand& c, const QString& path, bool jsonOnly) {
    QString error;
    Failure failure = Failure::File;
    const auto request = applyRequest(path, jsonOnly, error, failure);
    if (!request) return fail(failure, error);
    int exit = 0;
    auto h = host(c, exit, OwnUse::Change);
    if (!h) return exit;
    const QJsonObject r = h->request(*request);
    return ok(r) ? 0 : failed(r);
}

// Why a `set` argument list is refused, checked here before any connection is made. A macro
// name is left to the host: only it knows the macros.
std::optional<QString> setProblem(const QStringList& args) {
    if (args.size() > 2 && args[0] == QLatin1StringView("key") &&
        args[2] == QLatin1StringView("macro")) {
        return std::nullopt;
    }
    std::vector<std::string> words;
    for (const QString& a : args) words.push_back(a.toStdString());
    auto scratch = std::make_unique<model::ConfigState>();
    const macro::MacroStore none{};
    const Status s = describe::applySetCommand(*scratch, none, words);
    if (s) return std::nullopt;
    return QString::fromStdString(s.error().context);
}

int set(const CtlCommand& c) {
    if (const auto problem = setProblem(c.args)) return fail(Failure::Usage, *problem);
    QJsonObject request = requestOf("set");
    request.insert(QStringLiteral("args"), QJsonArray::fromStringList(c.args));
    int exit = 0;
    auto h = host(c, exit, OwnUse::Change);
    if (!h) return exit;
    const QJsonObject r = h->request(request);
    return ok(r) ? 0 : failed(r);
}

// The profile folder, from tavrikctl's own options and rules: never from an answer over the
// socket, so that no other process can choose where tavrikctl writes.
QString profileFolderOf(const CtlCommand& c) {
    const QString data = ownDataFolder(c.options);
    return QString::fromStdString(
        profiles::profileFolder(std::filesystem::path(data.toStdString())).string());
}

// Why a typed name cannot be a profile's, or none.
std::optional<QString> nameProblem(const QString& typed) {
    const auto problem = profiles::profileNameProblem(typed.toStdString());
    if (!problem) return std::nullopt;
    const QString why =
        *problem == profiles::NameProblem::TooLong
            ? QStringLiteral("name too long: a profile's file name takes at most %1 bytes")
                  .arg(profiles::kMaxFileNameBytes)
        : *problem == profiles::NameProblem::NotListed
            ? QStringLiteral("it would not be listed; end it with .bin or leave .bin out")
            : QStringLiteral("use letters, digits and blanks, without / or \\");
    return QStringLiteral("\"%1\" cannot be a profile name: %2").arg(typed, why);
}

QStringList rowsOf(const profiles::ProfileStore& store) {
    QStringList out;
    for (const std::string& row : store.rows()) out << QString::fromStdString(row);
    return out;
}

// The listed row of a typed name, or the message that names the closest one.
std::optional<int> rowOf(const profiles::ProfileStore& store, const QString& typed,
                         QString& error) {
    const QStringList rows = rowsOf(store);
    const auto i = rows.indexOf(typed);
    if (i >= 0) return int(i);
    error =
        QStringLiteral("no profile \"%1\" in %2%3; list them with tavrikctl profiles list")
            .arg(typed, QString::fromStdString(store.folder().string()), suggestion(typed, rows));
    return std::nullopt;
}

// A store operation's outcome as an exit code: its message (English) when it has one.
int outcomeExit(const profiles::Outcome& o, const QString& silentRefusal) {
    if (o.changed) return 0;
    const QString text = o.message ? QString::fromUtf8(o.message->text.en.data(),
                                                       qsizetype(o.message->text.en.size()))
                                         .trimmed()
                                   : silentRefusal;
    return fail(Failure::File, text);
}

int profilesList(const CtlCommand& c, const profiles::ProfileStore& store) {
    if (c.json) {
        printJsonLine(QJsonArray::fromStringList(rowsOf(store)));
        return 0;
    }
    for (const std::string& row : store.rows()) std::printf("%s\n", row.c_str());
    return 0;
}

int profilesApply(Host& h, const profiles::ProfileStore& store, int row) {
    const QString path = QString::fromStdString(store.pathOf(row).string());
    QString error;
    Failure failure = Failure::File;
    const auto request = applyRequest(path, false, error, failure);
    if (!request) return fail(failure, error);
    const QJsonObject r = h.request(*request);
    return ok(r) ? 0 : failed(r);
}

// save NAME: the current configuration into the profile, created when missing.
int profilesSave(Host& h, const profiles::ProfileStore& store, const QString& typed) {
    const std::string name = typed.toStdString();
    const QStringList rows = rowsOf(store);
    const auto row = rows.indexOf(typed);
    if (row < 0 && int(store.rows().size()) >= profiles::kMaxProfiles) {
        return fail(Failure::Usage,
                    QStringLiteral("there are already %1 profiles; delete one first "
                                   "(tavrikctl profiles delete NAME)")
                        .arg(profiles::kMaxProfiles));
    }
    const QJsonObject r = h.request(requestOf("get"));
    if (!ok(r)) return failed(r);
    int exit = 0;
    const auto config = configurationOf(r, exit);
    if (!config) return exit;
    std::error_code ec;
    std::filesystem::create_directories(store.folder(), ec);
    const std::filesystem::path path =
        row >= 0 ? store.pathOf(int(row)) : store.folder() / profiles::renamedFileName(name);
    // A link in the profile folder is never written through (another user may have planted it).
    if (Status s = model::saveConfigFile(path, config->image, config->actions, WriteRule::Profile);
        !s) {
        return fail(Failure::File, QString::fromStdString(s.error().context));
    }
    return 0;
}

// A rules request names tavrikctl's own data folder: the running tool refuses one for another
// folder than its own.
QJsonObject rulesRequest(const CtlCommand& c, const char* op, const QString& profile) {
    QJsonObject r = requestOf("rules");
    r.insert(QStringLiteral("op"), QString::fromLatin1(op));
    r.insert(QStringLiteral("dataFolder"), ownDataFolder(c.options));
    if (!profile.isEmpty()) r.insert(QStringLiteral("profile"), profile);
    return r;
}

// The rules of profiles per application are written by the running tool, or under the
// instance lock by tavrikctl itself; no keyboard is opened for them.
std::unique_ptr<Host> rulesHost(const CtlCommand& c, int& exit) {
    return host(c, exit, OwnUse::Rules);
}

// delete and rename change the profile folder and carry the profile's application rules; the
// keyboard is not opened.
int profilesEdit(const CtlCommand& c, profiles::ProfileStore& store) {
    QString error;
    auto row = rowOf(store, c.args[1], error);
    if (!row) return fail(Failure::Usage, error);
    const bool remove = c.args[0] == QLatin1StringView("delete");
    const QString to = remove ? QString() : c.args[2];
    if (!remove) {
        if (const auto problem = nameProblem(to)) return fail(Failure::Usage, *problem);
    }
    int exit = 0;
    const auto h = rulesHost(c, exit);
    if (!h) return exit;
    store.relist();
    row = rowOf(store, c.args[1], error);  // the folder may have changed meanwhile
    if (!row) return fail(Failure::Usage, error);
    const QString from = QString::fromStdString(store.rows()[std::size_t(*row)]);
    // The folder changes only when the rules can follow (no dialog open, the file usable).
    const QJsonObject check = h->request(rulesRequest(c, "check", from));
    if (!ok(check)) {
        return fail(failureOf(check), QStringLiteral("the profile was left as it is: %1")
                                          .arg(check.value(QStringLiteral("message")).toString()));
    }
    if (remove) {
        exit = outcomeExit(store.remove(*row), QStringLiteral("the profile file was not found"));
    } else {
        exit = outcomeExit(store.rename(*row, to.toStdString()),
                           QStringLiteral("\"%1\" exists already in %2; a rename replaces nothing")
                               .arg(to, QString::fromStdString(store.folder().string())));
    }
    if (exit != 0) return exit;
    QJsonObject request = rulesRequest(c, remove ? "remove" : "rename", from);
    if (!remove) {
        request.insert(
            QStringLiteral("to"),
            QString::fromStdString(profiles::rowText(profiles::renamedFileName(to.toStdString()))));
    }
    const QJsonObject r = h->request(request);
    if (ok(r)) return 0;
    return fail(failureOf(r),
                QStringLiteral("the profile was %1, but its application rules were not: %2")
                    .arg(remove ? QStringLiteral("deleted") : QStringLiteral("renamed"),
                         r.value(QStringLiteral("message")).toString()));
}

// Why a typed application id cannot be bound, or none.
std::optional<QString> appIdProblem(const QString& typed) {
    if (!appprofiles::appIdProblem(typed.toStdString())) return std::nullopt;
    return QStringLiteral(
               "\"%1\" cannot be an application id: give the window class (X11) or app id "
               "(Wayland), at most %2 bytes, no control characters")
        .arg(typed)
        .arg(appprofiles::kMaxAppIdBytes);
}

// bind NAME APP-ID, bind --default NAME, unbind NAME APP-ID.
int profilesBind(const CtlCommand& c, const profiles::ProfileStore& store) {
    const bool bind = c.args[0] == QLatin1StringView("bind");
    const QString& profile = c.args[1];
    // A rule naming a profile that no longer exists can still be removed.
    QString error;
    if (bind && !rowOf(store, profile, error)) return fail(Failure::Usage, error);
    if (!bind || !c.byDefault) {
        if (const auto problem = appIdProblem(c.args[2])) return fail(Failure::Usage, *problem);
    }
    const char* op = !bind ? "unbind" : c.byDefault ? "default" : "bind";
    QJsonObject request = rulesRequest(c, op, profile);
    if (!c.byDefault) request.insert(QStringLiteral("app"), c.args[2]);
    int exit = 0;
    const auto h = rulesHost(c, exit);
    if (!h) return exit;
    const QJsonObject r = h->request(request);
    if (!ok(r)) return failed(r);
    if (!bind && !r.value(QStringLiteral("changed")).toBool()) {
        return fail(Failure::Usage, QStringLiteral("\"%1\" is not bound to \"%2\"; see "
                                                   "tavrikctl profiles rules")
                                        .arg(c.args[2], profile));
    }
    return 0;
}

// rules [--json]: each profile with its applications, the default, and which rules are
// inactive because their profile no longer exists.
int profilesRules(const CtlCommand& c) {
    int exit = 0;
    const auto h = rulesHost(c, exit);
    if (!h) return exit;
    const QJsonObject r = h->request(rulesRequest(c, "list", QString()));
    if (!ok(r)) return failed(r);
    QJsonObject rules = r.value(QStringLiteral("rules")).toObject();
    const QJsonArray missing = r.value(QStringLiteral("missing")).toArray();
    if (c.json) {
        rules.insert(QStringLiteral("inactive"), missing);
        printJsonLine(rules);
        return 0;
    }
    const auto inactive = [&](const QString& name) {
        return missing.contains(name) ? QStringLiteral(" (inactive: no such profile)") : QString();
    };
    for (const QJsonValue& entry : rules.value(QStringLiteral("profiles")).toArray()) {
        const QJsonObject o = entry.toObject();
        QStringList apps;
        for (const QJsonValue& a : o.value(QStringLiteral("apps")).toArray()) apps << a.toString();
        const QString name = o.value(QStringLiteral("profile")).toString();
        std::printf("%s: %s%s\n", name.toUtf8().constData(),
                    apps.join(QStringLiteral(", ")).toUtf8().constData(),
                    inactive(name).toUtf8().constData());
    }
    if (rules.contains(QStringLiteral("default"))) {
        const QString name = rules.value(QStringLiteral("default")).toString();
        std::printf("default: %s%s\n", name.toUtf8().constData(),
                    inactive(name).toUtf8().constData());
    }
    return 0;
}

int profilesCommand(const CtlCommand& c) {
    const QString sub = c.args[0];
    // A name that cannot be a profile is refused before the keyboard is opened.
    if (sub == QLatin1StringView("save")) {
        if (const auto problem = nameProblem(c.args[1])) return fail(Failure::Usage, *problem);
    }
    const bool edit = sub == QLatin1StringView("delete") || sub == QLatin1StringView("rename");
    const bool list = sub == QLatin1StringView("list");
    profiles::ProfileStore store(profileFolderOf(c).toStdString());
    if (edit) return profilesEdit(c, store);
    if (sub == QLatin1StringView("bind") || sub == QLatin1StringView("unbind")) {
        return profilesBind(c, store);
    }
    if (sub == QLatin1StringView("rules")) return profilesRules(c);
    // apply names a listed profile: a mistyped one is refused before the keyboard is opened.
    std::optional<int> row;
    if (sub == QLatin1StringView("apply")) {
        QString error;
        row = rowOf(store, c.args[1], error);
        if (!row) return fail(Failure::Usage, error);
    }
    int exit = 0;
    std::unique_ptr<Host> h;
    // Listing needs no keyboard; only a running tool decides which folder.
    // save only reads the keyboard (and writes the profile); apply changes it.
    if (!list || toolRunning()) {
        h = host(c, exit, row ? OwnUse::Change : OwnUse::Read);
        if (!h) return exit;
    }
    store.relist();
    if (list) return profilesList(c, store);
    if (row) {
        QString error;
        row = rowOf(store, c.args[1], error);  // the folder may have changed meanwhile
        if (!row) return fail(Failure::Usage, error);
        return profilesApply(*h, store, *row);
    }
    return profilesSave(*h, store, c.args[1]);
}

// The names `set` takes, one a line.
int listNames(const CtlCommand& c) {
    const QString& what = c.args[0];
    const std::vector<std::string> names =
        what == QLatin1StringView("effects")   ? describe::effectNames()
        : what == QLatin1StringView("presets") ? describe::presetNames()
                                               : describe::keyNames();
    for (const std::string& n : names) std::printf("%s\n", n.c_str());
    return 0;
}

int completion(const CtlCommand& c) {
    const QByteArray script = completionScript(c.args[0]).toUtf8();
    std::fwrite(script.constData(), 1, static_cast<std::size_t>(script.size()), stdout);
    return 0;
}

}  // namespace

int runCommand(const CtlCommand& c) {
    const QString& v = c.verb;
    if (v == QLatin1StringView("status")) return status(c);
    if (v == QLatin1StringView("dump")) return dump(c, c.json, c.output);
    if (v == QLatin1StringView("export")) return dump(c, true, c.args[0]);
    if (v == QLatin1StringView("apply")) return apply(c, c.args[0], false);
    if (v == QLatin1StringView("import")) return apply(c, c.args[0], true);
    if (v == QLatin1StringView("set")) return set(c);
    if (v == QLatin1StringView("list")) return listNames(c);
    if (v == QLatin1StringView("completion")) return completion(c);
    return profilesCommand(c);
}

}  // namespace tavrik::ctl
