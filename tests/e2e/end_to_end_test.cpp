// The real tool on a private X server against a running tavrik-kbsim, driven with xdotool:
// lighting and key assignments made with clicks and typed keys, Save, then a key press on the
// emulated keyboard that must start a program of ours. Checks the emulator's trace, keymap.bin
// and the launch. Screenshots go to the build folder (E2E_ARTIFACTS).

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <string_view>

#include "desktop_session.h"
#include "model/config_state.h"
#include "model/key_action.h"
#include "model/keymap_file.h"
#include "model/slot_table.h"
#include "trace_replay.h"

namespace tavrik::e2e {
namespace {

using namespace std::chrono_literals;

// Main window: the lighting section's title (it starts folded), the effect box, the effect list's
// second row (Breathing, effect 2), Save and the close button.
constexpr QPoint kLightingTitle{60, 118};
constexpr QPoint kEffectBox{100, 165};
constexpr QPoint kBreathingRow{100, 200};
constexpr std::uint8_t kBreathing = 2;
constexpr QPoint kReactiveRow{100, 240};  // row 3, effect 4
constexpr QPoint kSaveButton{950, 620};
constexpr QPoint kCloseButton{986, 12};
// Key assignment dialog: the "Combine" edit, the "Advance" tab, the browse button of the
// "Startup" row and "Save".
constexpr QPoint kCombineEdit{150, 146};
constexpr QPoint kAdvanceTab{283, 44};
constexpr QPoint kStartupBrowse{279, 105};
constexpr QPoint kDialogSave{284, 257};
constexpr QSize kMainSize{1000, 640};
constexpr QSize kKeyMapSize{325, 280};

int slotLabelled(std::string_view label) {
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (model::slot(s).label == label) return s;
    }
    return -1;
}

QPoint keyCentre(int slot) {
    const model::Rect r = model::windowRect(slot);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

struct Keymap {
    model::Image image{};
    model::KeyActionTable actions{};
};

std::optional<Keymap> readKeymap(const QString& file) {
    if (QFileInfo(file).size() != qint64(model::kKeymapFileSize)) return std::nullopt;
    Keymap k;
    if (!model::readConfigFile(file.toStdString(), k.image, k.actions)) return std::nullopt;
    return k;
}

std::array<std::uint8_t, 4> cell(model::Image image, int slot) {
    const auto c = model::keyCodeCell(image, slot);
    return {c[0], c[1], c[2], c[3]};
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        const QString xdotool = QStandardPaths::findExecutable("xdotool");
        if (xvfb.isEmpty() || xdotool.isEmpty()) {
            GTEST_SKIP() << "Xvfb or xdotool is not installed: the end-to-end test needs both "
                            "(Debian packages xvfb and xdotool)";
        }
        ASSERT_TRUE(m_tmp.isValid());
        m_artifacts = QStringLiteral(E2E_ARTIFACTS "/") +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name();
        QDir(m_artifacts).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(m_artifacts));
        ASSERT_TRUE(m_x.start(xvfb, {1280, 800})) << "Xvfb did not start";
        m_desktop.emplace(xdotool, QStandardPaths::findExecutable("import"), m_x.display());
        if (QStandardPaths::findExecutable("import").isEmpty()) {
            std::printf("import (imagemagick) is not installed: no screenshots\n");
        }
    }

    QString tmp(const QString& name) const { return m_tmp.filePath(name); }
    QString artifact(const QString& name) const { return m_artifacts + '/' + name; }

    void shot(const QString& name) {
        m_desktop->screenshot(
            artifact(QStringLiteral("%1-%2.png").arg(++m_shots, 2, 10, QChar('0')).arg(name)));
    }

