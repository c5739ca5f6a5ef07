// The accessible tree of the main window, the key assignment dialog and the skinned controls,
// read and driven in-process through the QAccessible API; and the windows' keyboard use.

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

#include "accessibility/accessibility.h"
#include "controls/bitmap_slider.h"
#include "controls/image_button.h"
#include "controls/skin_list_box.h"
#include "controls/skin_tree.h"
#include "describe/key_function.h"
#include "describe/key_names.h"
#include "dialogs/key_assign/key_assign_dialog.h"
#include "dialogs/macro_manager/macro_manager_dialog.h"
#include "dialogs/macro_manager/macro_manager_layout.h"
#include "dialogs/profile/profile_dialog.h"
#include "main_window/qt_app_fixture.h"
#include "skin/focus_mark.h"

namespace tavrik::app {
namespace {

namespace img = model::image;
using Action = QAccessibleActionInterface;

QAccessibleInterface* find(QAccessibleInterface* in, const QString& name,
                           std::optional<QAccessible::Role> role = std::nullopt) {
    if (!in) return nullptr;
    for (int i = 0; i < in->childCount(); ++i) {
        QAccessibleInterface* c = in->child(i);
        if (!c) continue;
        if (c->text(QAccessible::Name) == name && (!role || c->role() == *role)) return c;
        if (QAccessibleInterface* deeper = find(c, name, role)) return deeper;
    }
    return nullptr;
}

void press(QAccessibleInterface* iface) {
    ASSERT_TRUE(iface);
    ASSERT_TRUE(iface->actionInterface());
    ASSERT_TRUE(iface->actionInterface()->actionNames().contains(Action::pressAction()))
        << iface->text(QAccessible::Name).toStdString();
    iface->actionInterface()->doAction(Action::pressAction());
    QCoreApplication::processEvents();  // the press is queued
}

// Runs f as soon as a modal dialog runs (the code under test blocks in it meanwhile).
void whenModal(std::function<void(QWidget*)> f) {
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        f(modal);
    });
    timer->start();
}

class AccessibilityTest : public test_support::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        a11y::installAccessibility();
    }
    // The window over the emulated keyboard, its configuration read.
    std::unique_ptr<MainWindow> shownWindow(Language lang = Language::English) {
        auto w = makeWindow(lang, true);
        settle(*w);
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }
    static std::string keyFunction(MainWindow& w, int slot) {
        return w.configModel().withLock([&](const model::ConfigState& s) {
            return describe::describeKey(s.image, s.actions, w.macroStore(), slot);
        });
    }
    static std::uint8_t imageByte(MainWindow& w, std::size_t at) {
        return w.configModel().withLock([at](const model::ConfigState& s) { return s.image[at]; });
    }
};

// The window, its sections, the keyboard picture with one child per key and the sliders, with
// names from the window's texts, roles and states.
TEST_F(AccessibilityTest, TheMainWindowShowsItsPaintedItems) {
    auto w = shownWindow();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.get());
    ASSERT_TRUE(root);
    EXPECT_EQ(root->role(), QAccessible::Window);
    EXPECT_EQ(root->text(QAccessible::Name), "Tavrik 87Rev");

    QAccessibleInterface* keyboard = find(root, "Keyboard", QAccessible::Grouping);
    ASSERT_TRUE(keyboard);
    EXPECT_EQ(keyboard->childCount(), 87);
    EXPECT_EQ(keyboard->parent(), root);
    QAccessibleInterface* a = find(keyboard, "A");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Description), "default");
    EXPECT_EQ(a->parent(), keyboard);
    EXPECT_EQ(keyboard->indexOfChild(a),
              keyboard->indexOfChild(keyboard->child(keyboard->indexOfChild(a))));
    EXPECT_EQ(find(root, "A"), a);  // the same interface on every visit
    const QRect r = a->rect();
    EXPECT_EQ(root->childAt(r.center().x(), r.center().y()), keyboard);
    EXPECT_EQ(keyboard->childAt(r.center().x(), r.center().y()), a);

    QAccessibleInterface* light = find(root, "Light", QAccessible::Button);
    ASSERT_TRUE(light);
    EXPECT_TRUE(light->state().expandable);
    EXPECT_TRUE(light->state().collapsed);
    QAccessibleInterface* effect = find(root, "Effect", QAccessible::ComboBox);
    ASSERT_TRUE(effect);
    EXPECT_TRUE(effect->state().invisible);  // inside the folded section
    EXPECT_TRUE(effect->state().disabled);
    EXPECT_EQ(effect->childCount(), 18);

    int sliders = 0;
    for (int i = 0; i < root->childCount(); ++i) {
        if (root->child(i)->role() == QAccessible::Slider) ++sliders;
    }
    EXPECT_EQ(sliders, 3);
    QAccessibleInterface* brightness = find(root, "Brightness", QAccessible::Slider);
    ASSERT_TRUE(brightness);
    ASSERT_TRUE(brightness->valueInterface());
}

