#pragma once
// The context menu of the macro manager's event list, built from the command table in the
// chosen language. Every command action carries its identifier (32790..32815) as its data.

#include <functional>
#include <optional>

#include "common/language.h"
#include "macro/macro_editor.h"

class QAction;
class QMenu;
class QWidget;

namespace tavrik::app::macromanager {

// Triggering a command action calls onCommand with its identifier.
QMenu* buildEventMenu(QWidget* parent, Language lang, const std::function<void(int)>& onCommand);

// The action of a command anywhere in the menu or its submenus, or nullptr.
QAction* findCommandAction(const QMenu& menu, int command);

struct MouseInsert {
    macro::MouseButton button;
    macro::MouseAction action;
};
// The mouse button insertion a command stands for, if it is one.
std::optional<MouseInsert> mouseInsertOf(int command);

}  // namespace tavrik::app::macromanager