    QProcessEnvironment toolEnvironment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_x.display());
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORMTHEME");
        // A private runtime and settings home: no other running copy of the tool is found.
        env.insert("XDG_RUNTIME_DIR", tmp("runtime"));
        env.insert("XDG_CONFIG_HOME", tmp("config"));
        env.insert("XDG_DATA_HOME", tmp("share"));
        env.insert("XDG_CACHE_HOME", tmp("cache"));
        env.insert("TAVRIK_E2E_MARKER", tmp("launched"));
        // Sanitizer builds: system libraries' process-long allocations are not leaks of ours.
        QString lsan = env.value("LSAN_OPTIONS");
        if (!lsan.isEmpty()) lsan += ':';
        env.insert("LSAN_OPTIONS", lsan + "suppressions=" E2E_LSAN_SUPPRESSIONS);
        return env;
    }

    void startKeyboard() {
        ASSERT_TRUE(m_keyboard.start(
            QStringLiteral(KBSIM_PROGRAM), {"--trace", tmp("trace.txt"), tmp("kb.sock")},
            QProcessEnvironment::systemEnvironment(), artifact("kbsim.log")));
        ASSERT_TRUE(m_keyboard.waitForOutput("listening on", 5s)) << m_keyboard.output().data();
    }

    // Starts the tool; with `alone`, waits until its main window is its only window.
    void startTool(bool alone = true) {
        ASSERT_TRUE(QDir().mkpath(tmp("data")));
        ASSERT_TRUE(QDir().mkpath(tmp("runtime")));
        ::chmod(tmp("runtime").toLocal8Bit().constData(), 0700);
        ASSERT_TRUE(m_tool.start(
            QStringLiteral(TOOL_PROGRAM),
            {"--sim-socket", tmp("kb.sock"), "--data-dir", tmp("data"), "--lang", "en"},
            toolEnvironment(), artifact("tavrik-87rev.log"), false));
        // The splash goes, the main window stays.
        const bool shown = waitUntil(
            [&] {
                const auto windows = m_desktop->visibleWindows(m_tool.pid());
                for (const QString& w : windows) {
                    if (const auto g = m_desktop->geometry(w); g && g->size() == kMainSize) {
                        m_main = w;
                    }
                }
                return !m_main.isEmpty() && (windows.size() == 1 || !alone);
            },
            15s);
        ASSERT_TRUE(shown) << "the main window did not appear alone; see "
                           << artifact("tavrik-87rev.log").toStdString();
    }

    // The start-up read is over when keymap.bin holds what the keyboard sent and the trace has
    // been quiet for a while.
    void waitForStartupRead() {
        std::size_t lines = 0;
        int quietPolls = 0;
        const bool done = waitUntil(
            [&] {
                const std::size_t now = trace().size();
                quietPolls = (now == lines && now > 0) ? quietPolls + 1 : 0;
                lines = now;
                return quietPolls >= 10 && QFileInfo::exists(tmp("data/keymap.bin"));
            },
            15s);
        ASSERT_TRUE(done) << "the start-up read did not finish";
    }

    // A window of the tool that is not one of `known`, of the given size when one is given.
    QString waitForNewWindow(const std::vector<QString>& known, std::optional<QSize> size) {
        QString found;
        waitUntil(
            [&] {
                for (const QString& w : m_desktop->visibleWindows(m_tool.pid())) {
                    if (std::find(known.begin(), known.end(), w) != known.end()) continue;
                    const auto g = m_desktop->geometry(w);
                    if (g && (!size || g->size() == *size)) found = w;
                }
                return !found.isEmpty();
            },
            8s);
        return found;
    }

    bool windowGone(const QString& window) {
        return waitUntil(
            [&] {
                const auto windows = m_desktop->visibleWindows(m_tool.pid());
                return std::find(windows.begin(), windows.end(), window) == windows.end();
            },
            8s);
    }

    // Clicks a key of the keyboard picture and returns the key assignment dialog it opens.
    QString openKeyMap(int slot) {
        EXPECT_TRUE(m_desktop->click(m_main, keyCentre(slot)));
        return waitForNewWindow({m_main}, kKeyMapSize);
    }

    std::optional<Keymap> waitForKeymap(const std::function<bool(const Keymap&)>& done) {
        std::optional<Keymap> last;
        waitUntil(
            [&] {
                last = readKeymap(tmp("data/keymap.bin"));
                return last && done(*last);
            },
            8s);
        return last;
    }

    void startKeyboardAndTool() {
        ASSERT_NO_FATAL_FAILURE(startKeyboard());
        ASSERT_NO_FATAL_FAILURE(startTool());
        ASSERT_NO_FATAL_FAILURE(waitForStartupRead());
        shot("main-window");
    }

    // Unfolds the lighting section, opens the effect list and takes its "Breathing" row.
    void chooseBreathing() {
        ASSERT_TRUE(m_desktop->click(m_main, kLightingTitle));
        ASSERT_TRUE(m_desktop->click(m_main, kEffectBox));
        shot("effect-list");
        ASSERT_TRUE(m_desktop->click(m_main, kBreathingRow));
    }

    // Presses Save and waits until the keyboard, rebuilt from the reports in the trace, holds
    // the image keymap.bin holds, with `expected` true of it (and false before Save: edits stay
    // on the host until then). Returns that image.
    model::Image saveAndCompare(const std::function<bool(const model::Image&)>& expected) {
        const std::size_t before = trace().size();
        EXPECT_FALSE(expected(replay(trace(), m_replugs).image))
            << "the change reached the keyboard before Save";
        EXPECT_TRUE(m_desktop->click(m_main, kSaveButton));
        std::optional<Keymap> saved;
        ReplayResult keyboard;
        const bool inSync = waitUntil(
            [&] {
                saved = readKeymap(tmp("data/keymap.bin"));
                keyboard = replay(trace(), m_replugs);
                return saved && keyboard.image == saved->image && expected(keyboard.image);
            },
            15s);
        shot("saved");
        EXPECT_TRUE(saved) << "keymap.bin is missing or short";
        EXPECT_TRUE(inSync) << "the keyboard rebuilt from the trace differs from keymap.bin";
        EXPECT_TRUE(keyboard.protocolErrors.empty()) << keyboard.protocolErrors.front();
        const auto after = trace();
        EXPECT_TRUE(std::any_of(after.begin() + std::ptrdiff_t(before), after.end(),
                                [](const TraceRecord& r) { return r.toKeyboard; }))
            << "Save sent nothing to the keyboard";
        return keyboard.image;
    }

    std::vector<TraceRecord> trace() const { return readTrace(tmp("trace.txt").toStdString()); }

    // A read of the keyboard that starts after `before` trace lines is over when the trace has
    // grown and then been quiet for a while.
    bool waitForReadAfter(std::size_t before) {
        std::size_t lines = 0;
        int quietPolls = 0;
        return waitUntil(
            [&] {
                const std::size_t now = trace().size();
                quietPolls = (now == lines && now > before + 100) ? quietPolls + 1 : 0;
                lines = now;
                return quietPolls >= 10;
            },
            20s);
    }

    QTemporaryDir m_tmp;
    QString m_artifacts;
    XServer m_x;
    std::optional<Desktop> m_desktop;
    // Declared after the server: ended before it.
    Child m_keyboard{QStringLiteral("tavrik-kbsim")};
    Child m_tool{QStringLiteral("tavrik-87rev")};
    QString m_main;
    int m_shots = 0;
    std::vector<std::size_t> m_replugs;  // trace lines before which the keyboard was replugged
};

