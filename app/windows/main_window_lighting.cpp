// The lighting rules the window paints and edits with.

#include "mainwindow/direction_row.h"
#include "windows/main_window.h"

namespace tavrik::app {

// Effect names, speed and list rows come from the lighting settings library once it is merged.
QString CVediVezazivaDlg::effectName(int effect) const {
    return QString::number(effect);
}
bool CVediVezazivaDlg::effectHasSpeed(int effect) const {
    return effect != 1 && effect < 50;
}
int CVediVezazivaDlg::effectOfRow(int row) const {
    return row;
}
QString CVediVezazivaDlg::responseRowText(int row) const {
    return QStringLiteral("%1ms").arg(2 * (row + 1));
}

int CVediVezazivaDlg::directionButtons(int effect) const {
    return static_cast<int>(mainwindow::directionRow(effect, 0).arrows.size());
}

}  // namespace tavrik::app
