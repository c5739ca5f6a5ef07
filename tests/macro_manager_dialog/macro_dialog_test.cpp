// The macro manager as the user meets it: recording with delays, editing, the buttons, the
// message boxes, the keys that must not close it and the skin it draws.
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "common/utf16.h"
#include "controls/skin_list_box.h"
#include "dialogs/macro_manager/apply_macros.h"
#include "dialogs/macro_manager/macro_manager_layout.h"
#include "dialogs/macro_manager/macro_manager_texts.h"
#include "macro_dialog_fixture.h"
#include "model/config_model.h"

namespace tavrik::app::test_support {
namespace {

using namespace macromanager;
using Bytes = std::vector<std::uint8_t>;

Bytes prefix(std::span<const std::uint8_t> bytes, std::size_t n) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)};
}

bool allZeroFrom(std::span<const std::uint8_t> bytes, std::size_t from) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(),
                       [](std::uint8_t b) { return b == 0; });
}

Bytes fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = f.readAll();
    return {data.begin(), data.end()};
}

TEST_F(MacroDialogTest, RecordEditInsertAndOkReachStoreSlotAndFiles) {
    openDialog();
    clickButton(kNew);
    EXPECT_EQ(macroListLines(), std::vector<std::string>{"Macro_001"});
    clickButton(kDelayOption);
    clickButton(kRecord);
    ASSERT_TRUE(m_dlg->editor().recording());
    tap(kA, 120);
    m_clock.advanceMs(3000);
    hookKey(kB, false);
    hookKey(kB, false);  // auto-repeat of the held key
    m_clock.advanceMs(5);
    hookKey(kB, true);
    clickButton(kRecord);
    EXPECT_FALSE(m_dlg->editor().hookInstalled());
    EXPECT_EQ(eventLines(), (std::vector<std::string>{
                                eventText(kA, false), "120 ms", eventText(kA, true), "3000 ms",
                                eventText(kB, false), "5 ms", eventText(kB, true)}));
    EXPECT_EQ(prefix(macro::deviceSequence(workingRecord(0)), 10),
              (Bytes{0x01, 0x04, 0xF8, 0x04, 0x7F, 0x05, 0x0B, 0xB8, 0x85, 0x05}));

    // 120 ms -> 500 ms: the release takes the long form and the events behind move back.
    editLine(*m_dlg->eventList(), 1, "500");
    EXPECT_EQ(eventLines()[1], "500 ms");
    // A left click directly below the release of A.
    selectEventLine(2);
    menuCommand(cmd::kLeftClick);
    EXPECT_EQ(eventLines(),
              (std::vector<std::string>{eventText(kA, false), "500 ms", eventText(kA, true),
                                        "MsLB dn", "MsLB up", "3000 ms", eventText(kB, false),
                                        "5 ms", eventText(kB, true)}));

    EXPECT_FALSE(m_dlg->loopEdit()->isEnabled());
    clickButton(kLoopOption);
    ASSERT_TRUE(m_dlg->loopEdit()->isEnabled());
    m_dlg->loopEdit()->selectAll();
    QTest::keyClicks(m_dlg->loopEdit(), "3x21");  // digits only, three at most
    EXPECT_EQ(m_dlg->loopEdit()->text(), "321");

    clickButton(kOk);
    EXPECT_EQ(m_dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(m_dlg->isVisible());
    const Bytes device{0x01, 0x04, 0xFF, 0x04, 0x01, 0xF4, 0x01, 0xF0,
                       0x81, 0xF0, 0x7F, 0x05, 0x0B, 0xB8, 0x85, 0x05};
    const Bytes key{0x01, 0x41, 0xFF, 0x41, 0x01, 0xF4, 0x01, 0xF0,
                    0x81, 0xF0, 0x7F, 0x42, 0x0B, 0xB8, 0x85, 0x42};
    const macro::MacroRecord& r = m_store[0];
    EXPECT_EQ(macro::macroName(r), "Macro_001");
    EXPECT_EQ(macro::loopCount(r), 321);
    EXPECT_TRUE(macro::recordsDelay(r));
    EXPECT_EQ(prefix(macro::deviceSequence(r), device.size()), device);
    EXPECT_EQ(prefix(macro::keySequence(r), key.size()), key);
    EXPECT_TRUE(allZeroFrom(macro::deviceSequence(r), device.size()));

    QTemporaryDir dir;
    model::ConfigModel config(dir.filePath("keymap.bin").toStdString());
    ASSERT_TRUE(config.startup());
    ASSERT_TRUE(applyMacroStore(config, m_store, dir.filePath("MacroDefine.bin").toStdString()));
    const std::size_t slot = model::image::macroSlot(0);
    Bytes expectedSlot{0x01, 0x41};  // 321 big-endian
    expectedSlot.insert(expectedSlot.end(), device.begin(), device.end());
    expectedSlot.resize(model::image::kMacroSlotSize, 0);
    const model::Image image = config.withLock([](model::ConfigState& s) { return s.image; });
    EXPECT_EQ(Bytes(image.begin() + slot, image.begin() + slot + expectedSlot.size()),
              expectedSlot);
    const Bytes keymap = fileBytes(dir.filePath("keymap.bin"));
    ASSERT_EQ(keymap.size(), model::kKeymapFileSize);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), keymap.begin()));
    const Bytes macros = fileBytes(dir.filePath("MacroDefine.bin"));
    ASSERT_EQ(macros.size(), macro::kStoreSize);
    EXPECT_TRUE(std::equal(m_store[0].begin(), m_store[0].end(), macros.begin()));
}

