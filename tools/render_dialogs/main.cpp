// Renders the dialogs to PNG files for a visual check. Usage: tavrik-render-dialogs [output
// folder] (default: render-out); the skin is read from beside this executable.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QWidget>
#include <cstdio>

#include "dialogs/key_assign/key_assign_dialog.h"
#include "render_key_assign.h"
#include "render_support.h"
#include "skin/app_style.h"
#include "skin/skin_paths.h"

namespace tavrik::render {

void save(QWidget& widget, const QString& outDir, const QString& name) {
    widget.ensurePolished();
    const QString path = outDir + "/" + name;
    std::printf("%s %s\n", widget.grab().save(path) ? "wrote" : "FAILED", qPrintable(path));
}

namespace {

void sendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

}  // namespace

void click(QWidget& widget, QPoint at) {
    sendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton);
}

void hover(QWidget& widget, QPoint at) {
    sendMouse(widget, QEvent::MouseMove, at, Qt::NoButton);
}

void hookKey(app::KeyAssignDialog& dialog, int vk) {
    emit dialog.hookReports().key(vk, false);
}

}  // namespace tavrik::render

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tavrik::skin::applyDarkStyle(app);
    const QString outDir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("render-out");
    QDir().mkpath(outDir);
    tavrik::render::renderKeyMap(tavrik::skin::programFolder(), outDir);
    return 0;
}
