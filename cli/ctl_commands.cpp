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

#include "cli/ctl_host.h"
#include "describe/configuration.h"
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

// Writes a whole file atomically; a failure leaves an existing file as it was.
bool writeOutput(const QString& path, const QByteArray& bytes, QString& error) {
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

int status(const CtlCommand& c) {
    int exit = 0;
    auto h = host(c, exit, OwnUse::Status);
    if (!h) return exit;
    const QJsonObject r = h->request(requestOf("status"));
    if (!ok(r)) return failed(r);
    const device::ConnectionState state = stateOf(r);
    const bool connected = state == device::ConnectionState::Connected;
    const QString transport = r.value(QStringLiteral("transport")).toString();
    std::printf("keyboard: %s\n", keyboardWord(state));
    std::printf("transport: %s\n", transport.toUtf8().constData());
    if (connected) {
        std::printf("firmware: %s\n",
                    r.value(QStringLiteral("firmware")).toString().toUtf8().constData());
    }
    std::printf("tool: %s\n", h->forwarded() ? "running" : "not running");
    std::printf("data folder: %s\n",
                r.value(QStringLiteral("dataFolder")).toString().toUtf8().constData());
    const auto unreachable = app::control::unreachableReply(state);
    if (!unreachable) return 0;
    // Not found says so on its own line above; the other states also say what to do.
    if (state == device::ConnectionState::Absent) return exitCodeOf(*unreachable);
    return failed(*unreachable);
}

int dump(const CtlCommand& c, bool json, const QString& output) {
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
    if (output.isEmpty()) {
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
        return 0;
    }
    QString error;
    return writeOutput(output, text, error) ? 0 : fail(Failure::File, error);
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

int profilesCommand(const CtlCommand& c) {
    const QString sub = c.args[0];
    // A name that cannot be a profile is refused before the keyboard is opened.
    if (sub == QLatin1StringView("save")) {
        const std::string name = c.args[1].toStdString();
        if (const auto problem = profiles::profileNameProblem(name)) {
            const QString why =
                *problem == profiles::NameProblem::TooLong
                    ? QStringLiteral("name too long: a profile's file name takes at most %1 bytes")
                          .arg(profiles::kMaxFileNameBytes)
                : *problem == profiles::NameProblem::NotListed
                    ? QStringLiteral("it would not be listed; end it with .bin or leave .bin out")
                    : QStringLiteral("use letters, digits and blanks, without / or \\");
            return fail(Failure::Usage,
                        QStringLiteral("\"%1\" cannot be a profile name: %2").arg(c.args[1], why));
        }
    }
    int exit = 0;
    std::unique_ptr<Host> h;
    // Listing needs no keyboard; only a running tool decides which folder.
    // save only reads the keyboard (and writes the profile); apply changes it.
    if (sub != QLatin1StringView("list") || toolRunning()) {
        h = host(c, exit, sub == QLatin1StringView("apply") ? OwnUse::Change : OwnUse::Read);
        if (!h) return exit;
    }
    const QString folder = profileFolderOf(c);
    profiles::ProfileStore store(folder.toStdString());
    if (sub == QLatin1StringView("list")) {
        for (const std::string& row : store.rows()) std::printf("%s\n", row.c_str());
        return 0;
    }
    const std::string name = c.args[1].toStdString();
    int row = -1;
    for (int i = 0; i < int(store.rows().size()); ++i) {
        if (store.rows()[std::size_t(i)] == name) row = i;
    }
    if (sub == QLatin1StringView("apply")) {
        if (row < 0) {
            return fail(Failure::Usage, QStringLiteral("no profile \"%1\" in %2; list them with "
                                                       "tavrikctl profiles list")
                                            .arg(c.args[1], folder));
        }
        const QString path = QString::fromStdString(store.pathOf(row).string());
        QString error;
        Failure failure = Failure::File;
        const auto request = applyRequest(path, false, error, failure);
        if (!request) return fail(failure, error);
        const QJsonObject r = h->request(*request);
        return ok(r) ? 0 : failed(r);
    }
    // save NAME: the current configuration into the profile, created when missing.
    if (row < 0 && int(store.rows().size()) >= profiles::kMaxProfiles) {
        return fail(Failure::Usage, QStringLiteral("there are already %1 profiles; delete one "
                                                   "in the tool first")
                                        .arg(profiles::kMaxProfiles));
    }
    const QJsonObject r = h->request(requestOf("get"));
    if (!ok(r)) return failed(r);
    const auto config = configurationOf(r, exit);
    if (!config) return exit;
    std::error_code ec;
    std::filesystem::create_directories(store.folder(), ec);
    const std::filesystem::path path =
        row >= 0 ? store.pathOf(row) : store.folder() / profiles::renamedFileName(name);
    // A link in the profile folder is never written through (another user may have planted it).
    if (Status s = model::saveConfigFile(path, config->image, config->actions, WriteRule::Profile);
        !s) {
        return fail(Failure::File, QString::fromStdString(s.error().context));
    }
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
    return profilesCommand(c);
}

}  // namespace tavrik::ctl
