#include "dialogs/macro_manager/event_menu.h"

#include <QMenu>

#include "dialogs/macro_manager/macro_manager_texts.h"
#include "host/qt/qt_text.h"

namespace tavrik::app::macromanager {
namespace {

constexpr std::array kMouseButtons{macro::MouseButton::Left, macro::MouseButton::Right,
                                   macro::MouseButton::Middle};
constexpr std::array kActions{macro::MouseAction::Press, macro::MouseAction::Release,
                              macro::MouseAction::Click};

void addCommand(QMenu& menu, const MenuItem& item, Language lang,
                const std::function<void(int)>& onCommand) {
    QAction* action = menu.addAction(qs(item.text, lang));
    action->setData(item.command);
    QObject::connect(action, &QAction::triggered, &menu,
                     [onCommand, command = item.command] { onCommand(command); });
}

}  // namespace

QMenu* buildEventMenu(QWidget* parent, Language lang, const std::function<void(int)>& onCommand) {
    auto* menu = new QMenu(parent);
    addCommand(*menu, kInsertBeforeItem, lang, onCommand);
    addCommand(*menu, kInsertAfterItem, lang, onCommand);
    QMenu* mouse = menu->addMenu(qs(kInsertMouseKey, lang));
    for (const MouseSubmenu& sub : kMouseSubmenus) {
        QMenu* buttonMenu = mouse->addMenu(qs(sub.title, lang));
        for (const MenuItem& item : sub.items) addCommand(*buttonMenu, item, lang, onCommand);
    }
    addCommand(*menu, kInsertDelayItem, lang, onCommand);
    addCommand(*menu, kDeleteItem, lang, onCommand);
    return menu;
}

QAction* findCommandAction(const QMenu& menu, int command) {
    for (QAction* action : menu.actions()) {
        if (QMenu* sub = action->menu()) {
            if (QAction* found = findCommandAction(*sub, command)) return found;
        } else if (action->data().isValid() && action->data().toInt() == command) {
            return action;
        }
    }
    return nullptr;
}

std::optional<MouseInsert> mouseInsertOf(int command) {
    for (std::size_t b = 0; b < kMouseSubmenus.size(); ++b) {
        const auto& items = kMouseSubmenus[b].items;
        for (std::size_t a = 0; a < items.size(); ++a)
            if (items[a].command == command) return MouseInsert{kMouseButtons[b], kActions[a]};
    }
    return std::nullopt;
}

}  // namespace tavrik::app::macromanager
