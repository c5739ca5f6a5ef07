#pragma once
// Shared pieces of the dialog renderer: where the pictures go, and synthetic input.

#include <QPoint>
#include <QString>

class QWidget;

namespace tavrik::app {
class KeyAssignDialog;
}

namespace tavrik::render {

// Writes the widget as it is drawn to <output folder>/<name> and prints the path.
void save(QWidget& widget, const QString& outDir, const QString& name);

// A left click, and a pointer move without buttons, at a point of the widget.
void click(QWidget& widget, QPoint at);
void hover(QWidget& widget, QPoint at);
// A key report of the key hook (a press of `vk`).
void hookKey(app::KeyAssignDialog& dialog, int vk);

}  // namespace tavrik::render
