#pragma once
// Hex text for raw bytes, and the byte runs in which two blocks differ: what the document
// carries for bytes its readable fields do not express.

#include <QJsonArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/result.h"

namespace tavrik::ctl {

// Upper-case hex digits, two per byte, no separators.
QString toHex(std::span<const std::uint8_t> bytes);
// The bytes of a hex text (either case, even length); none when it is not such a text.
std::optional<std::vector<std::uint8_t>> fromHex(const QString& text);

// Runs of bytes where `actual` differs from `rebuilt` (same size), as [{"offset": N,
// "hex": "..."}] holding the actual bytes; runs closer than a few bytes are joined.
QJsonArray differingRuns(std::span<const std::uint8_t> actual,
                         std::span<const std::uint8_t> rebuilt);
// Writes runs produced by differingRuns into `block`. Value error (naming `path`) for a run
// that is malformed or reaches past the block; `block` may then be partly written, so callers
// apply runs to a scratch copy.
Status applyRuns(const QJsonArray& runs, std::span<std::uint8_t> block, const QString& path);

}  // namespace tavrik::ctl
