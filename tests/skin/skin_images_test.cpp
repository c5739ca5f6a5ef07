#include "skin/skin_images.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

namespace tavrik::skin {
namespace {

class SkinImagesTest : public ::testing::Test {
protected:
    void write(const QString& name, QSize size, QColor colour, int ageSeconds = 0) {
        QImage img(size, QImage::Format_ARGB32);
        img.fill(colour);
        const QString path = m_dir.path() + "/" + name;
        ASSERT_TRUE(img.save(path, "PNG"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                     QFileDevice::FileModificationTime));
    }

    QTemporaryDir m_dir;
    SkinImages m_images{m_dir.path() + "/"};
};

TEST_F(SkinImagesTest, ScaledSurfacesGetTheDoubleSizeImageAtTheSameWindowSize) {
    write("b.png", {4, 2}, Qt::red);
    write("b@2x.png", {8, 4}, Qt::green);
    write("c.png", {4, 2}, Qt::blue);  // no double-size file: the plain one, scaled
    QImage surface(20, 20, QImage::Format_RGB32);
    surface.setDevicePixelRatio(2.0);
    surface.fill(Qt::black);
    {
        QPainter p(&surface);
        EXPECT_TRUE(m_images.draw(p, 1, 1, "b.png"));
        EXPECT_TRUE(m_images.draw(p, 1, 5, "c.png"));
        EXPECT_TRUE(m_images.drawPart(p, QPoint(6, 1), QRect(2, 0, 2, 2), "b.png"));
    }
    // Window pixel (1, 1) to (4, 2) is device pixel (2, 2) to (9, 5).
    EXPECT_EQ(surface.pixelColor(2, 2), QColor(Qt::green));
    EXPECT_EQ(surface.pixelColor(9, 5), QColor(Qt::green));
    EXPECT_EQ(surface.pixelColor(10, 2), QColor(Qt::black));
    EXPECT_EQ(surface.pixelColor(2, 10), QColor(Qt::blue));
    EXPECT_EQ(surface.pixelColor(12, 2), QColor(Qt::green));
    EXPECT_EQ(surface.pixelColor(15, 5), QColor(Qt::green));
    EXPECT_EQ(surface.pixelColor(16, 2), QColor(Qt::black));
    EXPECT_EQ(m_images.size("b.png"), QSize(4, 2));  // window pixels
    EXPECT_EQ(m_images.requestedFiles(), (QSet<QString>{"b.png", "c.png"}));
    EXPECT_TRUE(m_images.missedFiles().isEmpty());
}

TEST_F(SkinImagesTest, DecodesOnceAndAgainAfterTheFileChanged) {
    write("a.png", {4, 3}, Qt::red, 60);
    EXPECT_EQ(m_images.image("a.png").pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(m_images.size("a.png"), QSize(4, 3));
    EXPECT_EQ(m_images.decodeCount(), 1);

    // Same size on disk, different pixels, newer modification time.
    write("a.png", {4, 3}, Qt::blue);
    EXPECT_EQ(m_images.image("a.png").pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(m_images.decodeCount(), 2);

    QFile::remove(m_dir.path() + "/a.png");
    EXPECT_TRUE(m_images.image("a.png").isNull());
    EXPECT_TRUE(m_images.missedFiles().contains("a.png"));
}

TEST_F(SkinImagesTest, DrawsOpaquelyAtItsCornerAndLeavesMissingAreasUndrawn) {
    write("half.png", {2, 2}, QColor(0, 255, 0, 64));
    QImage target(6, 6, QImage::Format_RGB32);
    target.fill(Qt::red);
    {
        QPainter p(&target);
        EXPECT_TRUE(m_images.draw(p, 3, 2, "half.png"));
        EXPECT_FALSE(m_images.draw(p, 0, 0, "none.png"));
    }
    // No blending with the red below: the image's own colour, alpha dropped.
    EXPECT_EQ(target.pixelColor(3, 2).red(), 0);
    EXPECT_EQ(target.pixelColor(4, 3).red(), 0);
    EXPECT_EQ(target.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(5, 2), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(m_images.missedFiles(), QSet<QString>{"none.png"});
}

TEST_F(SkinImagesTest, ReportsRequestsThatTheManifestLacks) {
    write("main.png", {3, 3}, Qt::red);
    m_images.image("main.png");
    m_images.image("kb_BK.png");
    m_images.image("Custom_BK.png");
    m_images.image("kb_bk.png");  // the case matters on Linux
    EXPECT_EQ(m_images.unlistedFiles(SkinPart::Main), (QStringList{"Custom_BK.png", "kb_bk.png"}));
    EXPECT_EQ(m_images.unlistedFiles(SkinPart::Custom),
              (QStringList{"kb_BK.png", "kb_bk.png", "main.png"}));
}

TEST_F(SkinImagesTest, UnreadableFileCountsAsMissing) {
    QFile file(m_dir.path() + "/broken.png");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a png");
    file.close();
    EXPECT_TRUE(m_images.image("broken.png").isNull());
    EXPECT_TRUE(m_images.missedFiles().contains("broken.png"));
}

}  // namespace
}  // namespace tavrik::skin