TEST_F(EndToEnd, ALightingChangeReachesTheKeyboardOnSaveAndCloseKeepsOnlyWhatWasSaved) {
    ASSERT_NO_FATAL_FAILURE(startKeyboardAndTool());
    ASSERT_NO_FATAL_FAILURE(chooseBreathing());
    // Esc and Enter never close the main window.
    ASSERT_TRUE(m_desktop->focus(m_main));
    ASSERT_TRUE(m_desktop->key("Escape"));
    ASSERT_TRUE(m_desktop->key("Return"));
    EXPECT_FALSE(waitUntil([&] { return !m_tool.running(); }, 500ms));

    const model::Image saved = saveAndCompare(
        [](const model::Image& image) { return image[model::image::kEffect] == kBreathing; });
    EXPECT_EQ(saved[model::image::kEffect], kBreathing);

    // A change not sent with Save is not kept: closing writes the synchronised state to
    // keymap.bin and ends the program.
    ASSERT_TRUE(m_desktop->click(m_main, kEffectBox));
    ASSERT_TRUE(m_desktop->click(m_main, kReactiveRow));
    shot("unsaved-change");
    ASSERT_TRUE(m_desktop->click(m_main, kCloseButton));
    ASSERT_TRUE(m_tool.waitForExit(10s)) << "the tool did not end on its close button";
    EXPECT_EQ(m_tool.exitCode(), 0);
    const auto closed = readKeymap(tmp("data/keymap.bin"));
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->image, saved);
}

