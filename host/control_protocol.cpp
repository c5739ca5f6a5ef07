#include "host/control_protocol.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <array>
#include <utility>

namespace tavrik::app::control {
namespace {

constexpr std::array<std::pair<Failure, const char*>, 7> kNames{{
    {Failure::Usage, "usage"},
    {Failure::NoKeyboard, "no-keyboard"},
    {Failure::NoPermission, "no-permission"},
    {Failure::Device, "device"},
    {Failure::File, "file"},
    {Failure::Busy, "busy"},
    {Failure::NotStored, "not-stored"},
}};

}  // namespace

QString failureName(Failure failure) {
    for (const auto& [f, name] : kNames) {
        if (f == failure) return QString::fromLatin1(name);
    }
    return QStringLiteral("device");
}

std::optional<Failure> failureFromName(const QString& name) {
    for (const auto& [f, n] : kNames) {
        if (name == QLatin1StringView(n)) return f;
    }
    return std::nullopt;
}

int exitCode(Failure failure) {
    switch (failure) {
        case Failure::Usage:
            return 2;
        case Failure::NoKeyboard:
            return 3;
        case Failure::NoPermission:
            return 4;
        case Failure::File:
            return 5;
        case Failure::NotStored:
            return 6;
        case Failure::Device:
        case Failure::Busy:
            break;
    }
    return 1;
}

QJsonObject okReply() {
    return QJsonObject{{QStringLiteral("ok"), true}};
}

QJsonObject failureReply(Failure failure, const QString& message) {
    return QJsonObject{{QStringLiteral("ok"), false},
                       {QStringLiteral("error"), failureName(failure)},
                       {QStringLiteral("message"), message}};
}

QJsonObject failureReply(const Error& error) {
    const Failure f = error.kind == ErrorKind::Value    ? Failure::Usage
                      : error.kind == ErrorKind::System ? Failure::File
                                                        : Failure::Device;
    return failureReply(f, QString::fromStdString(error.context));
}

QByteArray toLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> fromLine(const QByteArray& line) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    return doc.object();
}

QString noPermissionMessage() {
    return QStringLiteral(
        "no permission to open the keyboard; install the udev rule (see man tavrikctl), then run: "
        "sudo udevadm trigger --subsystem-match=hidraw --action=change");
}

}  // namespace tavrik::app::control
