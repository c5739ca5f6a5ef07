// The real main window against the emulated keyboard: what the keyboard receives for the
// window's commands.

#include <gtest/gtest.h>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <mutex>

#include "controls/bitmap_slider.h"
#include "model/keymap_file.h"
#include "model/slot_table.h"
#include "qt_app_fixture.h"
#include "settings/sliders.h"

namespace tavrik::app {
namespace {

using test_support::kSave;

namespace img = model::image;

constexpr QPoint kLightingTitle{100, 115};
constexpr QPoint kEffectBox{100, 170};
constexpr QPoint kCancel{880, 620};
constexpr QPoint kReturn{820, 620};
constexpr QPoint kClose{985, 10};

class DeviceFlow : public test_support::MainWindowFixture {
protected:
    std::filesystem::path keymapPath() const { return m_dir.filePath("keymap.bin").toStdString(); }
    std::unique_ptr<model::ConfigState> fileState() const {
        auto s = std::make_unique<model::ConfigState>();
        EXPECT_TRUE(model::readConfigFile(keymapPath(), s->image, s->actions));
        return s;
    }
    // Starts the window with the keyboard plugged in and waits for its start-up read.
    std::unique_ptr<MainWindow> start() {
        auto w = makeWindow(Language::English, true);
        w->show();
        settle(*w);
        return w;
    }
    // Counts the reports the keyboard receives from now on.
    void countReports() {
        m_firmware->setTrace([this](sim::Direction d, sim::ReportKind, auto) {
            if (d == sim::Direction::HostToKeyboard) ++m_received;
        });
    }
    static void click(QWidget& w, QPoint p) { QTest::mouseClick(&w, Qt::LeftButton, {}, p); }
    // Answers the next modal message box with `button`, remembering its text.
    void answerNextBox(QMessageBox::StandardButton button) {
        auto* poll = new QTimer(qApp);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [this, button, poll] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            m_boxText = box->text();
            box->button(button)->click();
            poll->deleteLater();
            poll->stop();
        });
        poll->start();
    }
    int effectOfModel(MainWindow& w) {
        return w.configModel().withLock(
            [](model::ConfigState& s) { return s.image[img::kEffect]; });
    }

    std::atomic<int> m_received{0};
    QString m_boxText;
};

// The session's debug lines, from its notifier thread, that reach the tavrik.device category.
std::mutex g_deviceLinesLock;
QStringList g_deviceLines;

void collectDeviceLines(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtDebugMsg || qstrcmp(context.category, "tavrik.device") != 0) return;
    const std::lock_guard lock(g_deviceLinesLock);
    g_deviceLines << text;
}

bool deviceLineSeen(const QString& line) {
    const std::lock_guard lock(g_deviceLinesLock);
    return g_deviceLines.contains(line);
}