TEST_F(EndToEnd, KeysAssignedInTheDialogReachTheKeyboardAndALaunchKeyStartsTheProgram) {
    const int comboSlot = slotLabelled("F6");
    const int launchSlot = slotLabelled("F9");
    ASSERT_GE(comboSlot, 0);
    ASSERT_GE(launchSlot, 0);
    const std::uint8_t own = model::slot(launchSlot).code;
    const std::array<std::uint8_t, 4> comboCell{0, 0xE0, 0x06, 0};
    const std::array<std::uint8_t, 4> launchCell{model::codetype::kHostAction, 0, own, 0};
    // The launch target under a name with a blank and no suffix, in a folder with a blank.
    const QString targetFolder = tmp("launch target");
    const QString target = targetFolder + "/marker writer";
    ASSERT_TRUE(QDir().mkpath(targetFolder));
    ASSERT_TRUE(QFile::copy(QStringLiteral(LAUNCH_TARGET_PROGRAM), target));
    ASSERT_NO_FATAL_FAILURE(startKeyboardAndTool());

    // F6 := left Ctrl + C, typed on the desktop and captured by the key hook.
    {
        SCOPED_TRACE("combination");
        const QString dialog = openKeyMap(comboSlot);
        ASSERT_FALSE(dialog.isEmpty()) << "a click on F6 opened no key assignment dialog";
        ASSERT_TRUE(m_desktop->click(dialog, kCombineEdit));
        ASSERT_TRUE(m_desktop->key("ctrl+c"));
        shot("key-map-combination");
        ASSERT_TRUE(m_desktop->click(dialog, kDialogSave));
        ASSERT_TRUE(windowGone(dialog));
        const auto keymap =
            waitForKeymap([&](const Keymap& k) { return cell(k.image, comboSlot) == comboCell; });
        ASSERT_TRUE(keymap);
        EXPECT_EQ(cell(keymap->image, comboSlot), comboCell);
        auto actions = keymap->actions;
        const model::KeyAction record = model::keyAction(actions, comboSlot);
        EXPECT_EQ(record.kind(), std::uint8_t(model::KeyKind::Combination));
        EXPECT_EQ(record.count(), 2);
    }

    // F9 := start the program chosen in the "Startup" row's file chooser.
    {
        SCOPED_TRACE("launch action");
        const QString dialog = openKeyMap(launchSlot);
        ASSERT_FALSE(dialog.isEmpty()) << "a click on F9 opened no key assignment dialog";
        ASSERT_TRUE(m_desktop->click(dialog, kAdvanceTab));
        ASSERT_TRUE(m_desktop->click(dialog, kStartupBrowse));
        const QString chooser = waitForNewWindow({m_main, dialog}, std::nullopt);
        ASSERT_FALSE(chooser.isEmpty()) << "the browse button opened no file chooser";
        shot("file-chooser");
        ASSERT_TRUE(m_desktop->focus(chooser));
        ASSERT_TRUE(m_desktop->type(target));
        ASSERT_TRUE(m_desktop->key("Return"));
        ASSERT_TRUE(windowGone(chooser));
        shot("key-map-launch");
        ASSERT_TRUE(m_desktop->click(dialog, kDialogSave));
        ASSERT_TRUE(windowGone(dialog));
        const auto keymap =
            waitForKeymap([&](const Keymap& k) { return cell(k.image, launchSlot) == launchCell; });
        ASSERT_TRUE(keymap);
        EXPECT_EQ(cell(keymap->image, launchSlot), launchCell);
        auto actions = keymap->actions;
        const model::KeyAction record = model::keyAction(actions, launchSlot);
        EXPECT_EQ(record.kind(), std::uint8_t(model::KeyKind::StartProgram));
        EXPECT_EQ(record.launchPath(), target.toStdString());
    }
    shot("main-window-assigned");

    const model::Image saved = saveAndCompare([&](const model::Image& image) {
        return cell(image, comboSlot) == comboCell && cell(image, launchSlot) == launchCell;
    });
    EXPECT_EQ(cell(saved, comboSlot), comboCell);
    EXPECT_EQ(cell(saved, launchSlot), launchCell);

    // The emulated keyboard reports the launch key (and not the combination key); the tool
    // starts the program in the program's folder.
    ASSERT_TRUE(m_keyboard.writeLine("press " + QByteArray::number(comboSlot)));
    ASSERT_TRUE(m_keyboard.writeLine("press " + QByteArray::number(launchSlot)));
    EXPECT_TRUE(m_keyboard.waitForOutput("pressed " + QByteArray::number(launchSlot), 3s));
    EXPECT_TRUE(
        m_keyboard.output().contains("no host action on slot " + QByteArray::number(comboSlot)));
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(tmp("launched")); }, 10s))
        << "the launch target did not start";
    QFile marker(tmp("launched"));
    ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(marker.readAll()).trimmed(), QDir(targetFolder).canonicalPath());
}

