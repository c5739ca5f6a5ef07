// The DIY view's editing in the real window against the emulated keyboard: a fast drag, undo
// and redo from the keyboard, then Save, and the bytes that reach the keyboard and keymap.bin.

#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <functional>
#include <mutex>
#include <vector>

#include "dialogs/colour_chooser/colour_chooser_dialog.h"
#include "dialogs/colour_chooser/colour_fields.h"
#include "mainwindow/main_view.h"
#include "model/keymap_file.h"
#include "model/slot_table.h"
#include "qt_app_fixture.h"

namespace tavrik::app::diy_editing_flow_test {
namespace {

using test_support::kSave;
namespace img = model::image;

constexpr QPoint kLightingTitle{100, 115};
constexpr QPoint kEffectBox{100, 170};
constexpr QPoint kDiy1Row{100, 173 + 13 * 20 + 10};  // row 13 of the effect list
constexpr QPoint kRedSwatch{30, 210};                // the swatch row of a DIY effect
constexpr QPoint kChooser{30 + 8 * 25, 210};         // after the eight swatches

// The cells of "1" .. "0" in a DIY table: 4 x key index (10, 16, ..., 64), from the slot table.
constexpr std::size_t kNumberRowCells[] = {40, 64, 88, 112, 136, 160, 184, 208, 232, 256};

QPoint centreOf(int slot) {
    const model::Rect r = model::windowRect(slot);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

using Table = std::vector<std::uint8_t>;

Table table0(const model::Image& image) {
    return Table(image.begin() + img::kDiyTables,
                 image.begin() + img::kDiyTables + img::kDiyTableSize);
}

class DiyEditingFlow : public test_support::MainWindowFixture {
protected:
    std::unique_ptr<MainWindow> start() {
        auto w = makeWindow(Language::English, true);
        w->show();
        settle(*w);
        return w;
    }
    static model::Image imageOf(MainWindow& w) {
        return w.configModel().withLock([](model::ConfigState& s) { return s.image; });
    }
    static void click(QWidget& w, QPoint p) { QTest::mouseClick(&w, Qt::LeftButton, {}, p); }
    // A drag that the window sees as one press, one move and one release: as fast as a pointer
    // can go.
    static void fastDrag(QWidget& w, QPoint from, QPoint to) {
        QTest::mousePress(&w, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(w.mapToGlobal(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &move);
        QTest::mouseRelease(&w, Qt::LeftButton, {}, to);
    }
    // Answers the colour chooser once it is open.
    static void whenChooserOpens(std::function<void(ColourChooserDialog&)> answer) {
        auto* poll = new QTimer(qApp);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [poll, answer] {
            auto* d = qobject_cast<ColourChooserDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            poll->stop();
            poll->deleteLater();
            answer(*d);
        });
        poll->start();
    }
    Table fileTable0() const {
        auto s = std::make_unique<model::ConfigState>();
        EXPECT_TRUE(model::readConfigFile(m_dir.filePath("keymap.bin").toStdString(), s->image,
                                          s->actions));
        return table0(s->image);
    }
};

TEST_F(DiyEditingFlow, AFastDragUndoRedoAndSaveSendTheTableAsPainted) {
    auto w = start();
    click(*w, kLightingTitle);
    click(*w, kEffectBox);
    click(*w, kDiy1Row);
    ASSERT_EQ(imageOf(*w)[img::kEffect], 51);
    ASSERT_TRUE(mainwindow::diyViewActive(w->viewState(), 51));
    click(*w, kRedSwatch);
    const Table before = table0(imageOf(*w));
    Table painted = before;
    for (std::size_t cell : kNumberRowCells) {
        painted[cell] = 0;
        painted[cell + 1] = 0;     // blue
        painted[cell + 2] = 0;     // green
        painted[cell + 3] = 0xFF;  // red
    }

    fastDrag(*w, centreOf(21), centreOf(30));
    EXPECT_EQ(table0(imageOf(*w)), painted);
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table0(imageOf(*w)), before);
    QTest::keyClick(w.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(table0(imageOf(*w)), painted);
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(table0(imageOf(*w)), painted);

    // What travels: DIY table 0 as 8 data reports of 64 bytes after the report ID.
    // The reports come on the session's worker thread.
    std::mutex lock;
    Table sent;
    int dataReports = 0;
    m_firmware->setTrace([&](sim::Direction d, sim::ReportKind k, auto bytes) {
        if (d != sim::Direction::HostToKeyboard || k != sim::ReportKind::Data) return;
        const std::lock_guard guard(lock);
        ++dataReports;
        sent.insert(sent.end(), bytes.begin() + 1, bytes.end());
    });
    click(*w, kSave);
    settle(*w);
    m_firmware->setTrace({});
    {
        const std::lock_guard guard(lock);
        EXPECT_EQ(dataReports, 8);
        EXPECT_EQ(sent, painted);
    }
    EXPECT_EQ(table0(m_firmware->image()), painted);
    EXPECT_EQ(fileTable0(), painted);

    // The Save is where undo stops.
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table0(imageOf(*w)), painted);
}

TEST_F(DiyEditingFlow, SelectWithCtrlPaintWithEnterAndEraseWithDelete) {
    auto w = start();
    click(*w, kLightingTitle);
    click(*w, kEffectBox);
    click(*w, kDiy1Row);
    const Table before = table0(imageOf(*w));
    for (int slot : {43, 63, 64, 65}) {  // W A S D
        QTest::mouseClick(w.get(), Qt::LeftButton, Qt::ControlModifier, centreOf(slot));
    }
    EXPECT_EQ(w->viewState().selection.count(), 4u);
    EXPECT_EQ(table0(imageOf(*w)), before);  // selecting paints nothing
    // The selection is drawn as an outline: the key's middle keeps its colour.
    const model::Rect r = model::windowRect(63);
    const QImage surface = w->renderSurface();
    const int y = (r.top + r.bottom) / 2;
    EXPECT_EQ(surface.pixelColor(r.left, y), QColor(Qt::black));
    EXPECT_EQ(surface.pixelColor(r.left + 1, y), QColor(Qt::white));
    EXPECT_EQ(surface.pixelColor(r.left + 2, y), QColor(Qt::white));
    EXPECT_EQ(surface.pixelColor(r.left + 3, y), QColor(Qt::black));
    const QImage unselected = [&] {
        QTest::mouseClick(w.get(), Qt::LeftButton, Qt::ControlModifier, centreOf(63));
        return w->renderSurface();
    }();
    QTest::mouseClick(w.get(), Qt::LeftButton, Qt::ControlModifier, centreOf(63));
    EXPECT_NE(unselected.pixelColor(r.left + 1, y), QColor(Qt::white));
    // Inside the ring the key looks as it did.
    EXPECT_EQ(surface.pixelColor((r.left + r.right) / 2, r.top + 6),
              unselected.pixelColor((r.left + r.right) / 2, r.top + 6));

    QTest::keyClick(w.get(), Qt::Key_Return);  // the default paint colour, blue
    Table blue = before;
    for (std::size_t cell : {std::size_t{15 * 4}, std::size_t{8 * 4}, std::size_t{14 * 4},
                             std::size_t{20 * 4}}) {  // key indexes of W, A, S, D
        blue[cell] = 0;
        blue[cell + 1] = 0xFF;
        blue[cell + 2] = 0;
        blue[cell + 3] = 0;
    }
    EXPECT_EQ(table0(imageOf(*w)), blue);
    QTest::keyClick(w.get(), Qt::Key_Delete);
    EXPECT_EQ(table0(imageOf(*w)), before);
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table0(imageOf(*w)), blue);
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_TRUE(w->viewState().selection.none());
    EXPECT_TRUE(w->isVisible());  // Esc only clears the selection
}

TEST_F(DiyEditingFlow, TheChooserPaintsTheSelectionAndRemembersTheColour) {
    auto w = start();
    click(*w, kLightingTitle);
    click(*w, kEffectBox);
    click(*w, kDiy1Row);
    const Table before = table0(imageOf(*w));
    for (int slot : {43, 63}) {  // W, A
        QTest::mouseClick(w.get(), Qt::LeftButton, Qt::ControlModifier, centreOf(slot));
    }
    std::vector<settings::Rgb> offered;
    whenChooserOpens([&](ColourChooserDialog& d) {
        offered = d.recentRow()->colours();
        d.hexField()->setFocus();
        d.hexField()->selectAll();
        QTest::keyClicks(d.hexField(), "00FF80");
        QTest::keyClick(d.hexField(), Qt::Key_Return);
    });
    click(*w, kChooser);
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(w->viewState().paintColour, (settings::Rgb{0, 255, 128}));
    Table painted = before;
    for (std::size_t cell : {std::size_t{15 * 4}, std::size_t{8 * 4}}) {
        painted[cell] = 0;
        painted[cell + 1] = 0x80;  // blue
        painted[cell + 2] = 0xFF;  // green
        painted[cell + 3] = 0;     // red
    }
    EXPECT_EQ(table0(imageOf(*w)), painted);
    const QSettings stored(m_dir.filePath("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(stored.value("colourChooser/recent").toString(), QStringLiteral("00FF80"));

    // Cancelled: nothing changes, and the colour is offered among the recent ones.
    whenChooserOpens([&](ColourChooserDialog& d) {
        offered = d.recentRow()->colours();
        QTest::keyClick(d.svField(), Qt::Key_Up);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    click(*w, kChooser);
    EXPECT_EQ(offered, (std::vector<settings::Rgb>{{0, 255, 128}}));
    EXPECT_EQ(table0(imageOf(*w)), painted);
    EXPECT_EQ(w->viewState().paintColour, (settings::Rgb{0, 255, 128}));
    // The chooser's paint is one undo step.
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table0(imageOf(*w)), before);
}

}  // namespace
}  // namespace tavrik::app::diy_editing_flow_test
