#include "controls/skin_list_box.h"

#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QScrollBar>
#include <QTest>

#include "message_recorder.h"

namespace tavrik::app {
namespace {

class ListBoxTest : public ::testing::Test {
protected:
    ListBoxTest() : m_list(new SkinListBox(&m_parent)), m_recorder(*m_list) {
        m_parent.resize(200, 300);
        m_list->setGeometry(10, 10, 113, 120);
        m_list->configure(16, "Arial", Qt::white, QColor(0, 255, 255), true, Qt::black, 2);
        m_parent.show();
    }

    void fill(std::initializer_list<const char*> lines) {
        for (const char* l : lines) m_list->addString(QString::fromUtf8(l));
    }

    // Double-clicks the item as a user would (it is selected first).
    void startEdit(int index) {
        m_list->setCurrentRow(index);
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {},
                           m_list->itemRect(index).center());
    }

    void type(const QString& text, Qt::Key finish) {
        InPlaceEdit* edit = m_list->editControl();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QTest::keyPress(edit, finish);
        QTest::keyRelease(edit, finish);
    }

    std::vector<Message> sent() const { return m_recorder.messages; }

    QWidget m_parent;
    SkinListBox* m_list;
    MessageRecorder m_recorder;
};

struct DelayCase {
    const char* typed;
    const char* line;
    int value;
    bool changed;
};

class DelayEditTest : public ListBoxTest, public ::testing::WithParamInterface<DelayCase> {};

TEST_P(DelayEditTest, ClampsAndReportsTheValue) {
    m_list->setEditMode(SkinListBox::kDelayValue);
    fill({"A dn", "250 ms", "A up"});
    startEdit(1);
    ASSERT_NE(m_list->editControl(), nullptr);
    EXPECT_EQ(m_list->editControl()->text(), "250");
    EXPECT_EQ(m_list->itemBeingEdited(), 1);

    type(QString::fromUtf8(GetParam().typed), Qt::Key_Return);
    EXPECT_EQ(m_list->item(1)->text(), QString::fromUtf8(GetParam().line));
    EXPECT_EQ(m_list->editControl(), nullptr);
    EXPECT_EQ(m_list->itemBeingEdited(), -1);

    std::vector<Message> expected{{Message::EditStarted, 1, 0, {}},
                                  {Message::DelayEdited, 1, GetParam().value, {}}};
    if (GetParam().changed) expected.push_back({Message::ItemTextChanged, 1, 0, "250 ms"});
    EXPECT_EQ(sent(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DelayEditTest,
    ::testing::Values(DelayCase{"0", "2 ms", 2, true}, DelayCase{"99999", "60000 ms", 60000, true},
                      DelayCase{"", "2 ms", 2, true}, DelayCase{"250", "250 ms", 250, false},
                      DelayCase{"60000", "60000 ms", 60000, true},
                      DelayCase{"1x2", "12 ms", 12, true},  // letters are not accepted
                      DelayCase{"99999999999999999999999", "60000 ms", 60000, true}));

TEST_F(ListBoxTest, EventLinesCannotBeEdited) {
    m_list->setEditMode(SkinListBox::kDelayValue);
    fill({"A dn", "250 ms", "A up"});
    startEdit(0);
    startEdit(2);
    EXPECT_EQ(m_list->editControl(), nullptr);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ListBoxTest, EscapeDiscardsWithoutAMessage) {
    m_list->setEditMode(SkinListBox::kNotifyRename);
    fill({"Default", "FPS"});
    startEdit(1);
    type("Renamed", Qt::Key_Escape);
    EXPECT_EQ(m_list->item(1)->text(), "FPS");
    EXPECT_EQ(m_list->editControl(), nullptr);
    EXPECT_EQ(sent(), (std::vector<Message>{{Message::EditStarted, 1, 0, {}}}));
}

// Escape discards also in mode 1, where a kept edit reports its value even when unchanged.
TEST_F(ListBoxTest, EscapeDiscardsADelayEdit) {
    m_list->setEditMode(SkinListBox::kDelayValue);
    fill({"A dn", "250 ms", "A up"});
    startEdit(1);
    type("900", Qt::Key_Escape);
    EXPECT_EQ(m_list->item(1)->text(), "250 ms");
    EXPECT_EQ(sent(), (std::vector<Message>{{Message::EditStarted, 1, 0, {}}}));
}

// Losing the focus keeps the entered text, as Enter does.
TEST_F(ListBoxTest, FocusLossKeepsTheEdit) {
    fill({"Macro 1", "Macro 2"});
    startEdit(0);
    m_list->editControl()->setText("Typed");
    QFocusEvent focusOut(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(m_list->editControl(), &focusOut);
    EXPECT_EQ(m_list->editControl(), nullptr);
    EXPECT_EQ(m_list->item(0)->text(), "Typed");
    EXPECT_EQ(sent(), (std::vector<Message>{{Message::EditStarted, 0, 0, {}},
                                            {Message::ItemTextChanged, 0, 0, "Macro 1"}}));
}

// A receiver that rebuilds the list while a delay edit is told leaves the rebuilt list alone.
TEST_F(ListBoxTest, ListRebuiltByTheReceiverIsNotOverwritten) {
    m_list->setEditMode(SkinListBox::kDelayValue);
    fill({"A dn", "250 ms", "A up"});
    QObject::connect(m_list, &SkinListBox::delayEdited, m_list, [this](int row, int ms) {
        m_list->item(row)->setText(QStringLiteral("%1 ms (stored)").arg(ms));
    });
    startEdit(1);
    type("300", Qt::Key_Return);
    EXPECT_EQ(m_list->item(1)->text(), "300 ms (stored)");
    EXPECT_EQ(sent(), (std::vector<Message>{{Message::EditStarted, 1, 0, {}},
                                            {Message::DelayEdited, 1, 300, {}}}));
}

// A list box destroyed during an edit tells nothing more.
TEST_F(ListBoxTest, DestroyedDuringAnEditTellsNothing) {
    fill({"Macro 1"});
    startEdit(0);
    ASSERT_NE(m_list->editControl(), nullptr);
    delete m_list;
    m_list = nullptr;
    QApplication::processEvents();
    EXPECT_EQ(sent(), (std::vector<Message>{{Message::EditStarted, 0, 0, {}}}));
}

TEST_F(ListBoxTest, RenameToTheSameTextSendsNothing) {
    m_list->setEditMode(SkinListBox::kNotifyRename);
    fill({"Default", "FPS"});
    startEdit(0);
    type("Default", Qt::Key_Return);
    EXPECT_EQ(sent(), (std::vector<Message>{{Message::EditStarted, 0, 0, {}}}));
}

TEST_F(ListBoxTest, RenameInASortedListReportsOldAndNewIndex) {
    m_list->setEditMode(SkinListBox::kNotifyRename);
    m_list->setSortingEnabled(true);
    fill({"Alpha", "Bravo", "Charlie"});
    m_list->item(0)->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(77));
    startEdit(0);
    type("Zulu", Qt::Key_Return);
    EXPECT_EQ(m_list->item(2)->text(), "Zulu");
    EXPECT_EQ(m_list->itemData(2), 77u);
    EXPECT_EQ(m_list->currentRow(), 2);
    EXPECT_EQ(sent(), (std::vector<Message>{{Message::EditStarted, 0, 0, {}},
                                            {Message::ItemTextChanged, 2, 0, "Alpha"},
                                            {Message::RenameFinished, 0, 2, {}}}));
}

TEST_F(ListBoxTest, PlainRenameReportsOnlyTheChangedItem) {
    fill({"Macro 1", "Macro 2"});
    startEdit(1);
    type("Combo", Qt::Key_Return);
    EXPECT_EQ(m_list->item(1)->text(), "Combo");
    EXPECT_EQ(sent(), (std::vector<Message>{{Message::EditStarted, 1, 0, {}},
                                            {Message::ItemTextChanged, 1, 0, "Macro 2"}}));
}

TEST_F(ListBoxTest, ScrollingWheelAndResizeKeepTheEditedText) {
    for (int i = 0; i < 20; ++i) m_list->addString(QString("Item %1").arg(i));
    startEdit(0);
    m_list->editControl()->setText("Scrolled");
    m_list->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(m_list->item(0)->text(), "Scrolled");
    EXPECT_EQ(m_list->editControl(), nullptr);

    startEdit(1);
    m_list->editControl()->setText("Wheeled");
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_list->viewport(), &wheel);
    EXPECT_EQ(m_list->item(1)->text(), "Wheeled");

    startEdit(3);
    m_list->editControl()->setText("Resized");
    m_list->resize(113, 150);
    EXPECT_EQ(m_list->item(3)->text(), "Resized");
    EXPECT_EQ(m_list->editControl(), nullptr);
}

struct LineCase {
    const char* text;
    const char* shown;
    SkinListBox::LineMark mark;
};

class LineClassTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineClassTest, StripsTheMarker) {
    QString text = QString::fromUtf8(GetParam().text);
    EXPECT_EQ(SkinListBox::classifyLine(text), GetParam().mark);
    EXPECT_EQ(text, QString::fromUtf8(GetParam().shown));
}

using Mark = SkinListBox::LineMark;
INSTANTIATE_TEST_SUITE_P(Lines, LineClassTest,
                         ::testing::Values(LineCase{"A dn", "A ", Mark::Press},
                                           LineCase{"Shift up", "Shift ", Mark::Release},
                                           LineCase{"250 ms", "250 ms", Mark::Delay},
                                           LineCase{"Macro", "Macro", Mark::None},
                                           LineCase{"PgUp dn", "PgUp ", Mark::Press}));

// The icon of an event line sits 20 pixels before the row's right end.
TEST_F(ListBoxTest, DrawsIconsOnEventLinesOnly) {
    m_list->setEditMode(SkinListBox::kDelayValue);
    fill({"A dn", "250 ms", "Hello"});
    const QImage shot = m_list->viewport()->grab().toImage();
    auto iconColours = [&](int row) {
        const QRect r = m_list->itemRect(row);
        int red = 0, cyan = 0;
        for (int y = r.top(); y < r.top() + 14; ++y) {
            for (int x = r.right() + 1 - 20; x < r.right() + 1 - 6; ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (c.red() > 180 && c.green() < 80) ++red;
                if (c.green() > 180 && c.blue() > 180 && c.red() < 80) ++cyan;
            }
        }
        return std::pair{red, cyan};
    };
    EXPECT_GT(iconColours(0).first, 10);
    EXPECT_GT(iconColours(1).second, 5);
    EXPECT_EQ(iconColours(2), (std::pair{0, 0}));
}

}  // namespace
}  // namespace tavrik::app