TEST_F(MacroDialogTest, CancelDropsEveryEditAndStopsTheHook) {
    macro::setMacroName(m_store[0], u"Walk");
    macro::setLoopCount(m_store[0], 1);
    macro::deviceSequence(m_store[0])[0] = macro::keySequence(m_store[0])[0] = 0x01;
    macro::deviceSequence(m_store[0])[1] = 0x04;
    macro::keySequence(m_store[0])[1] = kA;
    const macro::MacroStore before = m_store;
    openDialog();
    clickButton(kRecord);  // discards the events in the working store at once
    tap(kB, 10);
    clickButton(kNew);
    clickButton(kCancel);
    EXPECT_EQ(m_dlg->result(), QDialog::Rejected);
    EXPECT_FALSE(m_dlg->editor().hookInstalled());
    EXPECT_TRUE(m_store == before);

    // The next opening starts from the store again.
    m_dlg->beginEditing(m_store);
    EXPECT_EQ(macroListLines(), std::vector<std::string>{"Walk"});
    EXPECT_EQ(eventLines(), (std::vector<std::string>{eventText(kA, false)}));
}

TEST_F(MacroDialogTest, MacrosCommandAppliesOnlyAnAcceptedRun) {
    QTemporaryDir dir;
    model::ConfigModel config(dir.filePath("keymap.bin").toStdString());
    const std::string macroFile = dir.filePath("MacroDefine.bin").toStdString();
    openDialog();
    m_dlg->hide();
    for (int button : {kCancel, kOk}) {
        QTimer::singleShot(0, m_dlg.get(), [this, button] {
            clickButton(kNew);
            clickButton(button);
        });
        const Result<bool> run = runMacroManager(*m_dlg, m_store, config, macroFile);
        ASSERT_TRUE(run.ok());
        EXPECT_EQ(*run, button == kOk);
        EXPECT_EQ(QFile::exists(QString::fromStdString(macroFile)), button == kOk);
    }
    EXPECT_EQ(macro::macroNames(m_store), std::vector<std::string>{"Macro_001"});
    EXPECT_EQ(fileBytes(dir.filePath("MacroDefine.bin"))[0], 'M');
}

class MacroDialogNotices : public MacroDialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(MacroDialogNotices, EachRefusalShowsItsMessageInTheLanguage) {
    const Language lang = languageFromCode(GetParam());
    auto shown = [lang](const macro::Notice& n, bool question) {
        return ShownNotice{std::string(n.text.in(lang)), std::string(n.caption.in(lang)), question};
    };
    openDialog(GetParam());
    clickButton(kRecord);
    EXPECT_FALSE(m_dlg->editor().recording());
    clickButton(kDelete);
    EXPECT_EQ(m_shown, (std::vector<ShownNotice>{shown(macro::text::kSelectToRecord, false),
                                                 shown(macro::text::kConfirmDelete, true),
                                                 shown(macro::text::kSelectToDelete, false)}));

    m_shown.clear();
    clickButton(kNew);
    clickButton(kRecord);
    tap(kA, 1);
    m_clock.advanceMs(40);
    tap(kB, 1);
    clickButton(kRecord);
    m_answer = false;
    clickButton(kDelete);  // declined: the macro stays
    EXPECT_EQ(macroListLines(), std::vector<std::string>{"Macro_001"});
    EXPECT_EQ(m_shown, (std::vector<ShownNotice>{shown(macro::text::kConfirmDelete, true)}));