// The keyboard goes away in the middle of Save and comes back: the edit stays the user's, and the
// next Save brings it to the keyboard.
TEST_F(EndToEnd, AnEditSurvivesAnUnplugDuringSaveAndReachesTheKeyboardAfterTheReplug) {
    // A key whose cell lies beyond the first packet of the key code burst.
    int slot = -1;
    for (int s = 0; s < model::kSlotCount && slot < 0; ++s) {
        if (model::cellOffset(s) >= 2 * 64 && !model::slot(s).label.empty() &&
            s != model::kFnSlot) {
            slot = s;
        }
    }
    ASSERT_GE(slot, 0);
    const std::array<std::uint8_t, 4> comboCell{0, 0xE0, 0x06, 0};
    const auto assigned = [&](const model::Image& image) { return cell(image, slot) == comboCell; };
    ASSERT_NO_FATAL_FAILURE(startKeyboardAndTool());
    const QString dialog = openKeyMap(slot);
    ASSERT_FALSE(dialog.isEmpty()) << "a click on the key opened no key assignment dialog";
    ASSERT_TRUE(m_desktop->click(dialog, kCombineEdit));
    ASSERT_TRUE(m_desktop->key("ctrl+c"));
    ASSERT_TRUE(m_desktop->click(dialog, kDialogSave));
    ASSERT_TRUE(windowGone(dialog));
    ASSERT_TRUE(waitForKeymap([&](const Keymap& k) { return assigned(k.image); }));

    // The keyboard unplugs itself after the first data report of the burst.
    ASSERT_TRUE(m_keyboard.writeLine("fault remove 0"));
    ASSERT_TRUE(m_keyboard.waitForOutput("fault remove", 3s));
    ASSERT_TRUE(m_desktop->click(m_main, kSaveButton));
    const QString told = waitForNewWindow({m_main}, std::nullopt);
    EXPECT_FALSE(told.isEmpty()) << "the failed Save was not told";
    shot("unplugged-during-save");
    EXPECT_FALSE(assigned(replay(trace()).image));

    const std::size_t beforePlug = trace().size();
    m_replugs.push_back(beforePlug);
    ASSERT_TRUE(m_keyboard.writeLine("plug"));
    ASSERT_TRUE(m_keyboard.waitForOutput("plugged", 3s));
    ASSERT_TRUE(waitForReadAfter(beforePlug)) << "the tool did not read the keyboard again";
    const auto afterArrival = readKeymap(tmp("data/keymap.bin"));
    ASSERT_TRUE(afterArrival);
    EXPECT_TRUE(assigned(afterArrival->image)) << "the arrival read replaced the edit";
    shot("after-replug");

    const model::Image saved = saveAndCompare(assigned);
    EXPECT_TRUE(assigned(saved));
}

// tavrik-kbsim started after the tool is found; once it is stopped (SIGSTOP), Save ends within
// its bounds and says so, and the window never freezes.
TEST_F(EndToEnd, AKeyboardStartedLaterIsFoundAndAStoppedOneDoesNotFreezeSave) {
    ASSERT_NO_FATAL_FAILURE(startTool(false));  // no keyboard: the tool says so
    shot("no-keyboard");
    ASSERT_NO_FATAL_FAILURE(startKeyboard());
    ASSERT_TRUE(waitForReadAfter(0)) << "the tool did not find the keyboard started after it";
    ASSERT_TRUE(waitForKeymap([&](const Keymap& k) { return k.image == replay(trace()).image; }))
        << "keymap.bin does not hold what the keyboard sent";

    ASSERT_NO_FATAL_FAILURE(chooseBreathing());
    ASSERT_EQ(::kill(static_cast<pid_t>(m_keyboard.pid()), SIGSTOP), 0);
    const auto windowsBefore = m_desktop->visibleWindows(m_tool.pid());
    ASSERT_TRUE(m_desktop->click(m_main, kSaveButton));
    const QString told = waitForNewWindow(windowsBefore, std::nullopt);
    shot("stopped-keyboard");
    ::kill(static_cast<pid_t>(m_keyboard.pid()), SIGCONT);
    EXPECT_FALSE(told.isEmpty()) << "Save against a stopped keyboard was not told";
}

}  // namespace
}  // namespace tavrik::e2e
