// The main window's key click command end to end: keymap.bin on disk, the dialog run modally and
// driven through its real widgets, the result encoded into the image and saved.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "controls/skin_tree.h"
#include "dialogs/key_assign/assign_key.h"
#include "key_assign_test_support.h"
#include "keyassign/launch.h"
#include "model/keymap_file.h"

namespace tavrik {
namespace {

using app::KeyAssignDialog;
using app::KeyMapOutcome;

class AssignKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_model.startup());
    }

    // Runs the command for `slot`; `drive` acts on the open dialog, which must be closed by it.
    Result<KeyMapOutcome> run(int slot, Language lang,
                              const std::function<void(KeyAssignDialog&)>& drive) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<KeyAssignDialog*>(QApplication::activeModalWidget());
            if (!dialog) return ADD_FAILURE() << "no key assignment dialog open";
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            drive(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "dialog still open";
                dialog->reject();
            }
        });
        const app::KeyMapContext context{
            lang, test::builtSkinFolder(lang), {"m0", "m1"}, m_desktop.services()};
        return app::assignKey(nullptr, m_model, slot, context,
                              [this](model::Image&) { ++m_macroBuilds; });
    }

    model::KeyCode cell(int slot) {
        return m_model.withLock(
            [&](model::ConfigState& s) { return model::keyCodeOf(s.image, slot); });
    }
    model::KeyCode fileCell(int slot) {
        auto state = std::make_unique<model::ConfigState>();
        EXPECT_TRUE(model::readConfigFile(m_path, state->image, state->actions));
        return model::keyCodeOf(state->image, slot);
    }
    model::KeyAction record(int slot) { return model::keyAction(m_model.lock()->actions, slot); }

    QTemporaryDir m_dir;
    std::filesystem::path m_path{m_dir.filePath("keymap.bin").toStdString()};
    model::ConfigModel m_model{m_path};
    test::RecordingDesktop m_desktop;
    int m_macroBuilds = 0;
    const int m_slotA = test::slotOfCode('A');
};

// The ticked "Disable" box goes along: the key keeps its combination and loses its enable bit.
TEST_F(AssignKeyTest, CtrlPlusCCapturedInCombineEditIsStoredAndSaved) {
    model::setKeyEnabled(m_model.lock()->image, m_slotA, true);
    const auto outcome = run(m_slotA, Language::English, [](KeyAssignDialog& d) {
        test::click(d.combineEdit(), {5, 5});
        test::hookKey(&d, test::kVkLControl);
        test::hookKey(&d, 'C');
        EXPECT_EQ(d.combineEdit()->text(), "LCtrl + C + ");
        test::click(&d, test::kDisableAt);
        test::click(&d, test::kSaveAt);
    });
    ASSERT_TRUE(outcome);
    EXPECT_EQ(*outcome, KeyMapOutcome::Applied);
    const model::KeyCode expected{0, 0xE0, 0x06, 0};
    EXPECT_EQ(cell(m_slotA), expected);
    EXPECT_EQ(fileCell(m_slotA), expected);
    EXPECT_EQ(m_model.lock()->changedKeys[static_cast<std::size_t>(m_slotA)], 1);  // highlighted
    const model::KeyAction a = record(m_slotA);
    EXPECT_EQ(a.kind(), 1);
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(a.codes()[0], test::kVkLControl);
    EXPECT_EQ(a.codes()[1], 'C');
    EXPECT_FALSE(model::keyEnabled(m_model.lock()->image, m_slotA));
}

TEST_F(AssignKeyTest, CancelChangesNeitherMemoryNorFile) {
    const model::KeyCode before = cell(m_slotA);
    const auto outcome = run(m_slotA, Language::English, [](KeyAssignDialog& d) {
        test::click(d.singleEdit(), {5, 5});
        test::hookKey(&d, 'Q');
        test::click(&d, test::kCancelAt);
    });
    ASSERT_TRUE(outcome);
    EXPECT_EQ(*outcome, KeyMapOutcome::Cancelled);
    EXPECT_EQ(cell(m_slotA), before);
    EXPECT_EQ(fileCell(m_slotA), before);
    EXPECT_EQ(record(m_slotA).kind(), 0);
}

// The dialog opens on the record in keymap.bin, not on a stale table in memory.
TEST_F(AssignKeyTest, OpensOnTheRecordReloadedFromFile) {
    m_model.withLock([&](model::ConfigState& s) {
        model::KeyAction a = model::keyAction(s.actions, m_slotA);
        a.setKind(0);
        a.codes()[0] = 'B';
        a.setCount(1);
        ASSERT_TRUE(model::saveConfigFile(m_path, s.image, s.actions));
        a.codes()[0] = 'Z';
    });
    QString shown;
    ASSERT_TRUE(run(m_slotA, Language::English, [&](KeyAssignDialog& d) {
        shown = d.singleEdit()->text();
        test::click(&d, test::kCloseAt);
    }));
    EXPECT_EQ(shown, "B ");
}

