// The real main window when the keyboard misbehaves: each failure gets its own message, a
// keyboard that could not be read is never offered a firmware update, update questions never
// stack, and a device job holding the configuration never stalls the window.

#include <gtest/gtest.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <thread>

#include "qt_app_fixture.h"
#include "settings/sliders.h"
#include "skin/splash_screen.h"

namespace tavrik::app {
namespace {

using test_support::kSave;

namespace img = model::image;

class DeviceFailures : public test_support::MainWindowFixture {
protected:
    std::unique_ptr<MainWindow> start(Language lang = Language::English) {
        auto w = makeWindow(lang, true);
        w->show();
        settle(*w);
        return w;
    }
    void writeVersionFile() {
        QFile ver(m_dir.filePath("VER.bin"));
        ASSERT_TRUE(ver.open(QIODevice::WriteOnly));
        ver.write("Ver: 9.9    ");
    }
    // Texts of the message boxes shown now; closes them.
    static QStringList takeBoxes(MainWindow& w) {
        QStringList texts;
        for (QMessageBox* box : w.findChildren<QMessageBox*>()) {
            if (box->isVisible()) texts << box->text();
            box->close();
        }
        return texts;
    }
    QString saveAndTell(MainWindow& w, int editAt) {
        w.configModel().withLock([editAt](model::ConfigState& s) { s.image[editAt] ^= 1; });
        QTest::mouseClick(&w, Qt::LeftButton, {}, kSave);
        settle(w);
        const QStringList texts = takeBoxes(w);
        return texts.size() == 1 ? texts.front() : texts.join(QStringLiteral(" | "));
    }
    void replug(MainWindow& w) {
        m_firmware->setFaults({});
        m_firmware->plug();
        settle(w);
        takeBoxes(w);
    }
};

TEST_F(DeviceFailures, EachSaveFailureHasItsOwnMessage) {
    auto w = start();
    m_firmware->setFaults({.removeAfterPackets = 0});
    EXPECT_TRUE(saveAndTell(*w, img::kKeyCodeArea + 9)
                    .startsWith(QStringLiteral("The keyboard was unplugged during Save")));
    replug(*w);

    // A folder in the way of keymap.bin: the keyboard is programmed, the file is not stored.
    const std::filesystem::path keymap = m_dir.filePath("keymap.bin").toStdString();
    std::filesystem::remove(keymap);
    std::filesystem::create_directories(keymap / "in-the-way");
    const QString notStored = saveAndTell(*w, img::kResponseTime);
    EXPECT_TRUE(notStored.startsWith(QStringLiteral("The settings were sent to the keyboard")))
        << notStored.toStdString();
    EXPECT_TRUE(notStored.contains(QStringLiteral("keymap.bin"))) << notStored.toStdString();
    std::filesystem::remove_all(keymap);

    // The failed file save may also have told its once-only notice; the Save message is its own.
    m_firmware->setFaults({.noAcknowledgements = true});
    const QString noAck = saveAndTell(*w, img::kGameMode);
    EXPECT_TRUE(noAck.startsWith(QStringLiteral("The keyboard did not acknowledge")) ||
                noAck.contains(QStringLiteral(" | The keyboard did not acknowledge")))
        << noAck.toStdString();
}

TEST_F(DeviceFailures, UnplugDuringSaveIsToldInChinese) {
    auto w = start(Language::Chinese);
    m_firmware->setFaults({.removeAfterPackets = 0});
    EXPECT_TRUE(
        saveAndTell(*w, img::kKeyCodeArea + 9).startsWith(QStringLiteral("保存过程中键盘被拔出")));
}

// Every modal box opened while `run` runs is answered with Cancel after a short while; what
// was asked and how many stood open at once are recorded.
struct ModalWatch {
    QStringList asked;
    int mostAtOnce = 0;
};

void watchModals(ModalWatch& watch, QTimer& poll) {
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&watch] {
        int open = 0;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            open += top->isVisible() && qobject_cast<QMessageBox*>(top) != nullptr;
        }
        watch.mostAtOnce = std::max(watch.mostAtOnce, open);
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->property("seen").toBool()) {
            if (box) box->setProperty("seen", true);  // answered on the next tick
            return;
        }
        watch.asked << box->text();
        box->button(QMessageBox::Cancel)->click();
    });
    poll.start();
}

TEST_F(DeviceFailures, AKeyboardThatCouldNotBeReadIsNotOfferedAnUpdate) {
    writeVersionFile();
    ModalWatch watch;
    QTimer poll;
    watchModals(watch, poll);
    AppContext c = context(Language::English, true);
    m_firmware->setFaults({.noGetReply = true});
    auto w = std::make_unique<MainWindow>(c);
    w->initialise(false);
    w->show();
    settle(*w);
    EXPECT_TRUE(watch.asked.isEmpty()) << watch.asked.join(QStringLiteral(" | ")).toStdString();
    const QStringList told = takeBoxes(*w);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.front().startsWith(QStringLiteral("Reading the keyboard failed")));
}

