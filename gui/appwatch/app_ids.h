#pragma once
// Application ids as windows name them: cleaned of what a hostile or broken client may put into
// them, and the lists the watchers report.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace tavrik::app {

// The longest id kept, in UTF-16 code units; longer ones are cut.
inline constexpr qsizetype kMaxAppIdLength = 128;

// An id from raw bytes: UTF-8, or Latin-1 when the bytes are not valid UTF-8 (X11's STRING
// properties are Latin-1 by the book, UTF-8 in practice), then cleaned as cleanAppId does.
QString appIdFromBytes(QByteArrayView raw);
// Control characters and unpaired surrogates dropped, white space trimmed, cut to
// kMaxAppIdLength without splitting a character.
QString cleanAppId(const QString& id);
// The ids without empty ones and without later ones equal to an earlier one ignoring case.
QStringList uniqueAppIds(const QStringList& ids);
// uniqueAppIds, sorted case-insensitively: what openApps() returns.
QStringList sortedAppIds(const QStringList& ids);

}  // namespace tavrik::app
