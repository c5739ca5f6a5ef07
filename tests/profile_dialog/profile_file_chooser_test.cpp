#include "dialogs/profile/profile_file_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace tavrik::app {
namespace {

struct Offer {
    QStringList filters;
    QString folder;
    QString suffix;
};

// Once the chooser is open: records what it offers in `offer`, then runs `answer` on it.
void answerChooser(Offer& offer, std::function<void(QFileDialog&)> answer) {
    QTimer::singleShot(20, [&offer, answer] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog || !dialog->isVisible()) continue;
            offer = {dialog->nameFilters(), dialog->directory().absolutePath(),
                     dialog->defaultSuffix()};
            answer(*dialog);
            if (dialog->isVisible()) dialog->reject();  // a failed answer must not hang
        }
    });
}

// Types a file name into the chooser's name field, as a user does.
void type(QFileDialog& dialog, const QString& name) {
    auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
}

TEST(ProfileFileChooserTest, OffersBinFilesFromTheStartFolderAndAddsTheExtension) {
    QTemporaryDir dir;
    QFile(dir.filePath("saved.bin")).open(QIODevice::WriteOnly);
    QtProfileFileChooser chooser;

    Offer offer;
    answerChooser(offer, [&](QFileDialog& d) {
        type(d, "export");
        static_cast<QDialog&>(d).accept();
    });
    EXPECT_EQ(chooser.chooseSavePath(nullptr, dir.path()),
              std::filesystem::path(dir.filePath("export.bin").toStdString()));
    EXPECT_EQ(offer.filters, QStringList{"bin Files(*.bin)"});
    EXPECT_EQ(offer.folder, QDir(dir.path()).absolutePath());
    EXPECT_EQ(offer.suffix, "bin");

    answerChooser(offer, [&](QFileDialog& d) {
        type(d, "saved.bin");
        static_cast<QDialog&>(d).accept();
    });
    EXPECT_EQ(chooser.chooseOpenPath(nullptr, dir.path()),
              std::filesystem::path(dir.filePath("saved.bin").toStdString()));

    answerChooser(offer, [](QFileDialog& d) { d.reject(); });
    EXPECT_EQ(chooser.chooseOpenPath(nullptr, dir.path()), std::nullopt);
}

}  // namespace
}  // namespace tavrik::app