TEST_F(DeviceFlow, TheSessionsDebugLinesGoToTavrikDeviceOnlyWhenSwitchedOn) {
    auto w = start();
    const QtMessageHandler previous = qInstallMessageHandler(collectDeviceLines);
    const QString removed = QStringLiteral("DBT_DEVICEREMOVECOMPLETE");
    for (const bool on : {false, true}) {
        QLoggingCategory::setFilterRules(on ? QStringLiteral("tavrik.device.debug=true")
                                            : QStringLiteral("tavrik.*.debug=false"));
        {
            const std::lock_guard lock(g_deviceLinesLock);
            g_deviceLines.clear();
        }
        m_firmware->unplug();
        settle(*w);
        QDeadlineTimer deadline(on ? 5000 : 300);
        while (!deviceLineSeen(removed) && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        EXPECT_EQ(deviceLineSeen(removed), on);
        m_firmware->plug();
        settle(*w);
    }
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
}

TEST_F(DeviceFlow, TheKeyboardsReadWinsOverKeymapBin) {
    auto file = std::make_unique<model::ConfigState>();
    file->image[img::kEffect] = 3;
    file->image[img::kBrightness] = 44;
    ASSERT_TRUE(model::saveConfigFile(keymapPath(), file->image, file->actions));
    AppContext c = context(Language::English, true);
    model::Image keyboard = m_firmware->image();  // the emulator's settings differ from the file
    keyboard[img::kEffect] = 13;
    keyboard[img::kBrightness] = 12;
    m_firmware->setImage(keyboard);
    auto w = std::make_unique<MainWindow>(c);
    w->initialise(false);
    settle(*w);
    w->configModel().withLock([](model::ConfigState& s) {
        EXPECT_EQ(s.image[img::kEffect], 13);
        EXPECT_EQ(s.image[img::kBrightness], 12);
        EXPECT_EQ(s.image, s.syncedImage);
    });
    EXPECT_EQ(fileState()->image[img::kEffect], 13);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(DeviceFlow, ChooseAnEffectMoveASliderAndSave) {
    auto w = start();
    click(*w, kLightingTitle);
    click(*w, kEffectBox);
    click(*w, {100, 200});  // row 1: Breathing
    ASSERT_EQ(effectOfModel(*w), 2);
    BitmapSlider* brightness = nullptr;
    for (BitmapSlider* s : w->findChildren<BitmapSlider*>()) {
        if (s->controlId() == static_cast<int>(settings::SliderId::Brightness)) brightness = s;
    }
    ASSERT_NE(brightness, nullptr);
    w->renderSurface();  // sliders are shown per section when the panel is drawn
    ASSERT_TRUE(brightness->isVisible());
    brightness->setValue(33);
    EXPECT_NE(m_firmware->image()[img::kEffect], 2);  // nothing is sent before Save

    click(*w, kSave);
    settle(*w);
    const model::Image keyboard = m_firmware->image();
    EXPECT_EQ(keyboard[img::kEffect], 2);
    EXPECT_EQ(keyboard[img::kBrightness], 33);
    w->configModel().withLock([](model::ConfigState& s) { EXPECT_EQ(s.image, s.syncedImage); });
    EXPECT_EQ(fileState()->image[img::kBrightness], 33);
}

TEST_F(DeviceFlow, CancelRevertsWithoutSending) {
    auto w = start();
    const model::Image before = m_firmware->image();
    countReports();
    click(*w, kLightingTitle);
    click(*w, kEffectBox);
    click(*w, {100, 400});  // row 11
    click(*w, kCancel);
    settle(*w);
    EXPECT_TRUE(!w->isVisible() || w->isMinimized());  // minimised where there is no tray
    EXPECT_EQ(effectOfModel(*w), before[img::kEffect]);
    EXPECT_EQ(m_received.load(), 0);
    EXPECT_EQ(m_firmware->image(), before);
    EXPECT_EQ(fileState()->image[img::kEffect], before[img::kEffect]);
}

TEST_F(DeviceFlow, CloseLeavesKeymapBinEqualToTheKeyboard) {
    auto w = start();
    click(*w, kLightingTitle);
    click(*w, kEffectBox);
    click(*w, {100, 500});  // row 16, not saved
    click(*w, kClose);
    const model::Image keyboard = m_firmware->image();
    const auto file = fileState();
    const auto region = [](const model::Image& i, std::size_t from, std::size_t to) {
        return std::vector<std::uint8_t>(i.begin() + static_cast<long>(from),
                                         i.begin() + static_cast<long>(to));
    };
    EXPECT_EQ(region(file->image, img::kLightingParams, img::kGameMode + 1),
              region(keyboard, img::kLightingParams, img::kGameMode + 1));
    EXPECT_EQ(region(file->image, img::kKeyCodeArea, img::kKeyCodeArea + 504),
              region(keyboard, img::kKeyCodeArea, img::kKeyCodeArea + 504));
    EXPECT_EQ(region(file->image, img::kDiyTables, model::kImageSize),
              region(keyboard, img::kDiyTables, model::kImageSize));
}

TEST_F(DeviceFlow, ReturnRestoresFactorySettings) {
    AppContext c = context(Language::English, true);
    model::Image custom = m_firmware->image();
    custom[img::kEffect] = 51;
    custom[img::kKeyCodeArea + model::cellOffset(63) + 2] = 0x05;  // A sends B
    custom[img::kEnableBitmap + 3] = 0x00;                         // some keys disabled
    m_firmware->setImage(custom);
    auto w = std::make_unique<MainWindow>(c);
    w->initialise(false);
    w->show();
    settle(*w);
    click(*w, kLightingTitle);
    ASSERT_EQ(effectOfModel(*w), 51);

    answerNextBox(QMessageBox::Ok);
    click(*w, kReturn);
    settle(*w);
    EXPECT_EQ(m_boxText, QStringLiteral("Confirm to return Factory Setting?"));
    EXPECT_TRUE(w->viewState().panel.lightingCollapsed);
    EXPECT_FALSE(w->viewState().panel.diyView);
    const model::Image keyboard = m_firmware->image();
    EXPECT_NE(keyboard[img::kEffect], 51);
    const auto file = fileState();
    EXPECT_EQ(file->image[img::kEffect], keyboard[img::kEffect]);
    EXPECT_EQ(file->image[img::kKeyCodeArea + model::cellOffset(63) + 2], 0x04);  // A again
    EXPECT_TRUE(std::all_of(file->image.begin() + img::kEnableBitmap,
                            file->image.begin() + img::kEnableBitmap + img::kEnableBitmapSize,
                            [](std::uint8_t b) { return b == 0xFF; }));
}

TEST_F(DeviceFlow, ReturnAnsweredCancelChangesNothing) {
    auto w = start();
    const model::Image before = m_firmware->image();
    countReports();
    answerNextBox(QMessageBox::Cancel);
    click(*w, kReturn);
    settle(*w);
    EXPECT_EQ(m_received.load(), 0);
    EXPECT_EQ(m_firmware->image(), before);
}

TEST_F(DeviceFlow, SaveWithoutAKeyboardKeepsTheEditsAndSaysSo) {
    auto w = makeWindow();  // keyboard unplugged
    w->show();
    click(*w, kLightingTitle);
    click(*w, kEffectBox);
    click(*w, {100, 200});
    click(*w, kSave);
    EXPECT_EQ(fileState()->image[img::kEffect], 2);
    bool told = false;
    for (QMessageBox* box : w->findChildren<QMessageBox*>()) {
        told |= box->isVisible() && box->text().startsWith(QStringLiteral("No keyboard"));
    }
    EXPECT_TRUE(told);
    w->configModel().withLock([](model::ConfigState& s) { EXPECT_NE(s.image, s.syncedImage); });
}

TEST_F(DeviceFlow, AnOlderFirmwareIsOfferedTheUpdate) {
    QFile ver(m_dir.filePath("VER.bin"));
    ASSERT_TRUE(ver.open(QIODevice::WriteOnly));
    ver.write("Ver: 9.9    ");
    ver.close();
    answerNextBox(QMessageBox::Cancel);
    auto w = start();
    EXPECT_EQ(m_boxText, QStringLiteral("Update new firmware？"));
}

TEST_F(DeviceFlow, TheDialogsOpenFromTheirButtonsAndKeys) {
    auto w = start();
    const auto opened = [&](QPoint at) {
        QString name;
        auto* poll = new QTimer(qApp);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [poll, &name] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            name = QString::fromLatin1(dialog->metaObject()->className());
            dialog->reject();
            poll->stop();
            poll->deleteLater();
        });
        poll->start();
        click(*w, at);
        settle(*w);
        return name.section(QStringLiteral("::"), -1);
    };
    const model::Rect key = model::windowRect(63);
    EXPECT_EQ(opened({key.left + 5, key.top + 5}), QStringLiteral("KeyAssignDialog"));
    EXPECT_EQ(opened({100, 150}), QStringLiteral("MacroManagerDialog"));
    EXPECT_EQ(opened({50, 620}), QStringLiteral("ProfileDialog"));
}

TEST_F(DeviceFlow, AfterTheProfileWindowTheHostCopyIsRefreshedAndSaved) {
    auto w = start();
    // As a profile Load leaves it: another key code for "A", flags not yet recomputed.
    w->configModel().withLock([](model::ConfigState& s) {
        s.image[img::kKeyCodeArea + model::cellOffset(63) + 2] = 0x05;
        s.changedKeys[63] = 0;
    });
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
    click(*w, {50, 620});
    settle(*w);
    w->configModel().withLock([](model::ConfigState& s) { EXPECT_EQ(s.changedKeys[63], 1); });
    EXPECT_EQ(fileState()->image[img::kKeyCodeArea + model::cellOffset(63) + 2], 0x05);
}

}  // namespace
}  // namespace tavrik::app
