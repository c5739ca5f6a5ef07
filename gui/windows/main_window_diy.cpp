// The DIY view's painting: mouse presses, drags and editing keys forwarded to the view rules,
// the colour chooser, the selection's outline, and the palette marks, Fill all / Clear all
// buttons and key group chips of the lighting section.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>

#include "dialogs/colour_chooser/colour_chooser_dialog.h"
#include "host/qt/qt_text.h"
#include "mainwindow/texts.h"
#include "settings/colour_pick.h"
#include "settings/diy_paint.h"
#include "skin/text_style.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

namespace txt = mainwindow::text;
namespace hit = mainwindow::hit;

const QColor kMark{0, 214, 224};  // the skin's active colour
const QColor kButton{58, 61, 69};
const QColor kButtonOver{102, 46, 47};
const QColor kButtonEdge{86, 90, 101};

QRect windowRect(const model::Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

// The selection's ring: white between two black lines, which reads on every key colour.
const QColor kSelectionLight{255, 255, 255};
const QColor kSelectionDark{0, 0, 0};

QColor toQColor(settings::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

QRect keyWindowRect(int slot) {
    return windowRect(model::windowRect(slot));
}

// Where the recently chosen colours are kept: a settings file in the data folder.
const QString kSettingsFile = QStringLiteral("settings.ini");
const QString kRecentKey = QStringLiteral("colourChooser/recent");

// The editing key a key press stands for in the DIY view, if any.
std::optional<mainwindow::EditCommand> editCommandOf(const QKeyEvent& e) {
    using mainwindow::EditCommand;
    const Qt::KeyboardModifiers mods =
        e.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const bool ctrl = mods == Qt::ControlModifier;
    const bool ctrlShift = mods == (Qt::ControlModifier | Qt::ShiftModifier);
    switch (e.key()) {
        case Qt::Key_A:
            if (ctrl) return EditCommand::SelectAll;
            break;
        case Qt::Key_Z:
            if (ctrl) return EditCommand::Undo;
            if (ctrlShift) return EditCommand::Redo;
            break;
        case Qt::Key_Y:
            if (ctrl) return EditCommand::Redo;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (mods == Qt::NoModifier) return EditCommand::PaintSelection;
            break;
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            if (mods == Qt::NoModifier) return EditCommand::EraseSelection;
            break;
        case Qt::Key_Escape:
            if (mods == Qt::NoModifier) return EditCommand::ClearSelection;
            break;
        default:
            break;
    }
    return std::nullopt;
}

}  // namespace

void MainWindow::mousePressEvent(QMouseEvent* e) {
    QWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
    auto guard = m_model->lock();
    const QPoint pos = e->position().toPoint();
    const mainwindow::PressModifiers mods{(e->modifiers() & Qt::ControlModifier) != 0,
                                          (e->modifiers() & Qt::ShiftModifier) != 0};
    if (m_view.press({pos.x(), pos.y()}, e->button() == Qt::RightButton, guard->image, mods)) {
        guard.unlock();
        update();
    }
}

void MainWindow::dragStroke(QPoint pos) {
    if (!m_view.state().stroke && !m_view.state().band) return;
    auto guard = m_model->lock();
    if (m_view.drag({pos.x(), pos.y()}, guard->image)) {
        guard.unlock();
        update();
    }
}

void MainWindow::endDiyStroke() {
    auto guard = m_model->lock();
    m_view.endStroke(guard->image);
}

bool MainWindow::diyKeyPress(QKeyEvent* e) {
    const auto command = editCommandOf(*e);
    if (!command || !m_view.editsDiy(currentEffect())) return false;
    e->accept();
    auto guard = m_model->lock();
    const bool repaint = m_view.edit(*command, guard->image);
    guard.unlock();
    if (repaint) refresh();
    return true;
}

void MainWindow::chooseColourCommand() {
    QSettings stored(m_context.paths.dataFolder + QLatin1Char('/') + kSettingsFile,
                     QSettings::IniFormat);
    std::vector<settings::Rgb> recent =
        settings::parseRecentColours(stored.value(kRecentKey).toString().toStdString());
    const auto chosen = chooseColour(this, m_view.state().paintColour, recent, m_context.language);
    if (!chosen) return;  // cancelled
    stored.setValue(kRecentKey, QString::fromStdString(settings::recentColoursText(recent)));
    m_view.setPaintColour(*chosen);
    // Keys selected while the colour was chosen take it.
    auto guard = m_model->lock();
    m_view.edit(mainwindow::EditCommand::PaintSelection, guard->image);
    guard.unlock();
    refresh();
}

void MainWindow::paintDiySelection(QPainter& p) {
    const mainwindow::ViewState& v = m_view.state();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    // A ring just inside each selected key's edge: an outline, never a fill that could be taken
    // for a lit key; the hovered key's outline lies outside its edge.
    for (int slot : settings::slotsOf(v.selection)) {
        const QRect r = keyWindowRect(slot);
        p.setPen(QPen(kSelectionDark, 1));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.drawRect(r.adjusted(3, 3, -4, -4));
        p.setPen(QPen(kSelectionLight, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(QRectF(r).adjusted(2, 2, -2, -2));
    }
    if (v.band) {
        const QRect band = windowRect(*v.band);
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        p.drawRect(band);
    }
    p.restore();
}

void MainWindow::paintDiyControls(QPainter& p) {
    const mainwindow::ViewState& v = m_view.state();
    const mainwindow::PanelLayout& layout = m_panelLayout;
    const settings::Rgb paint = v.paintColour;
    const auto chooser = mainwindow::hitArea(hit::kPaintChooser, layout);
    const QRect box = windowRect(*chooser).adjusted(1, 1, -1, -1);
    // The chooser shows the paint colour when it is not a palette colour, else a colour wheel.
    const auto swatch = settings::paletteIndexOf(paint);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (swatch) {
        QConicalGradient wheel(QPointF(box.center()) + QPointF(0.5, 0.5), 90);
        for (int i = 0; i <= 6; ++i) {
            wheel.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
        }
        p.setBrush(wheel);
    } else {
        p.setBrush(toQColor(paint));
    }
    p.setPen(QPen(kButtonEdge, 1));
    p.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    // The chosen paint colour is marked with a ring around its swatch.
    const int marked = swatch ? hit::kLightingSpot + *swatch : hit::kPaintChooser;
    const QRect ring = windowRect(*mainwindow::hitArea(marked, layout));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kMark, 2));
    p.drawRoundedRect(QRectF(ring).adjusted(0, 0, 1, 1), 4, 4);
    p.restore();

    // Fill all, Clear all and the key group chips; their captions are the panel scene's.
    const auto button = [&](int code, qreal radius) {
        const QRect r = windowRect(*mainwindow::hitArea(code, layout));
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(v.hovered(code) ? kMark : kButtonEdge, 1));
        p.setBrush(v.hovered(code) ? kButtonOver : kButton);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, 0.5, 0.5), radius, radius);
        p.restore();
    };
    button(hit::kFillAll, 4);
    button(hit::kClearAll, 4);
    for (int g = 0; g < settings::kKeyGroupCount; ++g) button(hit::kKeyGroup + g, 3);
}

}  // namespace tavrik::app
