#pragma once
// JSON parsers keep the last of two members with one name and drop the first without a word; a
// document that names a field twice is ambiguous, so its import is refused. This scan finds such
// a member in JSON text that has already been parsed as valid.

#include <QByteArrayView>

#include <optional>
#include <string>

namespace tavrik::ctl {

// The path of the first member whose name occurs twice in one object ("lighting.speed",
// "keys[3].key"; names compared after their escapes are decoded), or nothing. `json` must be
// valid JSON.
std::optional<std::string> firstDuplicateMember(QByteArrayView json);

}  // namespace tavrik::ctl