// Pressing items runs the same clicks as the mouse: the section opens, the effect is chosen,
// the key's text follows its assignment; nothing is pressed that is not offered.
TEST_F(AccessibilityTest, ActionsDoWhatTheClicksDo) {
    auto w = shownWindow(Language::Chinese);
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.get());
    QAccessibleInterface* breathing = find(root, "呼吸", QAccessible::ListItem);
    ASSERT_TRUE(breathing);
    EXPECT_FALSE(breathing->actionInterface()->actionNames().contains(Action::pressAction()));
    press(find(root, "灯光", QAccessible::Button));
    EXPECT_FALSE(w->viewState().panel.lightingCollapsed);
    EXPECT_TRUE(find(root, "灯光", QAccessible::Button)->state().expanded);
    press(breathing);
    EXPECT_EQ(imageByte(*w, img::kEffect), 2);
    EXPECT_TRUE(breathing->state().selected);
    EXPECT_EQ(find(root, "效果", QAccessible::ComboBox)->text(QAccessible::Value), "呼吸");
    EXPECT_FALSE(w->viewState().panel.effectListOpen);

    press(find(root, "游戏模式", QAccessible::Button));
    QAccessibleInterface* gameOff = find(find(root, "游戏模式", QAccessible::Grouping), "关闭");
    ASSERT_TRUE(gameOff);
    press(gameOff);
    EXPECT_EQ(imageByte(*w, img::kGameMode), 0);
    EXPECT_TRUE(gameOff->state().checked);
}

// A key's item opens the key assignment dialog; the dialog's tabs, tree and buttons are
// items too: choosing the preset "Mute" on the "Basic" tab and "Save" assigns it.
TEST_F(AccessibilityTest, AKeyIsAssignedAPresetThroughTheDialogsItems) {
    auto w = shownWindow();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.get());
    const int f5 = *describe::findSlot("F5");
    bool ran = false;
    whenModal([&](QWidget* modal) {
        auto* d = qobject_cast<KeyAssignDialog*>(modal);
        ASSERT_TRUE(d);
        QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(d);
        EXPECT_EQ(dialog->role(), QAccessible::Dialog);
        EXPECT_EQ(dialog->text(QAccessible::Name), "Current Key:F5 ");
        QAccessibleInterface* basic = find(dialog, "Basic", QAccessible::PageTab);
        ASSERT_TRUE(basic);
        EXPECT_FALSE(basic->state().selected);
        press(basic);
        EXPECT_TRUE(basic->state().selected);
        QAccessibleInterface* tree = find(dialog, "Basic", QAccessible::Tree);
        ASSERT_TRUE(tree);
        QAccessibleInterface* media = find(tree, "Media", QAccessible::TreeItem);
        ASSERT_TRUE(media);
        EXPECT_TRUE(media->state().expandable);
        if (!find(tree, "Mute")) {
            ASSERT_TRUE(media->state().collapsed);
            media->actionInterface()->doAction(Action::toggleAction());
        }
        QAccessibleInterface* mute = find(tree, "Mute", QAccessible::TreeItem);
        ASSERT_TRUE(mute);
        EXPECT_EQ(mute->parent(), tree);
        EXPECT_EQ(mute->text(QAccessible::Description), "Media");
        press(mute);
        EXPECT_TRUE(mute->state().selected);
        press(find(dialog, "Save", QAccessible::Button));
        ran = true;
    });
    press(find(find(root, "Keyboard"), "F5"));
    EXPECT_TRUE(ran);
    EXPECT_EQ(keyFunction(*w, f5), "preset Mute");
    EXPECT_EQ(find(find(root, "Keyboard"), "F5")->text(QAccessible::Description), "preset Mute");
}

