#include "skin/skin_manifest.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QImageReader>
#include <QSet>

#include "host/qt/qt_text.h"

namespace tavrik::skin {
namespace {

using app::qs;

const QString kBuilt = QStringLiteral(TAVRIK_BUILT_SKIN_DIR) + "/png/";

TEST(SkinManifestTest, NamesEachFileOfAPartOnce) {
    QSet<QString> seen;
    for (const auto& entry : skinManifest()) {
        const QString key = qs(partFolder(entry.part)) + qs(entry.name);
        EXPECT_FALSE(seen.contains(key)) << key.toStdString();
        seen.insert(key);
        EXPECT_EQ(findSkinImage(entry.part, entry.name), &entry);
        EXPECT_GT(entry.width, 0);
        EXPECT_GT(entry.height, 0);
    }
    EXPECT_EQ(findSkinImage(SkinPart::Main, "Custom_BK.png"), nullptr);
}

// Every file a window loads exists in both languages at the listed size and at twice that
// size, and the generator
// writes nothing that no window loads.
TEST(SkinManifestTest, GeneratedSkinMatchesTheManifest) {
    QSet<QString> expected{qs(kAppIcon), QString::fromStdString(doubleSizeName(kAppIcon))};
    for (const char* language : {"english/", "chinese/"}) {
        for (const auto& entry : skinManifest()) {
            const QString relative = language + qs(partFolder(entry.part)) + qs(entry.name);
            expected.insert(relative);
            QImageReader reader(kBuilt + relative);
            ASSERT_TRUE(reader.canRead()) << relative.toStdString();
            EXPECT_EQ(reader.size(), QSize(entry.width, entry.height)) << relative.toStdString();
            // The double-size variant for scaled screens.
            const QString twice =
                language + qs(partFolder(entry.part)) + qs(doubleSizeName(entry.name));
            expected.insert(twice);
            QImageReader twiceReader(kBuilt + twice);
            ASSERT_TRUE(twiceReader.canRead()) << twice.toStdString();
            EXPECT_EQ(twiceReader.size(), QSize(2 * entry.width, 2 * entry.height))
                << twice.toStdString();
        }
    }
    QImageReader icon(kBuilt + qs(kAppIcon));
    EXPECT_EQ(icon.size(), QSize(kAppIconSize, kAppIconSize));
    QImageReader iconTwice(kBuilt + QString::fromStdString(doubleSizeName(kAppIcon)));
    EXPECT_EQ(iconTwice.size(), QSize(2 * kAppIconSize, 2 * kAppIconSize));
    QSet<QString> found;
    QDirIterator it(kBuilt, {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) found.insert(it.next().mid(kBuilt.size()));
    EXPECT_EQ(found, expected);
}

// The main window's hit areas must lie inside the pictures that stand for them.
TEST(SkinManifestTest, MainPicturesCoverTheirHitAreas) {
    const auto* main = findSkinImage(SkinPart::Main, "main.png");
    ASSERT_NE(main, nullptr);
    EXPECT_GT(main->width, 994);   // close button right edge
    EXPECT_GT(main->height, 635);  // bottom buttons
    const auto* keyboard = findSkinImage(SkinPart::Main, "kb_BK.png");
    ASSERT_NE(keyboard, nullptr);
    EXPECT_GT(keyboard->width, 668);
    EXPECT_GT(keyboard->height, 359);
    EXPECT_LE(275 + keyboard->width, main->width);
    EXPECT_LE(85 + keyboard->height, 596);
}

}  // namespace
}  // namespace tavrik::skin
