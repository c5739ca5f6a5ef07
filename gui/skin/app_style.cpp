#include "skin/app_style.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace tavrik::skin {
namespace {

// The colours of the generated skin.
const QColor kBase{24, 25, 29};
const QColor kPanel{40, 42, 48};
const QColor kPanelLight{58, 61, 69};
const QColor kEdge{86, 90, 101};
const QColor kSelection{102, 46, 47};
const QColor kActive{0, 214, 224};
const QColor kText{222, 224, 230};
const QColor kDisabledText{120, 123, 132};

}  // namespace

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, kPanel);
    p.setColor(QPalette::WindowText, kText);
    p.setColor(QPalette::Base, kBase);
    p.setColor(QPalette::AlternateBase, kPanel);
    p.setColor(QPalette::ToolTipBase, kPanelLight);
    p.setColor(QPalette::ToolTipText, kText);
    p.setColor(QPalette::PlaceholderText, kDisabledText);
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
        p.setColor(QPalette::Disabled, role, kDisabledText);
    }
    p.setColor(QPalette::Disabled, QPalette::Highlight, kPanelLight);
    return p;
}

void applyDarkStyle(QApplication& app) {
    if (auto* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    app.setPalette(darkPalette());
}

}  // namespace tavrik::skin
