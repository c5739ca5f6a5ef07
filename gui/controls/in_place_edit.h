#pragma once
// InPlaceEdit: the in-place edit control of SkinListBox. It emits finished(true) on the release
// of Enter and when it loses the focus, finished(false) on the release of Escape. The presses of
// Enter and Escape are consumed so that they never reach a dialog (which would close it or press
// its default button).

#include <QLineEdit>

namespace tavrik::app {

class InPlaceEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit InPlaceEdit(QWidget* parent);

signals:
    // The edit is over: keep = the entered text is to be kept, false = discarded.
    void finished(bool keep);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace tavrik::app