// Tab walks the painted items and the sliders in reading order and wraps; Enter and Space
// click the focused item; Esc closes an open list and never the window; arrows move between
// keys; the focus item is the window's focused accessible child.
TEST_F(AccessibilityTest, TheKeyboardReachesEveryPaintedItem) {
    namespace acc = mainwindow::access;
    auto w = shownWindow();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.get());
    QTest::keyClick(w.get(), Qt::Key_Tab);
    ASSERT_TRUE(w->focusItem());
    EXPECT_EQ(*w->focusItem(), (acc::ItemId{acc::Kind::Area, mainwindow::hit::kHelp}));
    EXPECT_EQ(root->focusChild()->text(QAccessible::Name), "Help");
    QTest::keyClick(w.get(), Qt::Key_Backtab);
    EXPECT_EQ(*w->focusItem(), (acc::ItemId{acc::Kind::Key, *describe::findSlot("Esc")}));
    QTest::keyClick(w.get(), Qt::Key_Right);
    EXPECT_EQ(root->focusChild()->text(QAccessible::Name), "F1");

    // Light: Tab from Close; Enter opens it; Tab to the effect box, Enter opens the list on the
    // current row, Down and Enter choose the next effect.
    for (int i = 0; i < 4; ++i) QTest::keyClick(w.get(), Qt::Key_Tab);
    EXPECT_EQ(root->focusChild()->text(QAccessible::Name), "Light");
    QTest::keyClick(w.get(), Qt::Key_Return);
    EXPECT_FALSE(w->viewState().panel.lightingCollapsed);
    QTest::keyClick(w.get(), Qt::Key_Tab);
    EXPECT_EQ(root->focusChild()->text(QAccessible::Name), "Effect");
    QTest::keyClick(w.get(), Qt::Key_Space);
    ASSERT_TRUE(w->viewState().panel.effectListOpen);
    EXPECT_EQ(root->focusChild()->text(QAccessible::Name), "Static");
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_FALSE(w->viewState().panel.effectListOpen);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(root->focusChild()->text(QAccessible::Name), "Effect");
    QTest::keyClick(w.get(), Qt::Key_Return);
    QTest::keyClick(w.get(), Qt::Key_Down);
    QTest::keyClick(w.get(), Qt::Key_Return);
    EXPECT_EQ(imageByte(*w, img::kEffect), 2);
    EXPECT_EQ(root->focusChild()->text(QAccessible::Name), "Effect");

    // The sliders are stops of the ring: the brightness slider comes before the macro button.
    BitmapSlider* brightness = w->sliderWidget(settings::SliderId::Brightness);
    for (int i = 0; i < 12 && !brightness->hasFocus(); ++i) QTest::keyClick(w.get(), Qt::Key_Tab);
    ASSERT_TRUE(brightness->hasFocus());
    const int before = brightness->value();
    ASSERT_GT(before, brightness->minimum());
    QTest::keyClick(brightness, Qt::Key_Left);
    EXPECT_EQ(brightness->value(), before - 1);
    EXPECT_EQ(imageByte(*w, img::kBrightness), before - 1);  // stored as a drag stores it
    QTest::keyClick(brightness, Qt::Key_Tab);
    BitmapSlider* speed = w->sliderWidget(settings::SliderId::Speed);
    ASSERT_TRUE(speed->hasFocus());  // Breathing has a speed
    QTest::keyClick(speed, Qt::Key_Tab);
    EXPECT_TRUE(w->hasFocus());
    EXPECT_EQ(root->focusChild()->text(QAccessible::Name), "Macro Management");
}

// The focus mark is drawn around the focused item while the keyboard is used, in the skin's
// focus colour, and not after a click.
TEST_F(AccessibilityTest, TheFocusMarkShowsWhereTheKeyboardIs) {
    auto w = shownWindow();
    const auto markPixels = [&] {
        const QImage surface = w->renderSurface().convertToFormat(QImage::Format_RGB32);
        const QRect save(QPoint(923, 605), QPoint(980, 635));
        int n = 0;
        for (int y = save.top() - 3; y <= save.bottom() + 3; ++y) {
            for (int x = save.left() - 3; x <= save.right() + 3; ++x) {
                if (surface.pixelColor(x, y) == skin::kFocusColour) ++n;
            }
        }
        return n;
    };
    EXPECT_EQ(markPixels(), 0);
    w->setFocusItem({mainwindow::access::Kind::Area, mainwindow::hit::kSave});
    EXPECT_GT(markPixels(), 40);
    QTest::mouseClick(w.get(), Qt::LeftButton, {}, QPoint(100, 115));
    EXPECT_EQ(markPixels(), 0);
}

