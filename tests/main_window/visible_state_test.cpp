// What the real main window shows of its state: edits not yet on the keyboard, the
// confirmation after a Save that reached it, and the tray menu's way back to the window.

#include <gtest/gtest.h>
#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

#include "model/slot_table.h"
#include "qt_app_fixture.h"

namespace tavrik::app {
namespace {

using mainwindow::EditMark;
using test_support::kSave;

constexpr QPoint kCancel{880, 620};
namespace img = model::image;

class VisibleState : public test_support::MainWindowFixture {
protected:
    std::unique_ptr<MainWindow> start(bool keyboard = true) {
        auto w = makeWindow(Language::English, keyboard);
        w->show();
        settle(*w);
        return w;
    }
    // A key code: sent in data packets, which the keyboard's unplug fault counts.
    static void edit(MainWindow& w) {
        w.configModel().withLock(
            [](model::ConfigState& s) { s.image[img::kKeyCodeArea + 9] ^= 1; });
    }
    static void click(MainWindow& w, QPoint at) {
        QTest::mouseClick(&w, Qt::LeftButton, {}, at);
        settle(w);
    }
    static void closeBoxes(MainWindow& w) {
        for (QMessageBox* box : w.findChildren<QMessageBox*>()) box->close();
    }
};

TEST_F(VisibleState, PendingMarkFollowsEditsSaveAndCancel) {
    auto w = start();
    EXPECT_EQ(w->editMark(), EditMark::None);
    EXPECT_FALSE(w->saveConfirmation().endsAt());

    edit(*w);
    EXPECT_EQ(w->editMark(), EditMark::Pending);
    click(*w, kSave);
    EXPECT_NE(w->editMark(), EditMark::Pending);
    EXPECT_TRUE(w->saveConfirmation().endsAt());  // the Save reached the keyboard

    edit(*w);
    EXPECT_EQ(w->editMark(), EditMark::Pending);  // a new edit replaces the confirmation
    click(*w, kCancel);
    EXPECT_NE(w->editMark(), EditMark::Pending);
}

TEST_F(VisibleState, NoConfirmationAfterASaveThatDidNotReachTheKeyboard) {
    auto w = start();
    m_firmware->setFaults({.removeAfterPackets = 0});
    edit(*w);
    click(*w, kSave);
    closeBoxes(*w);
    EXPECT_FALSE(w->saveConfirmation().endsAt());
    EXPECT_EQ(w->editMark(), EditMark::Pending);  // the edit is still to be sent

    // Without a keyboard the edit stays in the host copy: still pending, nothing confirmed.
    auto absent = start(false);
    edit(*absent);
    click(*absent, kSave);
    closeBoxes(*absent);
    EXPECT_FALSE(absent->saveConfirmation().endsAt());
    EXPECT_EQ(absent->editMark(), EditMark::Pending);
}

TEST_F(VisibleState, TrayMenuShowsAHiddenWindow) {
    for (const Language lang : {Language::English, Language::Chinese}) {
        auto w = makeWindow(lang, false);
        settle(*w);
        w->hide();
        ASSERT_NE(w->trayMenu(), nullptr);
        const QList<QAction*> items = w->trayMenu()->actions();
        ASSERT_FALSE(items.isEmpty());
        QAction* show = items.front();
        EXPECT_EQ(show->text(),
                  QString::fromUtf8(
                      mainwindow::text::kShowWindow.in(lang).data(),
                      static_cast<qsizetype>(mainwindow::text::kShowWindow.in(lang).size())));
        show->trigger();
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(w->isMinimized());
        closeBoxes(*w);
    }
}

TEST_F(VisibleState, EachKeyOfThePictureHasItsFunctionAsTooltip) {
    auto w = start();
    constexpr int kASlot = 63;
    const model::Rect r = model::windowRect(kASlot);
    const QPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(w->keyTooltipAt(centre), QStringLiteral("A: its own function"));
    w->configModel().withLock(
        [](model::ConfigState& s) { model::setKeyEnabled(s.image, kASlot, false); });
    EXPECT_EQ(w->keyTooltipAt(centre), QStringLiteral("A: disabled"));
    // Every drawn key has one; the bottom bar has none.
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        if (!model::slot(slot).drawn()) continue;
        const model::Rect k = model::windowRect(slot);
        EXPECT_FALSE(w->keyTooltipAt({(k.left + k.right) / 2, (k.top + k.bottom) / 2}).isEmpty())
            << slot;
    }
    EXPECT_TRUE(w->keyTooltipAt(kSave).isEmpty());
}

}  // namespace
}  // namespace tavrik::app
