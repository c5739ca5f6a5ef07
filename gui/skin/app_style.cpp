#include "skin/app_style.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPalette>
#include <QStyleFactory>
#include <string>

#include "skin/skin_manifest.h"
#include "skin/skin_paths.h"

namespace tavrik::skin {

using namespace colour;

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, kPanel);
    p.setColor(QPalette::WindowText, kText);
    p.setColor(QPalette::Base, kBase);
    p.setColor(QPalette::AlternateBase, kPanel);
    p.setColor(QPalette::ToolTipBase, kPanelLight);
    p.setColor(QPalette::ToolTipText, kText);
    p.setColor(QPalette::PlaceholderText, kMutedText);
    p.setColor(QPalette::Text, kText);
    p.setColor(QPalette::Button, kPanelLight);
    p.setColor(QPalette::ButtonText, kText);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, kEdge);
    p.setColor(QPalette::Midlight, kPanelLight);
    p.setColor(QPalette::Mid, kEdge.darker(130));
    p.setColor(QPalette::Dark, kBase);
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, kSelection);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, kActive);
    p.setColor(QPalette::LinkVisited, kActive.darker(130));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, kMutedText);
    }
    p.setColor(QPalette::Disabled, QPalette::Highlight, kPanelLight);
    return p;
}

QString appStyleSheet() {
    const auto c = [](const QColor& colour) { return colour.name(QColor::HexRgb); };
    // Buttons as the skin draws its own: a rounded panel with a light-to-dark gradient, the
    // crimson edge under the pointer and on the default button.
    return QStringLiteral(
               "QMessageBox { background-color: %1; }"
               "QMessageBox QLabel { color: %2; background: transparent; }"
               "QMessageBox QPushButton, QDialogButtonBox QPushButton {"
               " color: %2; min-width: 64px; min-height: 20px; padding: 2px 12px;"
               " border: 1px solid %3; border-radius: 4px;"
               " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %4, stop:1 %5); }"
               "QMessageBox QPushButton:hover, QDialogButtonBox QPushButton:hover,"
               " QMessageBox QPushButton:default, QDialogButtonBox QPushButton:default {"
               " border-color: %6; }"
               "QMessageBox QPushButton:pressed, QDialogButtonBox QPushButton:pressed {"
               " background: %7; }"
               "QMessageBox QPushButton:focus, QDialogButtonBox QPushButton:focus {"
               " border: 1px solid %8; }"
               "QMenu { background-color: %1; color: %2; border: 1px solid %3; padding: 3px; }"
               "QMenu::item { padding: 4px 22px 4px 22px; background: transparent; }"
               "QMenu::item:selected { background-color: %7; color: #ffffff; }"
               "QMenu::item:disabled { color: %9; }"
               "QMenu::separator { height: 1px; background: %3; margin: 3px 6px; }"
               "QMenu::indicator { width: 12px; height: 12px; left: 5px; }"
               "QMenu::indicator:non-exclusive:unchecked { border: 1px solid %3;"
               " border-radius: 2px; background: %10; }"
               "QMenu::indicator:non-exclusive:checked { border: 1px solid %6;"
               " border-radius: 2px; background: %6; }")
        .arg(c(kPanel), c(kText), c(kEdge), c(kPanelLight), c(kPanelLight.darker(160)), c(kAccent),
             c(kSelection), c(kActive), c(kMutedText), c(kBase));
}

void applyDarkStyle(QApplication& app) {
    if (auto* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    app.setPalette(darkPalette());
    app.setStyleSheet(appStyleSheet());
}

QIcon appIcon(const QString& programFolder) {
    QIcon icon;
    const QString folder = skinRoot(programFolder) + QStringLiteral("png/");
    const std::string names[] = {std::string(kAppIcon), doubleSizeName(kAppIcon)};
    for (const std::string& name : names) {
        const QString file = folder + QString::fromStdString(name);
        if (QFileInfo(file).isFile()) icon.addFile(file);
    }
    return icon;
}

}  // namespace tavrik::skin
