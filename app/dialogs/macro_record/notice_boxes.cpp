#include "dialogs/macro_record/notice_boxes.h"

#include <QMessageBox>
#include <QPushButton>

#include "dialogs/macro_record/qt_text.h"

namespace tavrik::app {
namespace {

constexpr BiText kOk{"OK", "确定"};
constexpr BiText kCancel{"Cancel", "取消"};

int run(QWidget* parent, const macro::Notice& notice, Language lang, bool question) {
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information,
                    qtext(notice.caption, lang), qtext(notice.text, lang), QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(qtext(kOk, lang));
    if (question) {
        box.addButton(QMessageBox::Cancel)->setText(qtext(kCancel, lang));
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