class AssignPresetTest : public AssignKeyTest, public ::testing::WithParamInterface<Language> {};

TEST_P(AssignPresetTest, GroupIsRefusedAndFunctionFromTreeIsStored) {
    const Language lang = GetParam();
    const auto outcome = run(m_slotA, lang, [&](KeyAssignDialog& d) {
        test::click(&d, test::kTabAt[2]);
        app::SkinTree* tree = d.tree();
        ASSERT_TRUE(tree->isVisible());
        const auto rowText = [&](int row) {
            const BiText name = keyassign::presetFunctions()[static_cast<std::size_t>(row)].name;
            return QString::fromUtf8(name.in(lang).data(), qsizetype(name.in(lang).size()));
        };
        const auto clickItem = [&](QTreeWidgetItem* item) {
            tree->scrollToItem(item);
            QCoreApplication::processEvents();  // lays the rows out
            test::click(tree->viewport(), tree->visualItemRect(item).center());
        };
        QTreeWidgetItem* media = tree->topLevelItem(2);
        clickItem(media);
        test::click(&d, test::kSaveAt);
        ASSERT_EQ(m_desktop.messages.size(), 1U);
        EXPECT_EQ(m_desktop.messages[0],
                  lang == Language::Chinese ? "请选择子项" : "Please select Sub item");
        ASSERT_TRUE(d.isVisible());
        media->setExpanded(true);
        QTreeWidgetItem* mute = media->child(7);
        EXPECT_EQ(mute->text(0), rowText(9));
        clickItem(mute);
        EXPECT_TRUE(mute->isSelected());
        test::click(&d, test::kSaveAt);
    });
    EXPECT_EQ(m_desktop.messages.size(), 1U);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(*outcome, KeyMapOutcome::Applied);
    EXPECT_EQ(cell(m_slotA), (model::KeyCode{0x03, 0x00, 0xE2, 0x00}));
    EXPECT_EQ(record(m_slotA).kind(), 3);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, AssignPresetTest,
                         ::testing::Values(Language::English, Language::Chinese));

TEST_F(AssignKeyTest, LaunchActionWithChosenProgram) {
    m_desktop.pick = "/opt/tools/bin/start-the-tool";
    const auto outcome = run(m_slotA, Language::English, [](KeyAssignDialog& d) {
        test::click(&d, test::kTabAt[3]);
        test::click(&d, test::browseAt(1));
        EXPECT_EQ(d.state().fieldText(1), "../start-the-tool");
        test::click(&d, test::kSaveAt);
    });
    ASSERT_TRUE(outcome);
    EXPECT_EQ(m_desktop.chooserRows, std::vector<int>{1});
    const model::KeyAction a = record(m_slotA);
    EXPECT_EQ(a.kind(), 5);
    EXPECT_EQ(a.launchPath(), "/opt/tools/bin/start-the-tool");
    EXPECT_EQ(cell(m_slotA), (model::KeyCode{model::codetype::kHostAction, 0, 'A', 0}));
    EXPECT_EQ(keyassign::findLaunchSlot(m_model.lock()->actions, 'A'), m_slotA);
}

// The real choosers: "Startup" lists every file and takes a program without a suffix exactly
// as chosen; "Play Sound" offers the common audio types and all files.
TEST_F(AssignKeyTest, LaunchChoosersTakeLinuxProgramsAndAudioAsTheyAre) {
    m_desktop.realChooser = true;
    QStringList filters;
    const auto answerChooser = [&filters](const QString& file) {
        QTimer::singleShot(0, [&filters, file] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!chooser) return ADD_FAILURE() << "no file chooser open";
            filters = chooser->nameFilters();
            if (file.isEmpty()) return chooser->reject();
            chooser->selectFile(file);
            QMetaObject::invokeMethod(chooser, "accept");  // as the Open button does
        });
    };
    const auto outcome = run(m_slotA, Language::English, [&](KeyAssignDialog& d) {
        test::click(&d, test::kTabAt[3]);
        answerChooser({});
        test::click(&d, test::browseAt(0));
        EXPECT_EQ(filters, (QStringList{"Audio files (*.mp3 *.wav *.ogg *.oga *.opus *.flac)",
                                        "All files (*)"}));
        answerChooser(QStringLiteral("/usr/bin/env"));
        test::click(&d, test::browseAt(1));
        EXPECT_EQ(filters, QStringList{"All files (*)"});
        test::click(&d, test::kSaveAt);
    });
    ASSERT_TRUE(outcome);
    EXPECT_EQ(record(m_slotA).kind(), 5);
    EXPECT_EQ(record(m_slotA).launchPath(), "/usr/bin/env");
}

}  // namespace
}  // namespace tavrik
