// Renders the macro manager to PNG files for a visual check, in English and Chinese: empty, with
// a recorded macro, with the event list's context menu (and a submenu) open, its delete question,
// and with a delay being edited in place. Usage: tavrik-render-dialogs-macro [output folder]
// (default: render-out); the skin is read from beside this executable.

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cstdio>

#include "controls/skin_list_box.h"
#include "dialogs/macro_manager/macro_manager_dialog.h"
#include "dialogs/macro_manager/macro_manager_layout.h"
#include "dialogs/macro_manager/macro_manager_texts.h"
#include "host/qt/qt_text.h"
#include "keyhook/keyhook.h"
#include "macro/macro_texts.h"
#include "skin/app_style.h"
#include "skin/skin_paths.h"

using namespace tavrik;
using namespace tavrik::app;

namespace {

// The clock the recorded delays are read from, moved by hand.
class HandClock final : public macro::Clock {
public:
    std::int64_t ticks() const override { return m_now; }
    std::int64_t frequency() const override { return 1000; }  // milliseconds
    void advance(std::int64_t ms) { m_now += ms; }

private:
    std::int64_t m_now = 0;
};

void save(const QImage& image, const QString& path) {
    std::printf("%s %s\n", image.save(path) ? "wrote" : "FAILED", qPrintable(path));
}

// The dialog with every visible popup menu drawn at its place, on a canvas that holds them all.
QImage compose(MacroManagerDialog& dlg, const QList<QMenu*>& menus) {
    QRect area = dlg.geometry();
    for (QMenu* m : menus)
        if (m->isVisible()) area |= m->geometry();
    // At the screen's pixel ratio, so that a scaled screen's pixels are all kept.
    const qreal ratio = dlg.devicePixelRatioF();
    QImage canvas(area.size() * ratio, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(QColor(40, 40, 40));
    QPainter p(&canvas);
    p.drawPixmap(dlg.geometry().topLeft() - area.topLeft(), dlg.grab());
    for (QMenu* m : menus)
        if (m->isVisible()) p.drawPixmap(m->geometry().topLeft() - area.topLeft(), m->grab());
    return canvas;
}

void hookKey(MacroManagerDialog& dlg, int vk, bool released) {
    emit dlg.hookReports().key(vk, released);
}

void clickButton(MacroManagerDialog& dlg, int button) {
    const QPoint at = macromanager::kButtons[static_cast<std::size_t>(button)].rect.center();
    QMouseEvent release(QEvent::MouseButtonRelease, at, dlg.mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, {});
    QCoreApplication::sendEvent(&dlg, &release);
}

// Ctrl down, C tapped, Ctrl up, a pause, then Enter, with the delays measured by the clock.
void recordSample(MacroManagerDialog& dlg, HandClock& clock) {
    clickButton(dlg, macromanager::kDelayOption);
    clickButton(dlg, macromanager::kRecord);
    const std::pair<int, int> steps[] = {{0xA2, 0},  {0x43, 180},  {0x43, 95},
                                         {0xA2, 40}, {0x0D, 1500}, {0x0D, 70}};
    bool down[256] = {};
    for (auto [vk, ms] : steps) {
        clock.advance(ms);
        hookKey(dlg, vk, down[vk]);
        down[vk] = !down[vk];
    }
}

void renderLanguage(const QString& outDir, int code) {
    const QString suffix = code == kChineseLanguageCode ? "-chinese.png" : "-english.png";
    HandClock clock;
    macro::MacroStore store{};
    MacroManagerDialog dlg(skin::programFolder(), code, nullptr, &clock);
    dlg.move(40, 40);
    dlg.beginEditing(store);
    dlg.show();
    QApplication::processEvents();
    save(compose(dlg, {}), outDir + "/macro-empty" + suffix);

    clickButton(dlg, macromanager::kNew);
    clickButton(dlg, macromanager::kNew);
    clickButton(dlg, macromanager::kNew);
    dlg.macroList()->setCurrentRow(0);
    recordSample(dlg, clock);
    QApplication::processEvents();
    save(compose(dlg, {}), outDir + "/macro-recording" + suffix);
    clickButton(dlg, macromanager::kRecord);
    clickButton(dlg, macromanager::kLoopOption);
    QApplication::processEvents();
    save(compose(dlg, {}), outDir + "/macro-recorded" + suffix);

    SkinListBox* events = dlg.eventList();
    events->setCurrentRow(3);
    QMenu* menu = dlg.eventMenu();
    menu->popup(events->viewport()->mapToGlobal(events->itemRect(3).center()));
    QAction* mouse = menu->actions().at(2);
    menu->setActiveAction(mouse);
    QMenu* buttons = mouse->menu();
    buttons->popup(menu->mapToGlobal(menu->actionGeometry(mouse).topRight()));
    QAction* left = buttons->actions().at(0);
    buttons->setActiveAction(left);
    left->menu()->popup(buttons->mapToGlobal(buttons->actionGeometry(left).topRight()));
    QApplication::processEvents();
    save(compose(dlg, {menu, buttons, left->menu()}), outDir + "/macro-menu" + suffix);
    menu->hide();
    buttons->hide();
    left->menu()->hide();

    // The delete question as the dialog asks it, in the application's style.
    {
        const Language lang = languageFromCode(code);
        const macro::Notice& n = macro::text::kConfirmDelete;
        QMessageBox box(QMessageBox::Question, qs(n.caption, lang), qs(n.text, lang),
                        QMessageBox::Ok | QMessageBox::Cancel, &dlg);
        box.setDefaultButton(QMessageBox::Cancel);
        box.show();
        QApplication::processEvents();
        save(box.grab().toImage(), outDir + "/macro-confirm-delete" + suffix);
    }

    events->setCurrentRow(1);
    events->beginEdit(1);
    QApplication::processEvents();
    save(compose(dlg, {}), outDir + "/macro-delay-edit" + suffix);
    events->endEdit(false);
    dlg.reject();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("DISPLAY");  // recording uses the in-application hook only
    QApplication app(argc, argv);
    tavrik::skin::applyDarkStyle(app);
    const QString outDir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("render-out");
    QDir().mkpath(outDir);
    for (int code : {0, kChineseLanguageCode}) renderLanguage(outDir, code);
    removehook();
    return 0;
}
