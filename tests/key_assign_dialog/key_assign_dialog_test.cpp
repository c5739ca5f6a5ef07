// The key assignment dialog on its own: what it shows for a record, how its controls and the hook
// feed the capture, its context menu, keyboard, painting and dragging.

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "controls/skin_tree.h"
#include "dialogs/key_assign/key_assign_painter.h"
#include "key_assign_test_support.h"
#include "skin/skin_images.h"
#include "skin/text_style.h"

namespace tavrik {
namespace {

using app::KeyAssignDialog;
using Record = std::array<std::uint8_t, model::kKeyActionRecordSize>;

Record makeRecord(std::uint8_t kind, std::initializer_list<std::uint8_t> codes,
                  std::string_view path = {}) {
    Record r{};
    model::KeyAction a(r);
    a.setOwnCode('A');
    a.setKind(kind);
    std::copy(codes.begin(), codes.end(), a.codes().begin());
    a.setLaunchPath(std::string(path));
    return r;
}

struct Opened {
    Record record;
    std::unique_ptr<KeyAssignDialog> dialog;
};

Opened open(const Record& record, app::KeyMapServices services, Language lang = Language::English) {
    Opened o{record, nullptr};
    const keyassign::KeyMapInput input{o.record, true, {"first", "second", "third"}, lang};
    o.dialog =
        std::make_unique<KeyAssignDialog>(input, test::builtSkinFolder(lang), std::move(services));
    o.dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(o.dialog.get()));
    return o;
}

enum class Shown { Edits, List, Tree, None };

struct OpenCase {
    const char* name;
    Record record;
    Language lang;
    Shown shown;
    QString expected;        // edit text, list row text, tree item text or launch field text
    std::uint8_t savedKind;  // "Save" at once keeps the key's assignment
    int savedCount;
};

class OpenOnRecordTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenOnRecordTest, ShowsTheRecordsChoice) {
    const OpenCase& c = GetParam();
    test::RecordingDesktop desktop;
    Opened o = open(c.record, desktop.services(), c.lang);
    KeyAssignDialog& d = *o.dialog;
    EXPECT_EQ(d.singleEdit()->isVisible(), c.shown == Shown::Edits);
    EXPECT_EQ(d.combineEdit()->isVisible(), c.shown == Shown::Edits);
    EXPECT_EQ(d.macroList()->isVisible(), c.shown == Shown::List);
    EXPECT_EQ(d.tree()->isVisible(), c.shown == Shown::Tree);
    switch (c.shown) {
        case Shown::Edits: {
            QLineEdit* edit = c.record[1] == 1 ? d.combineEdit() : d.singleEdit();
            EXPECT_EQ(edit->text(), c.expected);
            EXPECT_EQ(edit->hasFocus(), c.record[1] <= 1);  // the dialog focuses a key's edit
            EXPECT_EQ(edit->cursorPosition(), c.expected.size());
            EXPECT_FALSE(edit->hasSelectedText());
            break;
        }
        case Shown::List:
            ASSERT_NE(d.macroList()->currentItem(), nullptr);
            EXPECT_EQ(d.macroList()->currentItem()->text(), c.expected);
            break;
        case Shown::Tree:
            ASSERT_NE(d.tree()->currentItem(), nullptr);
            EXPECT_EQ(d.tree()->currentItem()->text(0), c.expected);
            EXPECT_TRUE(d.tree()->currentItem()->parent()->isExpanded());
            break;
        case Shown::None:
            EXPECT_EQ(QString::fromStdString(d.state().fieldText(2)), c.expected);
            break;
    }
    test::click(&d, test::kSaveAt);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(static_cast<int>(d.result().kind), c.savedKind);
    EXPECT_EQ(d.result().count, c.savedCount);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OpenOnRecordTest,
    ::testing::Values(
        OpenCase{"SingleKey", makeRecord(0, {'B'}), Language::English, Shown::Edits, "B ", 0, 1},
        OpenCase{"NothingAssigned", makeRecord(0, {}), Language::English, Shown::Edits, "", 8, 0},
        OpenCase{"Combination", makeRecord(1, {162, 'C'}), Language::English, Shown::Edits,
                 "LCtrl + C + ", 1, 2},
        OpenCase{"Macro", makeRecord(2, {4, 1, 1, 0}), Language::English, Shown::List, "second", 2,
                 0},
        OpenCase{"PresetEnglish", makeRecord(3, {0, 0xE0, 0x04, 0}), Language::English, Shown::Tree,
                 "Select All", 3, 0},
        OpenCase{"PresetChinese", makeRecord(3, {0, 0xE0, 0x04, 0}), Language::Chinese, Shown::Tree,
                 "全选", 3, 0},
        OpenCase{"OpenFile", makeRecord(6, {3, 0, 0x23, 2}, "/home/me/notes/today.txt"),
                 Language::English, Shown::None, "../today.txt", 6, 0},
        OpenCase{"UnknownKind", makeRecord(9, {'B'}), Language::English, Shown::Edits, "", 8, 0}),
    [](const ::testing::TestParamInfo<OpenCase>& row) { return std::string(row.param.name); });

