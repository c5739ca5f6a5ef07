#include "render_key_assign.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "dialogs/key_assign/key_assign_dialog.h"
#include "model/key_action.h"
#include "render_support.h"
#include "skin/skin_paths.h"

namespace tavrik::render {
namespace {

using Record = std::array<std::uint8_t, model::kKeyActionRecordSize>;

constexpr QPoint kSaveAt{284, 257};
constexpr QPoint kCloseAt{310, 9};
constexpr QPoint kDisableAt{24, 255};
constexpr QPoint kAdvanceTabAt{283, 44};
constexpr QPoint kMacroTabAt{121, 44};
QPoint browseAt(int row) {
    return {279, 75 + 30 * row};
}
QPoint indicatorAt(int row) {
    return {20, 76 + 30 * row};
}

Record record(std::uint8_t kind, std::initializer_list<std::uint8_t> codes,
              std::string_view path = {}) {
    Record r{};
    model::KeyAction a(r);
    a.setOwnCode('A');
    a.setKind(kind);
    std::copy(codes.begin(), codes.end(), a.codes().begin());
    a.setLaunchPath(std::string(path));
    return r;
}

struct Shot {
    const char* name;
    Record record;
    std::function<void(app::KeyAssignDialog&)> act;  // brings the dialog into the state to show
};

std::vector<Shot> shots() {
    const auto none = [](app::KeyAssignDialog&) {};
    return {
        {"single", record(0, {'B'}), none},
        {"combine-disabled-hover-save", record(1, {162, 'C'}),
         [](app::KeyAssignDialog& d) {
             click(d, kDisableAt);
             hookKey(d, 'X');
             hover(d, kSaveAt);
         }},
        {"macro", record(2, {4, 1, 1, 0}), none},
        {"macro-none-hover-close", record(0, {}),
         [](app::KeyAssignDialog& d) {
             click(d, kMacroTabAt);
             hover(d, kCloseAt);
         }},
        {"basic-preselected", record(3, {0, 0xE0, 0x04, 0}), none},
        {"advance-entered-hover-browse", record(0, {'B'}),
         [](app::KeyAssignDialog& d) {
             click(d, kAdvanceTabAt);
             hover(d, browseAt(2));
         }},
        {"advance-long-path", record(5, {3, 0, 0x23, 2}, "/opt/tools/bin/start-the-tool"), none},
        {"advance-short-path", record(4, {3, 0, 0x23, 2}, "/home/a/x.mp3"), none},
        {"advance-indicator", record(7, {3, 0, 0x23, 2}, "/home/me/Music"),
         [](app::KeyAssignDialog& d) { click(d, indicatorAt(3)); }},
    };
}

}  // namespace

void renderKeyMap(const QString& programFolder, const QString& outDir) {
    const std::vector<std::string> macros{"Attack", "Reload", "连招"};
    for (const Language lang : {Language::English, Language::Chinese}) {
        const int code = lang == Language::Chinese ? kChineseLanguageCode : 0;
        const QString folder = skin::skinFolder(programFolder, code, skin::SkinPart::Custom);
        const QString suffix = lang == Language::Chinese ? "chinese" : "english";
        for (const Shot& shot : shots()) {
            const keyassign::KeyMapInput input{shot.record, true, macros, lang};
            app::KeyMapServices services;  // no hook: the dialog as drawn without capture
            app::KeyAssignDialog dialog(input, folder, services);
            dialog.show();
            shot.act(dialog);
            save(dialog, outDir, QStringLiteral("keymap-%1-%2.png").arg(suffix, shot.name));
        }
        // The "Macro" tab with no macro defined: its hint.
        const keyassign::KeyMapInput noMacros{record(2, {4, 1, 1, 0}), true, {}, lang};
        app::KeyAssignDialog dialog(noMacros, folder, app::KeyMapServices{});
        dialog.show();
        click(dialog, kMacroTabAt);
        save(dialog, outDir, QStringLiteral("keymap-%1-macro-no-macros.png").arg(suffix));
    }
}

}  // namespace tavrik::render
