#pragma once
// InPlaceEdit: the in-place edit control of SkinListBox. On the release of Enter it sends
// WM_EDITDONE (wParam 1) to its list box, on the release of Escape WM_EDITDONE (wParam 0), and
// when it loses the focus WM_EDITDONE (wParam 1). The presses of Enter and Escape are consumed so
// that they never reach a dialog (which would close it or press its default button).

#include <QLineEdit>
#include <QPointer>

namespace tavrik::app {

class InPlaceEdit : public QLineEdit {
    Q_OBJECT
public:
    InPlaceEdit(QObject* listBox, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void done(bool keep);

    QPointer<QObject> m_listBox;
};

}  // namespace tavrik::app
