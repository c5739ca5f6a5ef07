#include "hex_runs.h"

#include <QJsonObject>

namespace tavrik::ctl {
namespace {

// Differences closer than this are carried as one run.
constexpr std::size_t kJoinGap = 8;

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

}  // namespace

QString toHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size() * 2));
    for (std::uint8_t b : bytes) {
        out += QChar(kDigits[b >> 4]);
        out += QChar(kDigits[b & 0x0F]);
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> fromHex(const QString& text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(text.size() / 2));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int hi = hexValue(text[static_cast<qsizetype>(2 * i)]);
        const int lo = hexValue(text[static_cast<qsizetype>(2 * i + 1)]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out[i] = static_cast<std::uint8_t>(hi << 4 | lo);
    }
    return out;
}

QJsonArray differingRuns(std::span<const std::uint8_t> actual,
                         std::span<const std::uint8_t> rebuilt) {
    QJsonArray runs;
    std::size_t i = 0;
    while (i < actual.size()) {
        if (actual[i] == rebuilt[i]) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        std::size_t end = i + 1;  // one past the last differing byte of the run
        while (true) {
            std::size_t next = end;
            for (std::size_t j = end; j < actual.size() && j < end + kJoinGap; ++j) {
                if (actual[j] != rebuilt[j]) next = j + 1;
            }
            if (next == end) break;
            end = next;
        }
        QJsonObject run;
        run[QStringLiteral("offset")] = static_cast<qint64>(start);
        run[QStringLiteral("hex")] = toHex(actual.subspan(start, end - start));
        runs.append(run);
        i = end;
    }
    return runs;
}

Status applyRuns(const QJsonArray& runs, std::span<std::uint8_t> block, const QString& path) {
    for (qsizetype n = 0; n < runs.size(); ++n) {
        const QString where = path + QStringLiteral("[%1]").arg(n);
        const QJsonObject run = runs[n].toObject();
        const QJsonValue offset = run.value(QStringLiteral("offset"));
        const QJsonValue hex = run.value(QStringLiteral("hex"));
        if (!runs[n].isObject() || !offset.isDouble() || !hex.isString()) {
            return valueError(where.toStdString() +
                              ": expected {\"offset\": number, \"hex\": text}");
        }
        const double at = offset.toDouble();
        const auto bytes = fromHex(hex.toString());
        if (!bytes) return valueError(where.toStdString() + ".hex: not a hex byte string");
        if (at < 0 || at != static_cast<double>(static_cast<qint64>(at)) ||
            static_cast<std::size_t>(at) + bytes->size() > block.size()) {
            return valueError(where.toStdString() + ": bytes reach past the end of the block (" +
                              std::to_string(block.size()) + " bytes)");
        }
        std::copy(bytes->begin(), bytes->end(), block.begin() + static_cast<qint64>(at));
    }
    return Status::success();
}

}  // namespace tavrik::ctl
