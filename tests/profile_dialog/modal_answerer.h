#pragma once
// Answers the modal message boxes and popup menus that a window opens while a test drives it,
// so that their nested event loops never block the test: every box is recorded and answered
// with `answer` (OK when the box lacks it); a menu is recorded and `pick` is clicked in it, or
// it is closed when no pick is set.

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <optional>
#include <vector>

namespace tavrik::app {

struct SeenBox {
    QString caption;
    QString text;
    bool hasCancel = false;
};

class ModalAnswerer : public QObject {
public:
    ModalAnswerer() {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start(2);
    }

    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::optional<int> pick;  // action data of the menu item to click; cleared once used
    std::vector<SeenBox> boxes;
    std::vector<QStringList> menus;

private:
    void poll() {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            answerMenu(*menu);
        } else if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            answerBox(*box);
        }
    }

    void answerMenu(QMenu& menu) {
        QStringList texts;
        QAction* chosen = nullptr;
        for (QAction* a : menu.actions()) {
            texts << a->text();
            if (pick && a->data().toInt() == *pick) chosen = a;
        }
        menus.push_back(texts);
        pick.reset();
        if (!chosen) {
            menu.close();
            return;
        }
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(chosen).center());
    }

    void answerBox(QMessageBox& box) {
        boxes.push_back(
            {box.windowTitle(), box.text(), box.button(QMessageBox::Cancel) != nullptr});
        QAbstractButton* button = box.button(answer);
        (button ? button : box.button(QMessageBox::Ok))->click();
    }

    QTimer m_timer;
};

}  // namespace tavrik::app