// Painted without pictures (so that no field covers them), the "Advance" tab's row labels end
// before their path fields in both languages, at a legible height.
class LaunchLabelTest : public ::testing::TestWithParam<Language> {};

TEST_P(LaunchLabelTest, EndsBeforeThePathField) {
    const Record record = makeRecord(0, {'B'});
    keyassign::KeyMapState state({record, true, {}, GetParam()});
    state.click({test::kTabAt[3].x(), test::kTabAt[3].y()});
    ASSERT_EQ(state.view().tab, keyassign::Tab::Advance);
    QImage surface(330, 280, QImage::Format_RGB32);
    surface.fill(Qt::black);
    skin::SkinImages none;
    {
        QPainter painter(&surface);
        app::paintKeyMap(painter, none, state);
    }
    EXPECT_GE(app::launchLabelHeight(GetParam()), skin::kMinTextHeight);
    for (int row = 0; row < keyassign::kLaunchRowCount; ++row) {
        const keyassign::Rect label = keyassign::regionRect(row, keyassign::RegionPart::Label);
        const int field = keyassign::regionRect(row, keyassign::RegionPart::Field).left;
        int inLabel = 0, pastLabel = 0;
        for (int y = label.top - 4; y <= label.bottom + 4; ++y) {
            for (int x = label.left; x < field + 40; ++x) {
                (x < field ? inLabel : pastLabel) += qGray(surface.pixel(x, y)) > 100 ? 1 : 0;
            }
        }
        EXPECT_GT(inLabel, 0) << "row " << row;
        EXPECT_EQ(pastLabel, 0) << "row " << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, LaunchLabelTest,
                         ::testing::Values(Language::English, Language::Chinese));

// Clicking into an edit switches between single key and combination and clears the other edit;
// a fourth key starts a new combination.
TEST(KeyMapDialogTest, EditFocusDecidesHowKeysAreCaptured) {
    test::RecordingDesktop desktop;
    Opened o = open(makeRecord(0, {'B'}), desktop.services());
    KeyAssignDialog& d = *o.dialog;
    test::click(d.combineEdit(), {5, 5});
    EXPECT_EQ(d.singleEdit()->text(), "");
    for (int vk : {'A', 'B', 'C', 'D'}) test::hookKey(&d, vk);
    EXPECT_EQ(d.combineEdit()->text(), "D + ");
    test::click(d.singleEdit(), {5, 5});
    EXPECT_EQ(d.combineEdit()->text(), "");
    test::hookKey(&d, 'E');
    test::hookKey(&d, 'F');
    EXPECT_EQ(d.singleEdit()->text(), "F ");
    test::click(&d, test::kSaveAt);
    const keyassign::AssignmentResult r = d.result();
    EXPECT_EQ(r.kind, model::KeyKind::SingleKey);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.captured[0], 'F');
}

TEST(KeyMapDialogTest, DeleteAllFromTheCombineEditsContextMenu) {
    test::RecordingDesktop desktop;
    Opened o = open(makeRecord(1, {162, 'C'}), desktop.services());
    KeyAssignDialog& d = *o.dialog;
    QString offered;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return ADD_FAILURE() << "no context menu";
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() == keyassign::kDeleteAllCommand) {
                offered = action->text();
                action->trigger();
            }
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, {5, 5},
                            d.combineEdit()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(d.combineEdit(), &event);
    EXPECT_EQ(offered, "Delete All");
    EXPECT_EQ(d.combineEdit()->text(), "");
    test::click(&d, test::kSaveAt);
    EXPECT_EQ(d.result().kind, model::KeyKind::None);
}

TEST(KeyMapDialogTest, HookIsInstalledInModeZeroAndRemovedWithTheDialog) {
    std::vector<std::pair<app::HookReports*, int>> installs;
    int removals = 0;
    app::KeyMapServices services;
    services.installHook = [&](app::HookReports* reports, int mode) {
        installs.emplace_back(reports, mode);
        return true;
    };
    services.removeHook = [&] { ++removals; };
    Opened o = open(makeRecord(0, {}), services);
    ASSERT_EQ(installs.size(), 1U);
    EXPECT_EQ(installs[0].first, &o.dialog->hookReports());  // the dialog's own receiver
    EXPECT_EQ(installs[0].second, 0);
    test::click(o.dialog.get(), test::kCloseAt);
    EXPECT_FALSE(o.dialog->isVisible());
    EXPECT_EQ(removals, 0);
    o.dialog.reset();
    EXPECT_EQ(removals, 1);
}

