#pragma once
// The control requests tavrikctl sends to the tool over its single-instance socket: one JSON
// object a line each way. A request names its "command"; the answer carries "ok" and, on
// failure, an "error" kind and a one-line "message" that says what to do. The plain line "show"
// (a second start of the tool, answered with the line "shown") is not a control request.
//
//   {"command":"status"}                      -> "state", "connected", "permission",
//                                                "firmware", "transport", "dataFolder"
// Any request may carry "transport" (the keyboard the client's options name); one for another
// keyboard than the host's is refused with Usage.
//   {"command":"read"}                        -> "configuration": the keyboard's, read now
//   {"command":"get"}                         -> "configuration": the host copy
//   {"command":"apply","profile":BASE64}      profile bytes (image, optionally key action table)
//   {"command":"apply","configuration":DOC}   a whole configuration document
//   {"command":"set","args":["effect","wave"]}
//   {"command":"rules","op":"list"}           -> "rules": the rules file's object, "missing":
//    (every rules request may carry "dataFolder": the asker's, refused when not the host's)
//                                                the profiles its rules name that do not exist
//   {"command":"rules","op":"bind"|"unbind","profile":NAME,"app":ID}
//   {"command":"rules","op":"default","profile":NAME}
//   {"command":"rules","op":"rename","profile":NAME,"to":NEW}, {"command":"rules",
//    "op":"remove","profile":NAME}: a profile renamed or deleted; its rules follow
//                                             -> "changed": whether the rules changed

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

#include "common/result.h"
#include "device/connection_state.h"

namespace tavrik::app::control {

inline constexpr int kProtocolVersion = 1;
// A request line longer than this ends the connection (a configuration document is ~1.3 MB).
inline constexpr qsizetype kMaxLineBytes = 16 * 1024 * 1024;

// Why a request failed; each has its own exit code in tavrikctl.
// NotStored: the keyboard took the change, but keymap.bin could not be written.
enum class Failure { Usage, NoKeyboard, NoPermission, Device, File, Busy, NotStored };

// What tavrikctl says when the keyboard is there but may not be opened: what fixes it.
QString noPermissionMessage();

QString failureName(Failure failure);
std::optional<Failure> failureFromName(const QString& name);
// The exit code tavrikctl ends with: 1 device failure (and busy), 2 usage, 3 no keyboard,
// 4 no permission, 5 file error (nothing changed), 6 changed on the keyboard but not stored.
int exitCode(Failure failure);

// The answer for a keyboard that cannot be reached, with what to do; none when it is connected.
std::optional<QJsonObject> unreachableReply(device::ConnectionState state);

QJsonObject okReply();
QJsonObject failureReply(Failure failure, const QString& message);
// A failed Status as an answer: Value errors are the caller's input, System errors files; a
// keyboard that was not there, left or was refused answers as unreachableReply() says.
QJsonObject failureReply(const Error& error);

// One JSON object as one line (compact, ending in '\n'), and back; nothing for a line that is
// not a JSON object.
QByteArray toLine(const QJsonObject& object);
std::optional<QJsonObject> fromLine(const QByteArray& line);

}  // namespace tavrik::app::control
