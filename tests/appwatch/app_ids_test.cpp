// Ids as hostile or broken clients give them, and the lists made of them.
#include <gtest/gtest.h>

#include "appwatch/app_ids.h"
#include "watch_test_support.h"

namespace tavrik::app {
namespace {
using test::Ids;
using test::toIds;

TEST(AppIds, DecodesUtf8AndFallsBackToLatin1) {
    EXPECT_EQ(appIdFromBytes("caf\xc3\xa9").toStdString(), "caf\xc3\xa9");
    // Not UTF-8: the byte is Latin-1's é, not a replacement character.
    EXPECT_EQ(appIdFromBytes("caf\xe9").toStdString(), "caf\xc3\xa9");
    EXPECT_EQ(appIdFromBytes("").toStdString(), "");
}

TEST(AppIds, DropsControlCharactersAndTrims) {
    EXPECT_EQ(appIdFromBytes("  fire\x01\x1b[31mfox\n\t ").toStdString(), "fire[31mfox");
    EXPECT_EQ(cleanAppId(QStringLiteral("a\u200Eb\u2028c")).toStdString(), "abc");
    // An unpaired surrogate cannot be written out as UTF-8: dropped.
    QString broken = QStringLiteral("ab");
    broken.insert(1, QChar(0xD800));
    EXPECT_EQ(cleanAppId(broken).toStdString(), "ab");
}

TEST(AppIds, CutsLongIdsWithoutSplittingACharacter) {
    const QByteArray huge(100000, 'x');
    EXPECT_EQ(appIdFromBytes(huge).size(), kMaxAppIdLength);
    // One unit short of the cap, then a character of two units: it does not fit and is not
    // split in half.
    QString id(kMaxAppIdLength - 1, u'a');
    id += QString::fromUcs4(U"\U0001F600");
    const QString cut = cleanAppId(id);
    EXPECT_EQ(cut.size(), kMaxAppIdLength - 1);
    EXPECT_FALSE(cut.back().isHighSurrogate());
    // Exactly at the cap it is kept whole.
    QString fits(kMaxAppIdLength - 2, u'a');
    fits += QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(cleanAppId(fits), fits);
}

TEST(AppIds, UniqueKeepsTheFirstSpellingInOrder) {
    EXPECT_EQ(toIds(uniqueAppIds({"navigator", "", "Firefox", "firefox", "NAVIGATOR", "ff"})),
              (Ids{"navigator", "Firefox", "ff"}));
}

TEST(AppIds, SortedIgnoresCaseAndListsEachOnce) {
    EXPECT_EQ(toIds(sortedAppIds({"foot", "Alacritty", "", "alacritty", "Beta", "foot"})),
              (Ids{"Alacritty", "Beta", "foot"}));
}

}  // namespace
}  // namespace tavrik::app
