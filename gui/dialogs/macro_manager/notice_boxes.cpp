#include "dialogs/macro_manager/notice_boxes.h"

#include <QMessageBox>
#include <QPushButton>

#include "host/qt/qt_text.h"

namespace tavrik::app {
namespace {

constexpr BiText kOk{"OK", "确定"};
constexpr BiText kCancel{"Cancel", "取消"};

int run(QWidget* parent, const macro::Notice& notice, Language lang, bool question) {
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information,
                    qs(notice.caption, lang), qs(notice.text, lang), QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(qs(kOk, lang));
    if (question) {
        box.addButton(QMessageBox::Cancel)->setText(qs(kCancel, lang));
        box.setDefaultButton(QMessageBox::Cancel);
    }
    return box.exec();
}

}  // namespace

void QtNoticeBoxes::inform(QWidget* parent, const macro::Notice& notice, Language lang) {
    run(parent, notice, lang, false);
}

bool QtNoticeBoxes::confirm(QWidget* parent, const macro::Notice& notice, Language lang) {
    return run(parent, notice, lang, true) == QMessageBox::Ok;
}

}  // namespace tavrik::app