TEST_F(DeviceFailures, TheTwoUpdateQuestionsOfAnArrivalComeOneAfterTheOther) {
    writeVersionFile();
    ModalWatch watch;
    QTimer poll;
    watchModals(watch, poll);
    auto w = start();
    ASSERT_EQ(watch.asked.size(), 1);  // the start-up read
    m_firmware->unplug();
    settle(*w);
    m_firmware->plug();
    settle(*w);
    for (int i = 0; i < 50 && watch.asked.size() < 3; ++i) QTest::qWait(10);
    EXPECT_EQ(watch.asked.size(), 3);
    EXPECT_EQ(watch.mostAtOnce, 1);
}

// The keyboard is read while the splash shows, so the window appears with its configuration;
// the update question that read brings waits until the window is there.
TEST_F(DeviceFailures, TheKeyboardIsReadDuringTheSplashAndAsksOnlyOverTheWindow) {
    writeVersionFile();
    auto w = std::make_unique<MainWindow>(context(Language::English, true));
    bool readDuringSplash = false;
    int boxesDuringSplash = 0;
    QTimer splashWatch;
    splashWatch.setInterval(5);
    QObject::connect(&splashWatch, &QTimer::timeout, [&] {
        bool splash = false;
        int boxes = 0;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible()) continue;
            splash = splash || qobject_cast<skin::SplashScreen*>(top) != nullptr;
            boxes += qobject_cast<QMessageBox*>(top) != nullptr;
        }
        if (!splash) return;
        boxesDuringSplash += boxes;
        if (!w->deviceLink() || w->deviceLink()->session().busy()) return;
        const model::Image keyboard = m_firmware->image();
        readDuringSplash = readDuringSplash || w->configModel().withLock([&](const auto& s) {
            return s.syncedImage == keyboard && s.image == keyboard;
        });
    });
    splashWatch.start();
    w->initialise(true);
    splashWatch.stop();
    EXPECT_TRUE(readDuringSplash);
    EXPECT_EQ(boxesDuringSplash, 0);
    EXPECT_TRUE(w->isVisible());
    ModalWatch watch;
    QTimer poll;
    watchModals(watch, poll);
    for (int i = 0; i < 100 && watch.asked.empty(); ++i) QTest::qWait(10);
    EXPECT_EQ(watch.asked.size(), 1);
}

// A Save waiting for acknowledgements that never come runs for the whole acknowledgement bound.
// It works on a copy: the window edits and paints meanwhile without waiting, and the edit made
// during the job is kept after it and sent by the next Save.
TEST_F(DeviceFailures, TheWindowKeepsEditingAndPaintingWhileAJobRuns) {
    auto w = start();
    m_firmware->setFaults({.noAcknowledgements = true});
    // The Save has a change of its own to send, so it waits for its acknowledgement whenever
    // the job takes its copy.
    w->configModel().withLock([](model::ConfigState& s) { s.image[img::kKeyCodeArea + 9] ^= 1; });
    QTest::mouseClick(w.get(), Qt::LeftButton, {}, kSave);
    ASSERT_TRUE(w->deviceLink()->session().busy());
    QElapsedTimer timer;
    timer.start();
    // The brightness is changed behind the sliders' back: the sync notice must bring it to them.
    const int newBrightness = w->configModel().withLock([](model::ConfigState& s) {
        s.image[img::kGameMode] ^= 1;
        s.image[img::kBrightness] = s.image[img::kBrightness] == 1 ? 3 : 1;
        return s.image[img::kBrightness];
    });
    emit w->deviceLink()->synced(device::SyncReason::KeyboardRead);
    QCoreApplication::processEvents();
    w->repaint();
    // A window that waited for the job would wait for it to give up: the rest of the 2 s bound.
    // Half the bound tells the two apart also under a sanitizer's slowdown; the paint gaps
    // themselves are measured by the window bench, not here.
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(w->deviceLink()->session().busy());  // the job still ran throughout
    settle(*w);
    const auto brightness = [&](bool synced) {
        return w->configModel().withLock([synced](const model::ConfigState& s) {
            return int((synced ? s.syncedImage : s.image)[img::kBrightness]);
        });
    };
    EXPECT_EQ(brightness(false), newBrightness);  // the failed job did not undo the edit
    EXPECT_NE(brightness(true), newBrightness);
    m_firmware->setFaults({});
    QTest::mouseClick(w.get(), Qt::LeftButton, {}, kSave);
    settle(*w);
    EXPECT_EQ(brightness(true), newBrightness);
    EXPECT_EQ(m_firmware->image()[img::kBrightness], newBrightness);
    // The sliders follow the image once the job has ended.
    model::Image image{};
    image[img::kBrightness] = static_cast<std::uint8_t>(newBrightness);
    const auto positions = settings::sliderPositionsFromImage(image);
    for (BitmapSlider* s : w->findChildren<BitmapSlider*>()) {
        if (s->controlId() != static_cast<int>(settings::SliderId::Brightness)) continue;
        EXPECT_EQ(s->value(), positions[settings::sliderIndex(settings::SliderId::Brightness)]);
    }
}

}  // namespace
}  // namespace tavrik::app
