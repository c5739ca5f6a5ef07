#include "macro_dialog_fixture.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "controls/skin_list_box.h"
#include "dialogs/macro_manager/event_menu.h"
#include "dialogs/macro_manager/macro_manager_layout.h"
#include "keyhook/keyhook.h"
#include "macro/macro_events.h"
#include "skin/skin_paths.h"

namespace tavrik::app::test_support {

void AnsweringBoxes::inform(QWidget*, const macro::Notice& n, Language lang) {
    m_shown.push_back({std::string(n.text.in(lang)), std::string(n.caption.in(lang)), false});
}

bool AnsweringBoxes::confirm(QWidget*, const macro::Notice& n, Language lang) {
    m_shown.push_back({std::string(n.text.in(lang)), std::string(n.caption.in(lang)), true});
    return m_answer;
}

std::string eventText(int vk, bool released) {
    return macro::eventLineText(static_cast<std::uint8_t>(vk), released);
}

void MacroDialogTest::TearDown() {
    m_dlg.reset();
    removehook();
}

void MacroDialogTest::openDialog(int languageCode) {
    m_dlg = std::make_unique<MacroManagerDialog>(skin::programFolder(), languageCode, nullptr,
                                                 &m_clock);
    m_dlg->setNoticeBoxes(std::make_unique<AnsweringBoxes>(m_shown, m_answer));
    m_dlg->beginEditing(m_store);
    m_dlg->show();
    QApplication::processEvents();
}

void MacroDialogTest::click(QPoint p) {
    QTest::mouseClick(m_dlg.get(), Qt::LeftButton, {}, p);
}

void MacroDialogTest::clickButton(int button) {
    click(macromanager::kButtons[static_cast<std::size_t>(button)].rect.center());
}

void MacroDialogTest::hookKey(int vk, bool released) {
    m_dlg->hookReports().post(vk, released);
    QCoreApplication::sendPostedEvents(&m_dlg->hookReports());
}

void MacroDialogTest::tap(int vk, int holdMs) {
    hookKey(vk, false);
    m_clock.advanceMs(holdMs);
    hookKey(vk, true);
}

void MacroDialogTest::selectEventLine(int line) {
    SkinListBox* list = m_dlg->eventList();
    list->scrollToItem(list->item(line));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->itemRect(line).center());
}

void MacroDialogTest::menuCommand(int command) {
    // Over the selected line: a right click selects the line under the cursor.
    SkinListBox* list = m_dlg->eventList();
    const int line = list->currentRow();
    const QPoint at = line >= 0 ? list->itemRect(line).center() : QPoint(10, 10);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
    ASSERT_TRUE(m_dlg->eventMenu()->isVisible());
    QAction* action = macromanager::findCommandAction(*m_dlg->eventMenu(), command);
    ASSERT_NE(action, nullptr);
    action->trigger();
    m_dlg->eventMenu()->hide();
}

void MacroDialogTest::editLine(SkinListBox& list, int line, const QString& text) {
    list.scrollToItem(list.item(line));
    const QPoint at = list.itemRect(line).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    InPlaceEdit* edit = list.editControl();
    ASSERT_NE(edit, nullptr) << "no in-place edit began";
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

std::vector<std::string> MacroDialogTest::eventLines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < m_dlg->eventList()->count(); ++i)
        lines.push_back(m_dlg->eventList()->item(i)->text().toStdString());
    return lines;
}

std::vector<std::string> MacroDialogTest::macroListLines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < m_dlg->macroList()->count(); ++i)
        lines.push_back(m_dlg->macroList()->item(i)->text().toStdString());
    return lines;
}

const macro::MacroRecord& MacroDialogTest::workingRecord(int i) const {
    return m_dlg->editor().workingStore()[static_cast<std::size_t>(i)];
}

}  // namespace tavrik::app::test_support