// Keys typed into the dialog's window reach the capture through the key hook in mode 0 (its
// in-application backend, used where no X display is reachable), each press once.
TEST(KeyMapDialogTest, TypedKeysAreCapturedThroughTheHook) {
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    test::RecordingDesktop desktop;
    Opened o = open(makeRecord(1, {}), desktop.services());
    KeyAssignDialog& d = *o.dialog;
    QTest::keyPress(d.windowHandle(), Qt::Key_Control);
    QTest::keyClick(d.windowHandle(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyRelease(d.windowHandle(), Qt::Key_Control);
    QCoreApplication::sendPostedEvents(&d);
    EXPECT_EQ(d.combineEdit()->text(), "LCtrl + C + ");
    o.dialog.reset();
    if (!display.isNull()) qputenv("DISPLAY", display);
}

// Keys reach the edits only as hook reports; without the hook the edits stay empty, and neither
// Enter nor Esc ends the dialog.
TEST(KeyMapDialogTest, KeyboardGoesThroughTheHookOnly) {
    test::RecordingDesktop desktop;
    Opened hooked = open(makeRecord(0, {}), desktop.services());
    QTest::keyClicks(hooked.dialog->singleEdit(), "xy");
    EXPECT_EQ(hooked.dialog->singleEdit()->text(), "");
    hooked.dialog.reset();

    app::KeyMapServices unhooked = desktop.services();
    unhooked.installHook = [](app::HookReports*, int) { return false; };
    Opened o = open(makeRecord(0, {}), unhooked);
    KeyAssignDialog& d = *o.dialog;
    test::hookKey(&d, 'K');
    EXPECT_EQ(d.singleEdit()->text(), "");
    QTest::keyClicks(d.singleEdit(), "xy");
    EXPECT_EQ(d.singleEdit()->text(), "");
    QTest::keyClick(d.singleEdit(), Qt::Key_Return);
    QTest::keyClick(d.singleEdit(), Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
}

// The pointer over a button shows its hover picture, the ticked "Disable" box "Enable.png"; every
// tab and state draws only pictures that the skin provides.
TEST(KeyMapDialogTest, PaintsSkinPicturesByState) {
    test::RecordingDesktop desktop;
    Opened o = open(makeRecord(0, {}), desktop.services());
    KeyAssignDialog& d = *o.dialog;
    skin::SkinImages images(test::builtSkinFolder(Language::English));
    const auto shows = [&](QPoint at, const char* file) {
        return d.grab().toImage().pixel(at) == images.image(file).pixel(1, 1);
    };
    const QPoint saveCorner{265, 247};
    const QPoint boxCorner{20, 252};
    EXPECT_TRUE(shows(saveCorner, "button-save-normal.png"));
    EXPECT_TRUE(shows(boxCorner, "Disable.png"));
    QTest::mouseMove(&d, test::kSaveAt);
    EXPECT_TRUE(shows(saveCorner, "button-save-over.png"));
    test::click(&d, test::kDisableAt);
    EXPECT_TRUE(shows(boxCorner, "Enable.png"));
    for (QPoint tab : test::kTabAt) {
        test::click(&d, tab);
        for (QPoint at : {test::kCloseAt, test::kCancelAt, test::browseAt(0)}) {
            QTest::mouseMove(&d, at);
            d.grab();
        }
    }
    test::click(&d, test::indicatorAt(2));
    d.grab();
    EXPECT_TRUE(d.images().unlistedFiles(skin::SkinPart::Custom).isEmpty())
        << d.images().unlistedFiles(skin::SkinPart::Custom).join(' ').toStdString();
    EXPECT_TRUE(d.images().missedFiles().isEmpty());
    EXPECT_EQ(d.images().requestedFiles().size(), 18);  // every picture of the dialog's skin
}

TEST(KeyMapDialogTest, DraggingTheBackgroundMovesTheDialog) {
    test::RecordingDesktop desktop;
    Opened o = open(makeRecord(0, {}), desktop.services());
    KeyAssignDialog& d = *o.dialog;
    const QPoint start = d.pos();
    QTest::mousePress(&d, Qt::LeftButton, Qt::NoModifier, {150, 20});
    QTest::mouseMove(&d, {190, 50});
    QTest::mouseRelease(&d, Qt::LeftButton, Qt::NoModifier, {150, 20});
    EXPECT_EQ(d.pos() - start, QPoint(40, 30));
    EXPECT_TRUE(d.isVisible());
}

}  // namespace
}  // namespace tavrik
