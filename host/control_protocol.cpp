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

// The failure of an error that does not say the keyboard is unreachable.
Failure failureOf(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::Value:
            return Failure::Usage;
        case ErrorKind::System:
            return Failure::File;
        case ErrorKind::Device:
        case ErrorKind::NoAcknowledgement:
        case ErrorKind::NotConnected:
        case ErrorKind::Unplugged:
        case ErrorKind::NoPermission:
            break;
    }
    return Failure::Device;
}

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

std::optional<QJsonObject> unreachableReply(device::ConnectionState state) {
    using device::ConnectionState;
    switch (state) {
        case ConnectionState::Connected:
            return std::nullopt;
        case ConnectionState::Absent:
            return failureReply(Failure::NoKeyboard,
                                QStringLiteral("no keyboard found; plug it in and try again"));
        case ConnectionState::NoPermission:
            return failureReply(Failure::NoPermission, noPermissionMessage());
        case ConnectionState::Failed:
            break;
    }
    return failureReply(Failure::Device,
                        QStringLiteral("the keyboard is there but cannot be opened; plug it in "
                                       "again and try again"));
}

QJsonObject failureReply(const Error& error) {
    if (const auto state = device::unreachableAfter(error.kind)) {
        if (auto reply = unreachableReply(*state)) return *reply;
    }
    return failureReply(failureOf(error.kind), QString::fromStdString(error.context));
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