    m_shown.clear();
    clickButton(kDelayOption);
    clickButton(kRecord);
    tap(kC, 1);
    m_clock.advanceMs(30);
    tap(kC, 1);
    clickButton(kRecord);
    ASSERT_EQ(eventLines()[2], "30 ms");
    selectEventLine(2);
    menuCommand(cmd::kInsertDelay);
    EXPECT_EQ(m_shown, (std::vector<ShownNotice>{shown(macro::text::kEditCurrentDelay, false)}));
    EXPECT_EQ(eventLines().size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Languages, MacroDialogNotices, ::testing::Values(0, kChineseLanguageCode));

TEST_F(MacroDialogTest, EnterAndEscapeNeverCloseIt) {
    openDialog();
    clickButton(kLoopOption);
    for (QWidget* target :
         {static_cast<QWidget*>(m_dlg.get()), static_cast<QWidget*>(m_dlg->loopEdit())}) {
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(target, key);
    }
    EXPECT_TRUE(m_dlg->isVisible());
}

TEST_F(MacroDialogTest, RenameReachesTheStoreAndAClashIsPutBack) {
    openDialog();
    clickButton(kNew);
    clickButton(kNew);
    editLine(*m_dlg->macroList(), 0, "Jump");
    EXPECT_EQ(macro::macroName(workingRecord(0)), "Jump");
    editLine(*m_dlg->macroList(), 1, "Jump");
    editLine(*m_dlg->macroList(), 1, "");
    EXPECT_EQ(macroListLines(), (std::vector<std::string>{"Jump", "Macro_002"}));
    EXPECT_EQ(macro::macroName(workingRecord(1)), "Macro_002");
    // A Ctrl click on the selected macro cannot leave the list without a selection.
    SkinListBox* list = m_dlg->macroList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->itemRect(1).center());
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_EQ(m_dlg->editor().selectedMacro(), 1);

    QTest::mouseClick(m_dlg->macroList()->viewport(), Qt::LeftButton, {},
                      m_dlg->macroList()->itemRect(0).center());
    clickButton(kDelete);
    EXPECT_EQ(macroListLines(), std::vector<std::string>{"Macro_002"});
    clickButton(kOk);
    EXPECT_EQ(macro::macroNames(m_store), std::vector<std::string>{"Macro_002"});
}

TEST_F(MacroDialogTest, DrawsOnlySkinFilesAndShowsHoverImages) {
    for (int code : {0, kChineseLanguageCode}) {
        openDialog(code);
        const QPoint corner = kButtons[kNew].rect.topLeft() + QPoint(2, 2);
        QTest::mouseMove(m_dlg.get(), kButtons[kNew].rect.center());
        const QImage hovered = m_dlg->grab().toImage();
        QTest::mouseMove(m_dlg.get(), QPoint(200, 20));
        const QImage plain = m_dlg->grab().toImage();
        skin::SkinImages& images = m_dlg->images();
        EXPECT_EQ(hovered.pixel(corner), images.image("button-new-over.png").pixel(2, 2));
        EXPECT_EQ(plain.pixel(corner), images.image("button-new-normal.png").pixel(2, 2));
        EXPECT_EQ(m_dlg->size(), images.size(kBackground));
        EXPECT_TRUE(images.missedFiles().isEmpty())
            << images.missedFiles().values().join(' ').toStdString();
        EXPECT_TRUE(images.unlistedFiles(skin::SkinPart::MacroManagement).isEmpty());
    }
}

// Across the options column, below its middle divider: the options frame's own right edge, then
// the window panel beyond it, then the panel's edge; every options control lies inside the frame.
TEST_F(MacroDialogTest, OptionsFrameAndItsControlsSitInsideTheWindow) {
    for (int code : {0, kChineseLanguageCode}) {
        openDialog(code);
        const QImage shown = m_dlg->grab().toImage();
        const int y = 240;
        std::vector<std::pair<int, int>> darkRuns;  // first and last column of each edge
        for (int x = kEventListRect.right() + 5; x < shown.width(); ++x) {
            if (qGray(shown.pixel(x, y)) < 75) continue;  // edges are drawn lighter than panels
            if (darkRuns.empty() || darkRuns.back().second != x - 1) darkRuns.push_back({x, x});
            darkRuns.back().second = x;
        }
        ASSERT_GE(darkRuns.size(), 3U) << "the options frame merges with the window's edge";
        const int frameRight = darkRuns[1].first;
        EXPECT_GE(darkRuns[2].first - darkRuns[1].second, 4) << "no panel beside the frame";
        EXPECT_LT(kLoopEditRect.right(), frameRight);
        for (int b : {kRecord, kDelayOption, kLoopOption})
            EXPECT_LT(kButtons[static_cast<std::size_t>(b)].rect.right(), frameRight) << b;
        for (const LabelPlace& label : kLabels) {
            if (label.at.x() > kEventListRect.right()) {
                EXPECT_LT(label.at.x() + label.width, frameRight) << label.text.en;
            }
        }
    }
}

}  // namespace
}  // namespace tavrik::app::test_support
