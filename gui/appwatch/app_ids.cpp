#include "appwatch/app_ids.h"

#include <QStringDecoder>
#include <algorithm>

namespace tavrik::app {

QString appIdFromBytes(QByteArrayView raw) {
    // Four bytes a character at most: anything beyond would be cut anyway.
    raw = raw.first(std::min<qsizetype>(raw.size(), kMaxAppIdLength * 4));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (utf8.hasError()) text = QString::fromLatin1(raw.data(), raw.size());
    return cleanAppId(text);
}

QString cleanAppId(const QString& id) {
    QString out;
    out.reserve(std::min(id.size(), kMaxAppIdLength + 1));
    for (qsizetype i = 0; i < id.size() && out.size() < kMaxAppIdLength; ++i) {
        const QChar c = id.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 < id.size() && id.at(i + 1).isLowSurrogate()) {
                if (out.size() + 2 > kMaxAppIdLength) break;
                out.append(c);
                out.append(id.at(++i));
            }
            continue;
        }
        if (c.isLowSurrogate() || c.category() == QChar::Other_Control ||
            c.category() == QChar::Other_Format || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            continue;
        }
        out.append(c);
    }
    return out.trimmed();
}

QStringList uniqueAppIds(const QStringList& ids) {
    QStringList out;
    for (const QString& id : ids) {
        if (!id.isEmpty() && !out.contains(id, Qt::CaseInsensitive)) out.append(id);
    }
    return out;
}

QStringList sortedAppIds(const QStringList& ids) {
    QStringList out = uniqueAppIds(ids);
    std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return out;
}

}  // namespace tavrik::app
