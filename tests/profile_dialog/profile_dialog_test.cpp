#include "dialogs/profile/profile_dialog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "appprofiles/app_profile_texts.h"
#include "appwatch/active_app_watcher.h"
#include "common/atomic_file.h"
#include "controls/empty_hint.h"
#include "controls/skin_list_box.h"
#include "dialogs/profile/profile_file_chooser.h"
#include "host/app_rules_file.h"
#include "host/qt/qt_text.h"
#include "modal_answerer.h"
#include "model/config_model.h"
#include "model/slot_table.h"
#include "skin/skin_manifest.h"

namespace tavrik::app {
namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using profiles::Command;

constexpr QPoint kNewButton{40, 590};
constexpr QPoint kDeleteButton{210, 590};
constexpr QPoint kCloseButton{255, 17};

class FakeChooser : public ProfileFileChooser {
public:
    std::optional<fs::path> answer;
    int saveCalls = 0;
    int openCalls = 0;
    QString startFolder;

    std::optional<fs::path> chooseSavePath(QWidget*, const QString& start) override {
        ++saveCalls;
        startFolder = start;
        return answer;
    }
    std::optional<fs::path> chooseOpenPath(QWidget*, const QString& start) override {
        ++openCalls;
        startFolder = start;
        return answer;
    }
};

class ConfigureDialogTest : public ::testing::Test {
protected:
    static fs::path testRoot() {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');  // parameterised test names
        return fs::temp_directory_path() /
               ("tavrik-configdlg-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                name);
    }
    ConfigureDialogTest() : m_root(testRoot()), m_model(m_root / "data" / "keymap.bin") {
        fs::remove_all(m_root);
        fs::create_directories(m_root / "data");
        fs::create_directories(m_root / "program");
    }
    ~ConfigureDialogTest() override {
        m_dialog.reset();
        fs::remove_all(m_root);
    }

    fs::path folder() const { return m_root / "data" / "Configure"; }
    fs::path file(const std::string& name) const { return folder() / (name + ".bin"); }
    QString programFolder() const {
        return QString::fromStdString((m_root / "program").string()) + "/";
    }

    static void write(const fs::path& path, const Bytes& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes read(const fs::path& path) { return readWholeFile(path).value(); }
    static Bytes pattern(std::size_t n, std::uint8_t seed) {
        Bytes b(n);
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 13);
        return b;
    }
    static Bytes join(Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
    void writeProfiles(std::initializer_list<const char*> names) {
        std::uint8_t seed = 1;
        for (const char* n : names) write(file(n), pattern(model::kKeymapFileSize, seed++));
    }
    std::vector<std::string> files() const {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(folder(), ec)) {
            out.push_back(e.path().filename().string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    void setMemory(const Bytes& image, const Bytes& actions) {
        m_model.withLock([&](model::ConfigState& s) {
            std::copy(image.begin(), image.end(), s.image.begin());
            std::copy(actions.begin(), actions.end(), s.actions.begin());
        });
    }
    Bytes memoryImage() {
        return m_model.withLock(
            [](model::ConfigState& s) { return Bytes(s.image.begin(), s.image.end()); });
    }
    Bytes memoryActions() {
        return m_model.withLock(
            [](model::ConfigState& s) { return Bytes(s.actions.begin(), s.actions.end()); });
    }

    ProfileDialog& open(int languageCode = 0) {
        m_dialog = std::make_unique<ProfileDialog>(
            m_model, ConfigureDlgSetup{programFolder(), m_root / "data", languageCode}, m_chooser);
        m_dialog->show();
        return *m_dialog;
    }
    SkinListBox& list() { return *m_dialog->listBox(); }
    QStringList rows() {
        QStringList out;
        for (int i = 0; i < list().count(); ++i) out << list().item(i)->text();
        return out;
    }
    QString selected() {
        const auto items = list().selectedItems();
        return items.isEmpty() ? QString() : items.first()->text();
    }

    void clickRow(int row) {
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, list().itemRect(row).center());
    }
    // Opens the right-button menu over `row` and picks the command in it.
    void menu(Command command, int overRow = 0) {
        m_answerer.pick = static_cast<int>(command);
        const QPoint at = list().itemRect(overRow).center();
        QTest::mousePress(list().viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(list().viewport(), Qt::RightButton, {}, at);
    }
    void click(QPoint at) { QTest::mouseClick(m_dialog.get(), Qt::LeftButton, {}, at); }
    // Double-clicks the row, types the name and ends the edit with `finish`.
    void rename(int row, const QString& typed, Qt::Key finish = Qt::Key_Return) {
        clickRow(row);
        QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, list().itemRect(row).center());
        InPlaceEdit* edit = list().editControl();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, typed);
        if (finish != Qt::Key_unknown) QTest::keyClick(edit, finish);
        QTest::qWait(10);  // messages of a rename are shown once the edit has ended
    }
    std::vector<QString> boxTexts() const {
        std::vector<QString> out;
        for (const auto& b : m_answerer.boxes) out.push_back(b.text);
        return out;
    }

    fs::path m_root;
    model::ConfigModel m_model;
    FakeChooser m_chooser;
    ModalAnswerer m_answerer;
    std::unique_ptr<ProfileDialog> m_dialog;
};

TEST_F(ConfigureDialogTest, NewAndCopyFromTheButtonAndTheMenu) {
    open();  // no profile folder yet
    // The empty list says how to make a profile, until there is one.
    const auto* hint = m_dialog->findChild<EmptyHint*>();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->showing());
    EXPECT_EQ(hint->text(), qs(profiles::text::kNoProfilesHint.en));
    click(kNewButton);
    EXPECT_FALSE(hint->showing());
    EXPECT_EQ(rows(), QStringList{"Profile_1"});
    EXPECT_EQ(read(file("Profile_1")), Bytes(model::kImageSize, 0));

    writeProfiles({"Profile_1"});
    const Bytes source = read(file("Profile_1"));
    clickRow(0);
    menu(Command::Copy);
    menu(Command::Copy);
    EXPECT_EQ(rows(), (QStringList{"Copy of ? Profile_1", "Copy of ? Profile_1 1", "Profile_1"}));
    EXPECT_EQ(read(file("Copy of ? Profile_1")), source);
    EXPECT_EQ(read(file("Copy of ? Profile_1 1")), source);
    EXPECT_EQ(selected(), "Profile_1");  // the selection stays on its profile
    EXPECT_TRUE(m_answerer.boxes.empty());
}

TEST_F(ConfigureDialogTest, SaveAndLoadGoThroughTheChooserAndTheModel) {
    writeProfiles({"Profile_1", "Profile_2"});
    const Bytes image = pattern(model::kImageSize, 40);
    const Bytes actions = pattern(model::kKeyActionTableSize, 90);
    setMemory(image, actions);
    open();
    menu(Command::Save);
    EXPECT_EQ(boxTexts(), std::vector<QString>{"Please select a profile to Save\n"});
    EXPECT_EQ(m_chooser.saveCalls, 0);  // refused before the chooser

    clickRow(1);
    m_chooser.answer = m_root / "export.bin";
    menu(Command::Save, 1);
    // The chooser starts in the data folder, not in the (read-only once installed) program folder.
    EXPECT_EQ(m_chooser.startFolder, QString::fromStdString((m_root / "data").string()));
    EXPECT_EQ(read(file("Profile_2")), join(image, actions));
    EXPECT_EQ(read(m_root / "export.bin"), join(image, actions));
    EXPECT_NE(read(file("Profile_1")), join(image, actions));

    const Bytes loaded = pattern(model::kImageSize, 7);
    write(m_root / "image-only.bin", loaded);
    m_chooser.answer = m_root / "image-only.bin";
    menu(Command::Load, 1);
    EXPECT_EQ(m_chooser.openCalls, 1);
    EXPECT_EQ(memoryImage(), loaded);
    // A short file leaves the table as it was, but for the own codes (record byte 0), which
    // every load sets from the slot table.
    Bytes kept = actions;
    for (int i = 0; i < model::kSlotCount; ++i) {
        kept[static_cast<std::size_t>(i) * model::kKeyActionRecordSize] = model::slot(i).code;
    }
    EXPECT_EQ(memoryActions(), kept);
    EXPECT_EQ(read(file("Profile_2")), join(loaded, kept));
    EXPECT_EQ(m_answerer.boxes.size(), 1u);
}

TEST_F(ConfigureDialogTest, DeleteAsksFirstAndKeepsTheLastProfile) {
    writeProfiles({"Profile_1", "Profile_2"});
    open();
    clickRow(1);
    m_answerer.answer = QMessageBox::Cancel;
    menu(Command::Delete, 0);  // the right button over row 0 leaves row 1 selected
    ASSERT_EQ(m_answerer.boxes.size(), 1u);
    EXPECT_EQ(m_answerer.boxes[0].text, "Delete current profile ?");
    EXPECT_TRUE(m_answerer.boxes[0].hasCancel);
    EXPECT_EQ(files(), (std::vector<std::string>{"Profile_1.bin", "Profile_2.bin"}));

    m_answerer.answer = QMessageBox::Ok;
    menu(Command::Delete, 0);
    EXPECT_EQ(files(), std::vector<std::string>{"Profile_1.bin"});
    EXPECT_EQ(rows(), QStringList{"Profile_1"});

    clickRow(0);
    click(kDeleteButton);
    EXPECT_EQ(m_answerer.boxes.back().text, "Please keep a profile\n");
    EXPECT_FALSE(m_answerer.boxes.back().hasCancel);  // refused before any question
    EXPECT_EQ(files(), std::vector<std::string>{"Profile_1.bin"});
}

TEST_F(ConfigureDialogTest, RenameByTypingMovesTheFile) {
    writeProfiles({"Profile_1", "Profile_2"});
    const Bytes first = read(file("Profile_1"));
    open();
    rename(0, "Work");
    EXPECT_EQ(rows(), (QStringList{"Profile_2", "Work"}));
    EXPECT_EQ(selected(), "Work");
    EXPECT_EQ(read(file("Work")), first);

    rename(1, "Other", Qt::Key_Escape);
    rename(1, "../Work");  // refused, and told once the edit has ended
    EXPECT_EQ(files(), (std::vector<std::string>{"Profile_2.bin", "Work.bin"}));
    ASSERT_EQ(m_answerer.boxes.size(), 1u);
    EXPECT_TRUE(m_answerer.boxes[0].text.startsWith("A profile name cannot be empty"));

    // A name still being typed is finished before a command runs.
    rename(0, "Draft", Qt::Key_unknown);
    click(kNewButton);
    EXPECT_EQ(rows(), (QStringList{"Draft", "Profile_1", "Work"}));
}

struct LanguageCase {
    int code;
    QRgb background;
    QStringList menu;
    QString caption;
    QString limit;
};

class LanguageTest : public ConfigureDialogTest,
                     public ::testing::WithParamInterface<LanguageCase> {
protected:
    // A skin of plain colours in the language folder; each picture has its own colour.
    void writeSkin(const char* languageFolder, QRgb background) {
        const QString dir = programFolder() + "png/" + languageFolder + "/Config/";
        QDir().mkpath(dir);
        for (const auto& spec : skin::skinManifest()) {
            if (spec.part != skin::SkinPart::Config) continue;
            QImage img(spec.width, spec.height, QImage::Format_RGB32);
            const QString name = qs(spec.name);
            img.fill(name == "Config.png" ? background : pictureColour(name));
            ASSERT_TRUE(img.save(dir + name));
        }
    }
    static QRgb pictureColour(const QString& name) {
        if (name == "New.png") return qRgb(0, 200, 0);
        if (name == "Delete.png") return qRgb(200, 200, 0);
        return qRgb(200, 0, 0);
    }
};

TEST_P(LanguageTest, DrawsItsSkinAndSpeaksItsLanguage) {
    writeSkin("english", qRgb(10, 20, 90));
    writeSkin("chinese", qRgb(90, 20, 10));
    writeProfiles({"Profile_1", "Profile_2", "Profile_3", "Profile_4", "Profile_5", "Profile_6",
                   "Profile_7"});
    ProfileDialog& dialog = open(GetParam().code);
    EXPECT_EQ(dialog.size(), QSize(262, 600));
    const QImage shot = dialog.grab().toImage();
    EXPECT_EQ(shot.pixel(120, 2), GetParam().background);
    EXPECT_EQ(shot.pixel(248, 24), pictureColour("button-close-normal.png"));
    EXPECT_EQ(shot.pixel(14, 595), pictureColour("New.png"));
    EXPECT_EQ(shot.pixel(247, 596), pictureColour("Delete.png"));
    EXPECT_TRUE(dialog.images().unlistedFiles(skin::SkinPart::Config).isEmpty());
    EXPECT_TRUE(dialog.images().missedFiles().isEmpty());

    EXPECT_EQ(rows().size(), 6);  // the seventh file is not listed
    clickRow(0);
    menu(Command::Copy);  // six rows: nothing, silently
    menu(Command::New);
    ASSERT_EQ(m_answerer.menus.size(), 2u);
    EXPECT_EQ(m_answerer.menus[0], GetParam().menu);
    ASSERT_EQ(m_answerer.boxes.size(), 1u);
    EXPECT_EQ(m_answerer.boxes[0].caption, GetParam().caption);
    EXPECT_EQ(m_answerer.boxes[0].text, GetParam().limit);
    EXPECT_EQ(files().size(), 7u);
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest,
                         ::testing::Values(LanguageCase{0,
                                                        qRgb(10, 20, 90),
                                                        {"New", "Copy", "Save", "Load", "Delete"},
                                                        "Profile",
                                                        "Only Create Six Profile mostly\n"},
                                           LanguageCase{4,
                                                        qRgb(90, 20, 10),
                                                        {"新建", "复制", "保存", "加载", "删除"},
                                                        "配置管理",
                                                        "最多可以存储6个配置\n"}),
                         [](const ::testing::TestParamInfo<LanguageCase>& row) {
                             return std::string(row.param.code == kChineseLanguageCode ? "Chinese"
                                                                                       : "English");
                         });

TEST_F(ConfigureDialogTest, RunsAtTheMainWindowUntilClosedThenTheMainWindowRefreshes) {
    writeProfiles({"Profile_1"});
    QWidget mainWindow;
    int refreshes = 0;
    mainWindow.setWindowFlags(Qt::FramelessWindowHint);
    mainWindow.setGeometry(120, 90, 400, 300);
    mainWindow.show();

    QPoint placedAt;
    bool stillOpenAfterEnter = false;
    QTimer::singleShot(20, [&] {
        ProfileDialog* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->isModal()) dialog = qobject_cast<ProfileDialog*>(w);
        }
        ASSERT_NE(dialog, nullptr);
        placedAt = dialog->pos();
        QTest::keyClick(dialog, Qt::Key_Return);
        QTest::keyClick(dialog->listBox(), Qt::Key_Enter);
        stillOpenAfterEnter = dialog->isVisible();
        EXPECT_EQ(refreshes, 0);
        QTest::mouseClick(dialog, Qt::LeftButton, {}, kCloseButton);
    });
    runProfileWindow(
        &mainWindow, m_model, {programFolder(), m_root / "data", 0}, [&] { ++refreshes; },
        &m_chooser);

