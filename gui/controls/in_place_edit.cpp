#include "controls/in_place_edit.h"

#include <QKeyEvent>

namespace tavrik::app {
namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

InPlaceEdit::InPlaceEdit(QWidget* parent) : QLineEdit(parent) {}

void InPlaceEdit::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event->key()) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void InPlaceEdit::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && isEnter(event->key())) {
        emit finished(true);
        return;
    }
    if (!event->isAutoRepeat() && event->key() == Qt::Key_Escape) {
        emit finished(false);
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void InPlaceEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit finished(true);
}

}  // namespace tavrik::app
