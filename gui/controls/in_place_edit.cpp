#include "controls/in_place_edit.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include "host/qt/app_event.h"

namespace tavrik::app {
namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

InPlaceEdit::InPlaceEdit(QObject* listBox, QWidget* parent)
    : QLineEdit(parent), m_listBox(listBox) {}

void InPlaceEdit::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event->key()) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void InPlaceEdit::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && isEnter(event->key())) {
        done(true);
        return;
    }
    if (!event->isAutoRepeat() && event->key() == Qt::Key_Escape) {
        done(false);
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void InPlaceEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    done(true);
}

void InPlaceEdit::done(bool keep) {
    if (!m_listBox) return;
    AppEvent event(msg::WM_EDITDONE, keep ? 1 : 0, 0);
    QCoreApplication::sendEvent(m_listBox, &event);
}

}  // namespace tavrik::app
