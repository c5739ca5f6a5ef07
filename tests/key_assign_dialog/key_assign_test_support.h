#pragma once
// Shared pieces of the key assignment dialog tests: the controls' click points, the generated skin,
// and services that record what the dialog asks of the desktop.

#include <QCoreApplication>
#include <QPoint>
#include <QString>
#include <QTest>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/key_assign/key_assign_dialog.h"
#include "keyhook/keyhook.h"
#include "launcher/launch_chooser.h"
#include "model/slot_table.h"
#include "skin/skin_paths.h"

namespace tavrik::test {

// Points inside the dialog's buttons and regions.
inline constexpr QPoint kCloseAt{310, 9};
inline constexpr QPoint kDisableAt{24, 255};
inline constexpr QPoint kDefaultAt{176, 257};
inline constexpr QPoint kCancelAt{230, 257};
inline constexpr QPoint kSaveAt{284, 257};
inline constexpr QPoint kTabAt[4]{{40, 44}, {121, 44}, {202, 44}, {283, 44}};
inline QPoint indicatorAt(int row) {
    return {20, 76 + 30 * row};
}
inline QPoint browseAt(int row) {
    return {279, 75 + 30 * row};
}

inline constexpr int kVkLControl = 162;

inline QString builtSkinFolder(Language lang) {
    return skin::skinFolder(QStringLiteral(TAVRIK_BUILT_SKIN_DIR),
                            lang == Language::Chinese ? kChineseLanguageCode : 0,
                            skin::SkinPart::Custom);
}

inline int slotOfCode(std::uint8_t code) {
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (model::slot(s).code == code) return s;
    }
    return -1;
}

// The real key hook, a chooser that answers with `pick` (or the real chooser), and recorded
// messages.
struct RecordingDesktop {
    std::optional<std::string> pick;
    bool realChooser = false;
    std::vector<int> chooserRows;
    std::vector<QString> messages;

    app::KeyMapServices services() {
        app::KeyMapServices s;
        s.installHook = [](app::HookReports* r, int mode) { return app::installhook(r, mode); };
        s.removeHook = [] { app::removehook(); };
        s.chooseLaunchPath = [this](QWidget* parent, int row, Language lang) {
            chooserRows.push_back(row);
            return realChooser ? app::chooseLaunchPath(parent, row, lang) : pick;
        };
        s.showMessage = [this](QWidget*, const QString& text) { messages.push_back(text); };
        return s;
    }
};

inline void click(QWidget* w, QPoint at) {
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
}

// Posts a key press as the key hook does and lets the dialog handle it.
inline void hookKey(app::KeyAssignDialog* dialog, int vk) {
    dialog->hookReports().post(vk, false);
    QCoreApplication::sendPostedEvents(&dialog->hookReports());
}

}  // namespace tavrik::test