// Ctrl+S is Save: the change reaches the keyboard.
TEST_F(AccessibilityTest, CtrlSSaves) {
    auto w = shownWindow();
    w->configModel().withLock([](model::ConfigState& s) { s.image[img::kGameMode] = 0; });
    ASSERT_EQ(m_firmware->image()[img::kGameMode], 1);
    QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier);
    settle(*w);
    EXPECT_EQ(m_firmware->image()[img::kGameMode], 0);
}

// In the key dialog Tab leaves a capture edit (a key typed there is captured, Tab is not), the
// painted buttons take the focus, and Esc cancels the dialog: nothing is applied.
TEST_F(AccessibilityTest, TheKeyDialogIsUsableFromTheKeyboard) {
    auto w = shownWindow();
    const int b = *describe::findSlot("B");
    bool ran = false;
    whenModal([&](QWidget* modal) {
        auto* d = qobject_cast<KeyAssignDialog*>(modal);
        ASSERT_TRUE(d);
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
        ASSERT_EQ(d->focusWidget(), d->singleEdit());
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), d->combineEdit());
        EXPECT_EQ(d->state().view().singleText, "");
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), d);
        EXPECT_EQ(d->focusSpot(), keyassign::button::kDisable);
        QTest::keyClick(d, Qt::Key_Space);
        EXPECT_TRUE(d->state().view().disableTicked);
        QTest::keyClick(d, Qt::Key_Right);
        EXPECT_EQ(d->focusSpot(), keyassign::button::kDefault);
        QTest::keyClick(d, Qt::Key_Escape);
        ran = true;
    });
    press(find(find(QAccessible::queryAccessibleInterface(w.get()), "Keyboard"), "B"));
    EXPECT_TRUE(ran);
    EXPECT_EQ(keyFunction(*w, b), "default");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The macro manager and the profile window, opened from the main window's items: their painted
// buttons are named items that press as clicks do, Tab reaches them, Enter and Space click the
// focused one, and Esc on a focused button of the macro manager is "Cancel".
TEST_F(AccessibilityTest, TheOtherDialogsHaveNamedButtonsAndTheKeyboard) {
    auto w = shownWindow();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.get());
    bool macros = false;
    whenModal([&](QWidget* modal) {
        auto* d = qobject_cast<MacroManagerDialog*>(modal);
        ASSERT_TRUE(d);
        QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(d);
        EXPECT_EQ(dialog->text(QAccessible::Name), "Macro Manager");
        EXPECT_TRUE(find(dialog, "OK", QAccessible::Button));
        EXPECT_TRUE(find(dialog, "Select Macro", QAccessible::List));
        QAccessibleInterface* loops = find(dialog, "Number of Loops", QAccessible::CheckBox);
        ASSERT_TRUE(loops);
        EXPECT_FALSE(loops->state().checked);
        press(loops);
        EXPECT_TRUE(d->editor().loopOption());
        EXPECT_TRUE(loops->state().checked);
        d->setFocusButton(macromanager::kDelayOption);
        const bool delay = d->editor().delayOption();
        QTest::keyClick(d, Qt::Key_Space);
        EXPECT_NE(d->editor().delayOption(), delay);
        QTest::keyClick(d, Qt::Key_Tab);  // the loop option, then its edit (now enabled)
        QTest::keyClick(d, Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), d->loopEdit());
        QTest::keyClick(d->loopEdit(), Qt::Key_Escape);  // the edit's: the dialog stays
        EXPECT_TRUE(d->isVisible());
        QTest::keyClick(d->loopEdit(), Qt::Key_Tab);
        EXPECT_EQ(d->focusButton(), macromanager::kNew);
        QTest::keyClick(d, Qt::Key_Escape);
        macros = true;
    });
    press(find(root, "Macro Management", QAccessible::Button));
    EXPECT_TRUE(macros);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    bool profiles = false;
    whenModal([&](QWidget* modal) {
        auto* d = qobject_cast<ProfileDialog*>(modal);
        ASSERT_TRUE(d);
        QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(d);
        EXPECT_TRUE(find(dialog, "New", QAccessible::Button));
        EXPECT_TRUE(find(dialog, "Delete", QAccessible::Button));
        EXPECT_EQ(find(dialog, "Profile", QAccessible::List),
                  QAccessible::queryAccessibleInterface(d->listBox()));
        QTest::keyClick(d, Qt::Key_Backtab);
        EXPECT_EQ(d->focusButton(), ProfileDialog::kCloseButton);
        QTest::keyClick(d, Qt::Key_Left);
        EXPECT_EQ(d->focusButton(), ProfileDialog::kDeleteButton);
        QTest::keyClick(d, Qt::Key_Right);
        QTest::keyClick(d, Qt::Key_Return);  // the close button
        profiles = true;
    });
    press(find(root, "Profile", QAccessible::Button));
    EXPECT_TRUE(profiles);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The skinned controls: a slider's value and steps, a toggling image button, the list box's
