#pragma once
// What the tool's skinned windows and controls tell assistive technology: one factory for the
// painted controls (bitmap slider, image button, list box, tree, in-place edit) and the painted
// windows (main window, key assignment dialog). Installed once, before the first window.

#include <QAccessibleInterface>
#include <QString>

namespace tavrik::app::a11y {

void installAccessibility();

// The factory itself (tests call it to check which classes it takes).
QAccessibleInterface* accessibleFactory(const QString& className, QObject* object);

// The custom action of list rows that starts an in-place edit.
inline constexpr const char* kEditAction = "Edit";

}  // namespace tavrik::app::a11y
