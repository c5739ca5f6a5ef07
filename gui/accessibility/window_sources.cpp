#include "accessibility/window_sources.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

#include "accessibility/painted_accessible.h"
#include "controls/skin_tree.h"
#include "dialogs/key_assign/key_assign_dialog.h"
#include "dialogs/macro_manager/macro_manager_dialog.h"
#include "dialogs/macro_manager/macro_manager_texts.h"
#include "dialogs/profile/profile_dialog.h"
#include "host/qt/qt_text.h"
#include "keyassign/catalogue.h"
#include "profiles/profile_texts.h"
#include "windows/main_window.h"

namespace tavrik::app::a11y {
namespace {

namespace acc = mainwindow::access;
namespace ka = keyassign;
using Action = QAccessibleActionInterface;

// Runs f on the widget's event loop: a click may open a modal dialog, and the assistive
// technology's call must return first.
template <typename W, typename F>
void later(W* widget, F f) {
    QTimer::singleShot(0, widget, [w = QPointer<W>(widget), f] {
        if (w) f(*w);
    });
}

QAccessible::Role roleOf(acc::Role r) {
    switch (r) {
        case acc::Role::Window:
            return QAccessible::Window;
        case acc::Role::Grouping:
        case acc::Role::Keyboard:
            return QAccessible::Grouping;
        case acc::Role::Button:
        case acc::Role::SectionHeader:
        case acc::Role::Swatch:
        case acc::Role::Key:
            return QAccessible::Button;
        case acc::Role::RadioButton:
            return QAccessible::RadioButton;
        case acc::Role::ComboBox:
            return QAccessible::ComboBox;
        case acc::Role::ListItem:
            return QAccessible::ListItem;
        case acc::Role::MenuItem:
        case acc::Role::CheckMenuItem:
            return QAccessible::MenuItem;
    }
    return QAccessible::NoRole;
}

acc::ItemId idOf(int key) {
    if (key == PaintedSource::kRoot) return {};
    return {static_cast<acc::Kind>(key / kKindStride), key % kKindStride};
}

int keyOf(acc::ItemId id) {
    if (id.kind == acc::Kind::Root) return PaintedSource::kRoot;
    return static_cast<int>(id.kind) * kKindStride + id.index;
}

QRect toQRect(const model::Rect& r) {
    if (r.empty()) return {};
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

class MainWindowSource : public PaintedSource {
public:
    explicit MainWindowSource(MainWindow* w) : m_window(w) {}

    std::vector<int> children(int key) const override {
        std::vector<int> out;
        for (const acc::ItemId& id : acc::children(idOf(key))) out.push_back(keyOf(id));
        return out;
    }
    int parent(int key) const override { return keyOf(acc::parent(idOf(key))); }
    bool exists(int key) const override { return key == kRoot || acc::exists(idOf(key)); }

    PaintedInfo info(int key) const override {
        PaintedInfo info;
        if (!m_window) return info;
        const acc::ItemId id = idOf(key);
        const acc::Item item = m_window->describeItem(id);
        info.name = qs(item.name);
        info.role = roleOf(item.role);
        info.rect = toQRect(item.rect);
        info.description = qs(item.description);
        if (item.role == acc::Role::ComboBox) info.value = info.description;
        QAccessible::State& s = info.state;
        s.invisible = s.offscreen = !item.shown;
        const bool acts = !acc::activation(id, m_window->viewState(), currentEffect()).empty();
        const bool control = item.role != acc::Role::Window && item.role != acc::Role::Grouping &&
                             item.role != acc::Role::Keyboard;
        if (control) {
            s.disabled = !item.offered;
            s.focusable = item.offered;
            s.focused = m_window->hasFocus() && m_window->focusItem() == id;
        }
        if (item.role == acc::Role::RadioButton || item.role == acc::Role::CheckMenuItem ||
            item.role == acc::Role::Swatch) {
            s.checkable = true;
            s.checked = item.checked;
        }
        if (item.role == acc::Role::ListItem) {
            s.selectable = true;
            s.selected = item.checked;
        }
        if (item.expandable) {
            s.expandable = true;
            s.expanded = item.expanded;
            s.collapsed = !item.expanded;
        }
        if (item.role == acc::Role::ComboBox) s.hasPopup = true;
        if (acts) info.actions << Action::pressAction();
        if (control && item.offered) info.actions << Action::setFocusAction();
        return info;
    }

    void doAction(int key, const QString& action) override {
        if (!m_window) return;
        const acc::ItemId id = idOf(key);
        if (action == Action::pressAction()) {
            later(m_window.data(), [id](MainWindow& w) { w.activateItem(id); });
        } else if (action == Action::setFocusAction()) {
            m_window->setFocusItem(id);
        }
    }

    std::optional<int> focusKey() const override {
        if (!m_window || !m_window->hasFocus() || !m_window->focusItem()) return std::nullopt;
        return keyOf(*m_window->focusItem());
    }

private:
    std::uint8_t currentEffect() const {
        return m_window->configModel().withLock(
            [](const model::ConfigState& s) { return s.image[model::image::kEffect]; });
    }

    QPointer<MainWindow> m_window;
};

class KeyAssignSource : public PaintedSource {
public:
    explicit KeyAssignSource(KeyAssignDialog* d) : m_dialog(d) {}

    std::vector<int> children(int key) const override {
        if (key != kRoot) return {};
        // Every spot of every tab, so that an item keeps its place; those of other tabs are
        // not shown.
        return KeyAssignDialog::paintedSpots(ka::Tab::Advance);
    }
    int parent(int) const override { return kRoot; }
    bool exists(int key) const override {
        if (key == kRoot) return true;
        const auto all = KeyAssignDialog::paintedSpots(ka::Tab::Advance);
        return std::find(all.begin(), all.end(), key) != all.end();
    }

    PaintedInfo info(int key) const override {
        PaintedInfo info;
        if (!m_dialog) return info;
        const ka::KeyMapView& v = m_dialog->state().view();
        const Language lang = m_dialog->state().language();
        if (key == kRoot) {
            info.name = qs(ka::kCurrentKeyText.in(lang)) + qs(v.currentKeyName);
            return info;
        }
        const auto shown = KeyAssignDialog::paintedSpots(v.tab);
        const bool visible = std::find(shown.begin(), shown.end(), key) != shown.end();
        QAccessible::State& s = info.state;
        s.invisible = s.offscreen = !visible;
        s.disabled = !visible;
        s.focusable = visible;
        s.focused = m_dialog->hasFocus() && m_dialog->focusSpot() == key;
        info.rect = KeyAssignDialog::spotRect(key);
        if (key >= KeyAssignDialog::kRegionSpot) {
            const ka::Region region{
                (key - KeyAssignDialog::kRegionSpot) / 4,
                static_cast<ka::RegionPart>((key - KeyAssignDialog::kRegionSpot) % 4)};
            const BiText label = ka::launchRowInfo(region.row).rowLabel;
            if (region.part == ka::RegionPart::Indicator) {
                info.role = QAccessible::RadioButton;
                info.name = qs(label.in(lang));
                s.checkable = true;
                s.checked = v.selectedIndicator == region.row;
            } else {
                info.role = QAccessible::Button;
                info.name = qs(kBrowse.in(lang)) + QStringLiteral(": ") + qs(label.in(lang));
                info.description = qs(m_dialog->state().fieldText(region.row));
            }
        } else {
            namespace b = ka::button;
            const ka::ButtonInfo& button = ka::keyMapButtons()[static_cast<std::size_t>(key)];
            info.name = key == b::kClose ? qs(kClose.in(lang)) : qs(button.label.in(lang));
            if (key >= b::kTabSingleCombine && key <= b::kTabAdvance) {
                info.role = QAccessible::PageTab;
                s.selectable = true;
                s.selected = static_cast<int>(v.tab) == key - b::kTabSingleCombine;
            } else if (key == b::kDisable) {
                info.role = QAccessible::CheckBox;
                s.checkable = true;
                s.checked = v.disableTicked;
            } else {
                info.role = QAccessible::Button;
            }
        }
        if (visible) info.actions << Action::pressAction() << Action::setFocusAction();
        return info;
    }

    void doAction(int key, const QString& action) override {
        if (!m_dialog) return;
        if (action == Action::pressAction()) {
            later(m_dialog.data(), [key](KeyAssignDialog& d) { d.clickSpot(key); });
        } else if (action == Action::setFocusAction()) {
            m_dialog->setFocusSpot(key);
        }
    }

    std::optional<int> focusKey() const override {
        if (!m_dialog || !m_dialog->hasFocus()) return std::nullopt;
        return m_dialog->focusSpot();
    }

    static constexpr BiText kBrowse{"Browse", "浏览"};
    static constexpr BiText kClose{"Close", "关闭"};

private:
    QPointer<KeyAssignDialog> m_dialog;
};

// What the dialogs with painted buttons share: a press runs the button's click (queued, since
// it may open a modal dialog), focus moves to it, and the focused button is the dialog's.
template <typename Dialog>
class DialogButtonsSource : public PaintedSource {
public:
    explicit DialogButtonsSource(Dialog* d) : m_dialog(d) {}

    void doAction(int key, const QString& action) override {
        if (!m_dialog) return;
        if (action == Action::pressAction()) {
            later(m_dialog.data(), [key](Dialog& d) { d.clickButton(key); });
        } else if (action == Action::setFocusAction()) {
            m_dialog->setFocusButton(key);
        }
    }
    std::optional<int> focusKey() const override {
        if (!m_dialog || !m_dialog->hasFocus()) return std::nullopt;
        return m_dialog->focusButton();
    }

protected:
    QPointer<Dialog> m_dialog;
};

// The macro manager's painted buttons, in its button order.
class MacroManagerSource : public DialogButtonsSource<MacroManagerDialog> {
public:
    using DialogButtonsSource::DialogButtonsSource;

    std::vector<int> children(int key) const override {
        std::vector<int> out;
        if (key != kRoot) return out;
        for (int b = 0; b < macromanager::kButtonCount; ++b) out.push_back(b);
        return out;
    }
    int parent(int) const override { return kRoot; }
    bool exists(int key) const override {
        return key == kRoot || (key >= 0 && key < macromanager::kButtonCount);
    }
    PaintedInfo info(int key) const override {
        namespace mm = macromanager;
        PaintedInfo info;
        if (!m_dialog) return info;
        const Language lang = m_dialog->language();
        if (key == kRoot) {
            info.name = qs(mm::kTitle.text.in(lang));
            return info;
        }
        const macro::MacroEditor& editor = m_dialog->editor();
        info.rect = mm::kButtons[static_cast<std::size_t>(key)].rect;
        info.role = QAccessible::Button;
        QAccessible::State& s = info.state;
        s.focusable = true;
        s.focused = m_dialog->hasFocus() && m_dialog->focusButton() == key;
        if (key == mm::kRecord) {
            info.name = qs(editor.recordButtonLabel().in(lang));
            s.pressed = editor.recording();
        } else if (key == mm::kDelayOption) {
            info.role = QAccessible::CheckBox;
            info.name = qs(mm::kLabels[3].text.in(lang)) + QLatin1Char(' ') +
                        qs(mm::kLabels[4].text.in(lang)) + QLatin1Char(' ') +
                        qs(mm::kLabels[5].text.in(lang));
            s.checkable = true;
            s.checked = editor.delayOption();
        } else if (key == mm::kLoopOption) {
            info.role = QAccessible::CheckBox;
            info.name = qs(mm::kLabels[6].text.in(lang));
            s.checkable = true;
            s.checked = editor.loopOption();
        } else {
            info.name = qs(mm::kButtonLabels[static_cast<std::size_t>(key)].in(lang));
        }
        info.actions << Action::pressAction() << Action::setFocusAction();
        return info;
    }
};

// The profile window's painted buttons: the close button, New and Delete.
class ProfileSource : public DialogButtonsSource<ProfileDialog> {
public:
    using DialogButtonsSource::DialogButtonsSource;

    std::vector<int> children(int key) const override {
        if (key != kRoot) return {};
        return {ProfileDialog::kCloseButton, ProfileDialog::kNewButton,
                ProfileDialog::kDeleteButton};
    }
    int parent(int) const override { return kRoot; }
    bool exists(int key) const override {
        return key == kRoot || (key >= 0 && key < ProfileDialog::kPaintedButtonCount);
    }
    PaintedInfo info(int key) const override {
        PaintedInfo info;
        if (!m_dialog) return info;
        const Language lang = m_dialog->language();
        if (key == kRoot) {
            info.name = qs(profiles::text::kTitle.in(lang));
            return info;
        }
        info.role = QAccessible::Button;
        info.rect = ProfileDialog::buttonRect(key);
        info.name = key == ProfileDialog::kNewButton ? qs(profiles::text::kNewButton.in(lang))
                    : key == ProfileDialog::kDeleteButton
                        ? qs(profiles::text::kDeleteButton.in(lang))
                        : qs(KeyAssignSource::kClose.in(lang));
        info.state.focusable = true;
        info.state.focused = m_dialog->hasFocus() && m_dialog->focusButton() == key;
        info.actions << Action::pressAction() << Action::setFocusAction();
        return info;
    }
};

// Tells the painted items' changes and focus moves of a window to assistive technology.
template <typename W>
void follow(W* widget, void (W::*changed)(), void (W::*focusMoved)()) {
    const auto painted = [widget]() -> PaintedWidget* {
        if (!QAccessible::isActive()) return nullptr;
        return dynamic_cast<PaintedWidget*>(QAccessible::queryAccessibleInterface(widget));
    };
    QObject::connect(widget, changed, widget, [painted] {
        if (PaintedWidget* p = painted()) p->notifyChanged();
    });
    QObject::connect(widget, focusMoved, widget, [painted] {
        if (PaintedWidget* p = painted()) {
            p->notifyChanged();
            p->notifyFocus();
        }
    });
}

}  // namespace

QAccessibleInterface* mainWindowInterface(MainWindow* window) {
    follow(window, &MainWindow::surfaceChanged, &MainWindow::focusItemChanged);
    return new PaintedWidget(window, QAccessible::Window,
                             std::make_unique<MainWindowSource>(window), true);
}

QAccessibleInterface* keyAssignInterface(KeyAssignDialog* dialog) {
    // The child controls are named after their tabs and labels.
    const Language lang = dialog->state().language();
    dialog->singleEdit()->setAccessibleName(qs(ka::kSingleLabel.in(lang)));
    dialog->combineEdit()->setAccessibleName(qs(ka::kCombineLabel.in(lang)));
    const auto& buttons = ka::keyMapButtons();
    dialog->macroList()->setAccessibleName(qs(buttons[ka::button::kTabMacro].label.in(lang)));
    dialog->tree()->setAccessibleName(qs(buttons[ka::button::kTabBasic].label.in(lang)));
    follow(dialog, &KeyAssignDialog::viewChanged, &KeyAssignDialog::focusSpotChanged);
    return new PaintedWidget(dialog, QAccessible::Dialog, std::make_unique<KeyAssignSource>(dialog),
                             true);
}

QAccessibleInterface* macroManagerInterface(MacroManagerDialog* dialog) {
    namespace mm = macromanager;
    const Language lang = dialog->language();
    dialog->macroList()->setAccessibleName(qs(mm::kLabels[0].text.in(lang)));
    dialog->eventList()->setAccessibleName(qs(mm::kLabels[1].text.in(lang)));
    dialog->loopEdit()->setAccessibleName(qs(mm::kLabels[6].text.in(lang)));
    follow(dialog, &MacroManagerDialog::viewChanged, &MacroManagerDialog::focusButtonChanged);
    return new PaintedWidget(dialog, QAccessible::Dialog,
                             std::make_unique<MacroManagerSource>(dialog), true);
}

QAccessibleInterface* profileInterface(ProfileDialog* dialog) {
    dialog->listBox()->setAccessibleName(qs(profiles::text::kTitle.in(dialog->language())));
    follow(dialog, &ProfileDialog::focusButtonChanged, &ProfileDialog::focusButtonChanged);
    return new PaintedWidget(dialog, QAccessible::Dialog, std::make_unique<ProfileSource>(dialog),
                             true);
}

}  // namespace tavrik::app::a11y