// rows as drawn (delay lines without their marks), the tree's nesting.
TEST_F(AccessibilityTest, TheSkinnedControlsDescribeThemselves) {
    QWidget parent;
    auto* slider = new BitmapSlider(1017, &parent);
    slider->setRange(0, 4);
    slider->setAccessibleName(QStringLiteral("Level"));
    QAccessibleInterface* s = QAccessible::queryAccessibleInterface(slider);
    EXPECT_EQ(s->role(), QAccessible::Slider);
    EXPECT_EQ(s->text(QAccessible::Name), "Level");
    s->actionInterface()->doAction(Action::increaseAction());
    EXPECT_EQ(slider->value(), 1);
    s->valueInterface()->setCurrentValue(3);
    EXPECT_EQ(slider->value(), 3);
    EXPECT_EQ(s->valueInterface()->maximumValue().toInt(), 4);

    auto* button = new ImageButton(7, &parent);
    button->setToggle(true);
    int commands = 0;
    QObject::connect(button, &ImageButton::command, [&](int id) { commands += id; });
    QAccessibleInterface* bi = QAccessible::queryAccessibleInterface(button);
    EXPECT_EQ(bi->role(), QAccessible::CheckBox);
    EXPECT_FALSE(bi->state().checked);
    press(bi);
    EXPECT_TRUE(bi->state().checked);
    EXPECT_EQ(commands, 7);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(commands, 14);

    auto* list = new SkinListBox(&parent);
    list->setEditMode(SkinListBox::kDelayValue);
    list->addString(QStringLiteral("A dn"));
    list->addString(QStringLiteral("50 ms"));
    QAccessibleInterface* li = QAccessible::queryAccessibleInterface(list);
    EXPECT_EQ(li->role(), QAccessible::List);
    ASSERT_EQ(li->childCount(), 2);
    EXPECT_EQ(li->child(0)->text(QAccessible::Name).trimmed(), "A");
    EXPECT_EQ(li->child(1)->role(), QAccessible::ListItem);
    press(li->child(1));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_TRUE(li->child(1)->state().selected);
    list->addString(QStringLiteral("B up"));
    EXPECT_EQ(li->childCount(), 3);  // rows added later are items too

    // The tree's shown rows, in the order its own accessibility events count them.
    auto* tree = new SkinTree(&parent);
    tree->setHeaderHidden(true);
    auto* group = new QTreeWidgetItem(tree, QStringList{QStringLiteral("Group")});
    new QTreeWidgetItem(group, QStringList{QStringLiteral("Leaf")});
    new QTreeWidgetItem(tree, QStringList{QStringLiteral("Last")});
    QAccessibleInterface* ti = QAccessible::queryAccessibleInterface(tree);
    EXPECT_EQ(ti->role(), QAccessible::Tree);
    ASSERT_EQ(ti->childCount(), 2);
    QAccessibleInterface* g = ti->child(0);
    EXPECT_EQ(g->text(QAccessible::Name), "Group");
    EXPECT_TRUE(g->state().collapsed);
    QAccessibleInterface* last = ti->child(1);
    EXPECT_EQ(last->text(QAccessible::Name), "Last");
    g->actionInterface()->doAction(Action::toggleAction());
    EXPECT_TRUE(group->isExpanded());
    ASSERT_EQ(ti->childCount(), 3);
    EXPECT_EQ(ti->child(1)->text(QAccessible::Name), "Leaf");
    EXPECT_EQ(ti->child(1)->text(QAccessible::Description), "Group");
    EXPECT_EQ(ti->child(2), last);  // the same item, one row further down
    EXPECT_EQ(ti->indexOfChild(last), 2);
    ti->child(1)->actionInterface()->doAction(Action::pressAction());
    EXPECT_EQ(tree->currentItem(), group->child(0));
}

}  // namespace
}  // namespace tavrik::app
