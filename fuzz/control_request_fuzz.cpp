// Feeds arbitrary bytes to the parsing of the control socket's request lines (what any process
// of the user may send to the tool). A line either is refused or is one JSON object that comes
// back unchanged through toLine, as exactly one line.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "host/control_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace control = tavrik::app::control;
    const QByteArray line(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto request = control::fromLine(line);
    if (!request) return 0;
    const QByteArray out = control::toLine(*request);
    if (!out.endsWith('\n') || out.count('\n') != 1) __builtin_trap();
    const auto back = control::fromLine(out);
    if (!back || *back != *request) __builtin_trap();
    // The answer's fields are read the way the tool reads them, whatever their types.
    (void)control::failureFromName(request->value(QStringLiteral("error")).toString());
    (void)request->value(QStringLiteral("command")).toString();
    return 0;
}