    EXPECT_EQ(placedAt, mainWindow.frameGeometry().topLeft() - QPoint(1, 1));
    EXPECT_TRUE(stillOpenAfterEnter);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(files(), std::vector<std::string>{"Profile_1.bin"});
}

// A desktop's watcher that lists two open applications.
class ListingWatcher final : public ActiveAppWatcher {
public:
    QString backendName() const override { return QStringLiteral("test"); }
    bool start() override { return true; }
    bool canListOpenApps() const override { return true; }
    QStringList openApps() const override { return {"firefox", "steam"}; }
};

class ProfileAppsTest : public ConfigureDialogTest {
protected:
    ProfileDialog& openWithApps(int languageCode = 0, bool gnomeWayland = false) {
        m_rules = std::make_unique<AppRulesFile>(m_root / "data");
        ConfigureDlgSetup setup{programFolder(), m_root / "data", languageCode, {}};
        setup.apps.rules = m_rules.get();
        setup.apps.watcher = &m_watcher;
        setup.apps.gnomeWayland = gnomeWayland;
        setup.apps.moved = [this](const std::string& from, const std::string& to) {
            m_moves.push_back(from + ">" + to);
        };
        setup.apps.edited = [this] { ++m_edits; };
        setup.apps.askAppId = [this](QWidget*, const QStringList& open) {
            m_offered = open;
            return m_typed;
        };
        m_dialog = std::make_unique<ProfileDialog>(m_model, setup, m_chooser);
        m_dialog->show();
        return *m_dialog;
    }
    appprofiles::AppRules rulesOnDisk() const { return AppRulesFile(m_root / "data").rules(); }
    void pickApps(AppsCommand command, int offset = 0) {
        m_answerer.pick = static_cast<int>(command) + offset;
        const QPoint at = list().itemRect(0).center();
        QTest::mousePress(list().viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(list().viewport(), Qt::RightButton, {}, at);
    }

    ListingWatcher m_watcher;
    std::unique_ptr<AppRulesFile> m_rules;
    std::optional<QString> m_typed;
    QStringList m_offered;
    std::vector<std::string> m_moves;
    int m_edits = 0;
};

TEST_F(ProfileAppsTest, ApplicationsAreAddedFromTheOpenOnesOrTypedRemovedAndShown) {
    writeProfiles({"Game", "Work"});
    openWithApps();
    EXPECT_TRUE(m_dialog->appsLines().isEmpty());
    clickRow(0);
    EXPECT_EQ(m_dialog->appsLines(), QStringList{"No applications"});
    m_typed = QStringLiteral("steam");
    pickApps(AppsCommand::Add);
    EXPECT_EQ(m_offered, (QStringList{"firefox", "steam"}));
    m_typed = QStringLiteral("  cs2 ");  // typed, with blanks around it
    pickApps(AppsCommand::Add);
    EXPECT_EQ(m_dialog->appsLines(), QStringList{"Applications: steam, cs2"});
    EXPECT_EQ(appprofiles::appsOf(rulesOnDisk(), "Game").size(), 2u);
    EXPECT_EQ(m_edits, 2);
    // The menu lists each application to remove.
    pickApps(AppsCommand::RemoveFirst);
    EXPECT_TRUE(m_answerer.menus.back().contains("Remove application cs2"));
    EXPECT_EQ(m_dialog->appsLines(), QStringList{"Applications: cs2"});
    // A bad id is refused with a message; cancelling asks nothing more.
    m_typed = QStringLiteral("a\tb");
    pickApps(AppsCommand::Add);
    EXPECT_EQ(m_answerer.boxes.back().text,
              QString::fromUtf8(appprofiles::text::kBadAppId.en.data()));
    m_typed.reset();
    pickApps(AppsCommand::Add);
    EXPECT_EQ(appprofiles::appsOf(rulesOnDisk(), "Game").size(), 1u);
    // The default, and back.
    pickApps(AppsCommand::MakeDefault);
    EXPECT_EQ(rulesOnDisk().defaultProfile, "Game");
    EXPECT_EQ(m_dialog->appsLines(),
              (QStringList{"Applications: cs2", "Default for every other application"}));
    pickApps(AppsCommand::MakeDefault);
    EXPECT_EQ(rulesOnDisk().defaultProfile, std::nullopt);
}

TEST_F(ProfileAppsTest, RenameAndDeleteCarryTheRulesAndMissingProfilesAreShownInactive) {
    writeProfiles({"Game", "Work"});
    {
        AppRulesFile seed(m_root / "data");
        ASSERT_TRUE(seed.edit([](appprofiles::AppRules& r) {
            appprofiles::bind(r, "Game", "steam");
            appprofiles::bind(r, "Gone", "quake");
            return appprofiles::setDefault(r, "Work");
        }));
    }
    openWithApps();
    EXPECT_EQ(m_dialog->appsLines(),
              QStringList{"Kept but inactive, their profiles no longer exist: Gone"});
    rename(0, "Shooter");
    EXPECT_EQ(appprofiles::appsOf(rulesOnDisk(), "Shooter").size(), 1u);
    EXPECT_TRUE(appprofiles::appsOf(rulesOnDisk(), "Game").empty());
    EXPECT_EQ(m_moves, std::vector<std::string>{"Game>Shooter"});
    // Delete the default's profile: its place as the default goes with it.
    m_answerer.answer = QMessageBox::Ok;
    clickRow(1);
    EXPECT_EQ(selected(), "Work");
    menu(Command::Delete, 1);
    EXPECT_EQ(rulesOnDisk().defaultProfile, std::nullopt);
    EXPECT_EQ(m_moves.back(), "Work>");
    EXPECT_EQ(appprofiles::appsOf(rulesOnDisk(), "Gone").size(), 1u);  // kept
}

TEST_F(ProfileAppsTest, BothLanguagesAndTheGnomeWaylandLine) {
    writeProfiles({"Game"});
    openWithApps(4, true);
    clickRow(0);
    const QStringList lines = m_dialog->appsLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QString::fromUtf8("没有绑定应用程序"));
    EXPECT_EQ(lines[1], QString::fromUtf8(appprofiles::text::kGnomeWayland.zh.data()));
    m_dialog.reset();
    openWithApps(0, true);
    EXPECT_EQ(m_dialog->appsLines(),
              QStringList{"GNOME on Wayland offers no way to follow the active application"});
}

TEST_F(ProfileAppsTest, ADamagedRulesFileIsToldAndKept) {
    writeProfiles({"Game"});
    write(m_root / "data" / kAppRulesFileName, Bytes{'[', '1'});
    openWithApps();
    clickRow(0);
    m_typed = QStringLiteral("steam");
    pickApps(AppsCommand::Add);
    ASSERT_FALSE(m_answerer.boxes.empty());
    EXPECT_TRUE(m_answerer.boxes.back().text.contains(kAppRulesFileName));
    EXPECT_EQ(read(m_root / "data" / kAppRulesFileName), (Bytes{'[', '1'}));
}

}  // namespace
}  // namespace tavrik::app
