#include "mainwindow/access_tree.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "describe/key_names.h"
#include "mainwindow/direction_row.h"
#include "mainwindow/surface_layout.h"
#include "mainwindow/texts.h"
#include "settings/diy_paint.h"
#include "settings/effects.h"
#include "settings/response_time.h"

namespace tavrik::mainwindow::access {
namespace {

namespace sec {
inline constexpr int kLighting = 0;
inline constexpr int kGame = 1;
inline constexpr int kResponse = 2;
inline constexpr int kReport = 3;
}  // namespace sec
namespace radio {
inline constexpr int kGameMode = 0;
inline constexpr int kWinLock = 1;
inline constexpr int kKeyView = 2;
}  // namespace radio

constexpr ItemId area(int code) {
    return {Kind::Area, code};
}

constexpr std::array kSectionNames{&mainwindow::text::kLight, &mainwindow::text::kGameMode,
                                   &mainwindow::text::kResponseTime,
                                   &mainwindow::text::kReportRate};
constexpr std::array kSwatchNames{&text::kRed,  &text::kGreen,   &text::kBlue,  &text::kYellow,
                                  &text::kCyan, &text::kMagenta, &text::kWhite, &text::kOrange};
static_assert(kSwatchNames.size() == settings::kPaletteSize);

std::string str(const BiText& t, Language lang) {
    return std::string(t.in(lang));
}

std::string hexColour(settings::Rgb c) {
    std::array<char, 8> buf{};
    std::snprintf(buf.data(), buf.size(), "#%02X%02X%02X", c.r, c.g, c.b);
    return buf.data();
}

bool keyChoosable(int slot, bool diyView) {
    const auto& s = model::slotTable()[static_cast<std::size_t>(slot)];
    if (!s.drawn()) return false;
    return diyView || (slot != kWinKeySlot && slot != model::kFnSlot);
}

Rect keyRect(int slot) {
    const Rect r = model::slotTable()[static_cast<std::size_t>(slot)].rect;
    const Point o = model::kKeyboardOrigin;
    return Rect{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
}

Rect effectRowRect(int row) {
    const int top = settings::kEffectListTop + settings::kListRowHeight * row;
    return Rect{settings::kEffectListLeft, top, settings::kEffectListRight,
                top + settings::kListRowHeight - 1};
}

Rect responseRowRect(int row, int listTop) {
    const int top = listTop + settings::kListRowHeight * row;
    return Rect{settings::kResponseListLeft, top, settings::kResponseListRight,
                top + settings::kListRowHeight - 1};
}

Rect helpRowRect(int row) {
    const Rect rows = surface::kHelpBoxRows;
    const int top = rows.top + surface::kHelpRowHeight * row;
    const int bottom = row == kHelpRowCount - 1 ? rows.bottom : top + surface::kHelpRowHeight - 1;
    return Rect{rows.left, top, rows.right, bottom};
}

Rect keyboardRect() {
    Rect u{std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), 0, 0};
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (!model::slotTable()[static_cast<std::size_t>(s)].drawn()) continue;
        const Rect r = keyRect(s);
        u = Rect{std::min(u.left, r.left), std::min(u.top, r.top), std::max(u.right, r.right),
                 std::max(u.bottom, r.bottom)};
    }
    return u;
}

// Whether a click at the hit area's centre reaches it under the current layout and effect.
bool areaOffered(int code, const settings::PanelView& panel, std::uint8_t effect) {
    const auto r = hitArea(code, panelLayout(panel, effect));
    return r && hitTest(centre(*r), panel, effect) == code;
}

// Areas that do something when clicked now: the swatches only paint in the DIY view.
bool areaActs(int code, const ViewState& view, std::uint8_t effect) {
    const HitCommand c = commandForHit(code);
    if (c.command == Command::None) return false;
    if (c.command == Command::PaintSwatch) return diyViewActive(view, effect);
    return true;
}

std::string directionName(std::uint8_t effect, int direction, int button, Language lang) {
    const DirectionRow row = directionRow(effect, direction);
    if (button >= static_cast<int>(row.arrows.size())) return {};
    const std::string_view arrow = row.arrows[static_cast<std::size_t>(button)];
    if (arrow == "T") return str(text::kUp, lang);
    if (arrow == "B") return str(text::kDown, lang);
    if (arrow == "L") return str(text::kLeft, lang);
    return str(text::kRight, lang);
}

void describeArea(Item& item, int code, const Context& c) {
    using namespace hit;
    namespace mt = mainwindow::text;
    const ViewState& view = *c.view;
    const model::Image& image = *c.image;
    const Language lang = c.language;
    const std::uint8_t effect = image[model::image::kEffect];
    item.rect = hitArea(code, panelLayout(view.panel, effect)).value_or(Rect{});
    item.offered = areaOffered(code, view.panel, effect);
    item.shown = item.offered;
    item.role = Role::Button;
    const auto radioItem = [&](const BiText& name, bool checked) {
        item.role = Role::RadioButton;
        item.name = str(name, lang);
        item.checked = checked;
    };
    const auto header = [&](int section, bool collapsed) {
        item.role = Role::SectionHeader;
        item.name = str(*kSectionNames[static_cast<std::size_t>(section)], lang);
        item.expandable = true;
        item.expanded = !collapsed;
    };
    if (code >= kDirection1 && code < kDirection1 + kDirectionCount) {
        const DirectionRow row = directionRow(effect, image[model::image::kDirection]);
        radioItem(BiText{}, row.lit == code - kDirection1);
        item.name =
            directionName(effect, image[model::image::kDirection], code - kDirection1, lang);
        return;
    }
    if (code >= kLightingSpot && code < kLightingSpot + kLightingSpotCount) {
        const auto i = static_cast<std::size_t>(code - kLightingSpot);
        item.role = Role::Swatch;
        item.name = str(*kSwatchNames[i], lang);
        item.description = hexColour(settings::kPalette[i]);
        item.checked = diyViewActive(view, effect) && view.paintColour == settings::kPalette[i];
        return;
    }
    switch (code) {
        case kHelp:
            item.name = str(text::kHelp, lang);
            item.expandable = true;
            item.expanded = view.helpOpen;
            return;
        case kMinimise:
            item.name = str(text::kMinimise, lang);
            return;
        case kClose:
            item.name = str(text::kClose, lang);
            return;
        case kEffectBox:
            item.role = Role::ComboBox;
            item.name = str(mt::kEffect, lang);
            item.description = std::string(settings::effectName(effect, lang));
            item.expandable = true;
            item.expanded = view.panel.effectListOpen;
            return;
        case kMacros:
            item.name = str(mt::kMacroManagement, lang);
            return;
        case kGameModeOn:
            radioItem(mt::kOn, image[model::image::kGameMode] == 1);
            return;
        case kGameModeOff:
            radioItem(mt::kOff, image[model::image::kGameMode] == 0);
            return;
        case kWinLockOn:
            radioItem(mt::kOn, image[model::image::kWinLock] == 1);
            return;
        case kWinLockOff:
            radioItem(mt::kOff, image[model::image::kWinLock] == 0);
            return;
        case kResponseBox:
            item.role = Role::ComboBox;
            item.name = str(mt::kResponseTime, lang);
            item.description = settings::responseValueText(image[model::image::kResponseTime]);
            item.expandable = true;
            item.expanded = view.panel.responseListOpen;
            return;
        case kProfile:
            item.name = str(mt::kProfile, lang);
            return;
        case kReturn:
            item.name = str(mt::kReturn, lang);
            return;
        case kCancel:
            item.name = str(mt::kCancel, lang);
            return;
        case kSave:
            item.name = str(mt::kSave, lang);
            return;
        case kLightingTitle:
            header(sec::kLighting, view.panel.lightingCollapsed);
            return;
        case kGameTitle:
            header(sec::kGame, view.panel.gameCollapsed);
            return;
        case kResponseTitle:
            header(sec::kResponse, view.panel.responseCollapsed);
            return;
        case kReportTitle:
            header(sec::kReport, view.panel.reportCollapsed);
            return;
        case kKeymapView:
            radioItem(mt::kKeymap, !view.panel.diyView);
            return;
        case kDiyView:
            radioItem(mt::kDiy, view.panel.diyView);
            return;
        case kPaintChooser:
            item.name = str(mt::kKeyColour, lang);
            item.description = hexColour(view.paintColour);
            return;
        case kFillAll:
            item.name = str(mt::kFillAll, lang);
            return;
        case kClearAll:
            item.name = str(mt::kClearAll, lang);
            return;
        default:
            return;
    }
}

}  // namespace

std::vector<ItemId> children(ItemId id) {
    using namespace hit;
    std::vector<ItemId> out;
    const auto areas = [&](std::initializer_list<int> codes) {
        for (int c : codes) out.push_back(area(c));
    };
    const auto range = [&](Kind kind, int first, int count) {
        for (int i = first; i < first + count; ++i) out.push_back({kind, i});
    };
    switch (id.kind) {
        case Kind::Root:
            areas({kHelp, kMinimise, kClose});
            out.push_back({Kind::Section, sec::kLighting});
            out.push_back(area(kMacros));
            range(Kind::Section, sec::kGame, 3);
            areas({kProfile, kReturn, kCancel, kSave});
            out.push_back({Kind::Keyboard, 0});
            return out;
        case Kind::Section:
            switch (id.index) {
                case sec::kLighting:
                    areas({kLightingTitle, kEffectBox});
                    range(Kind::Area, kDirection1, kDirectionCount);
                    out.push_back({Kind::RadioGroup, radio::kKeyView});
                    range(Kind::Area, kLightingSpot, kLightingSpotCount);
                    areas({kPaintChooser, kFillAll, kClearAll});
                    return out;
                case sec::kGame:
                    out.push_back(area(kGameTitle));
                    range(Kind::RadioGroup, radio::kGameMode, 2);
                    return out;
                case sec::kResponse:
                    areas({kResponseTitle, kResponseBox});
                    return out;
                case sec::kReport:
                    areas({kReportTitle});
                    return out;
                default:
                    return out;
            }
        case Kind::RadioGroup:
            switch (id.index) {
                case radio::kGameMode:
                    areas({kGameModeOn, kGameModeOff});
                    return out;
                case radio::kWinLock:
                    areas({kWinLockOn, kWinLockOff});
                    return out;
                case radio::kKeyView:
                    areas({kKeymapView, kDiyView});
                    return out;
                default:
                    return out;
            }
        case Kind::Area:
            if (id.index == kHelp) range(Kind::HelpRow, 0, kHelpRowCount);
            if (id.index == kEffectBox) range(Kind::EffectRow, 0, settings::kEffectCount);
            if (id.index == kResponseBox) range(Kind::ResponseRow, 0, settings::kResponseRowCount);
            return out;
        case Kind::Keyboard:
            for (int s = 0; s < model::kSlotCount; ++s) {
                if (model::slotTable()[static_cast<std::size_t>(s)].drawn()) {
                    out.push_back({Kind::Key, s});
                }
            }
            return out;
        case Kind::EffectRow:
        case Kind::ResponseRow:
        case Kind::HelpRow:
        case Kind::Key:
            return out;
    }
    return out;
}

ItemId parent(ItemId id) {
    using namespace hit;
    const ItemId root{};
    switch (id.kind) {
        case Kind::Root:
        case Kind::Section:
        case Kind::Keyboard:
            return root;
        case Kind::RadioGroup:
            return {Kind::Section, id.index == radio::kKeyView ? sec::kLighting : sec::kGame};
        case Kind::EffectRow:
            return area(kEffectBox);
        case Kind::ResponseRow:
            return area(kResponseBox);
        case Kind::HelpRow:
            return area(kHelp);
        case Kind::Key:
            return {Kind::Keyboard, 0};
        case Kind::Area:
            break;
    }
    const int c = id.index;
    if (c == kGameModeOn || c == kGameModeOff) return {Kind::RadioGroup, radio::kGameMode};
    if (c == kWinLockOn || c == kWinLockOff) return {Kind::RadioGroup, radio::kWinLock};
    if (c == kKeymapView || c == kDiyView) return {Kind::RadioGroup, radio::kKeyView};
    if (c == kGameTitle) return {Kind::Section, sec::kGame};
    if (c == kResponseTitle || c == kResponseBox) return {Kind::Section, sec::kResponse};
    if (c == kReportTitle) return {Kind::Section, sec::kReport};
    if (c == kLightingTitle || c == kEffectBox || c == kPaintChooser || c == kFillAll ||
        c == kClearAll || (c >= kDirection1 && c < kDirection1 + kDirectionCount) ||
        (c >= kLightingSpot && c < kLightingSpot + kLightingSpotCount)) {
        return {Kind::Section, sec::kLighting};
    }
    return root;
}

bool exists(ItemId id) {
    if (id.kind == Kind::Root) return true;
    for (const ItemId& c : children(parent(id))) {
        if (c == id) return true;
    }
    return false;
}

Item describe(ItemId id, const Context& c, const std::string& keyFunction) {
    Item item;
    item.id = id;
    const ViewState& view = *c.view;
    const model::Image& image = *c.image;
    const Language lang = c.language;
    const std::uint8_t effect = image[model::image::kEffect];
    const PanelLayout layout = panelLayout(view.panel, effect);
    switch (id.kind) {
        case Kind::Root:
            item.role = Role::Window;
            item.name = mainwindow::text::kWindowTitle;
            item.shown = item.offered = true;
            return item;
        case Kind::Area:
            describeArea(item, id.index, c);
            return item;
        case Kind::Section:
            item.role = Role::Grouping;
            item.name = str(*kSectionNames[static_cast<std::size_t>(id.index)], lang);
            item.shown = true;
            return item;
        case Kind::RadioGroup: {
            static constexpr std::array kNames{&mainwindow::text::kGameMode,
                                               &mainwindow::text::kWinLock, &text::kKeyView};
            item.role = Role::Grouping;
            item.name = str(*kNames[static_cast<std::size_t>(id.index)], lang);
            const ItemId first = children(id).front();
            item.shown = areaOffered(first.index, view.panel, effect);
            return item;
        }
        case Kind::EffectRow: {
            const auto& e = settings::effectTable()[static_cast<std::size_t>(id.index)];
            item.role = Role::ListItem;
            item.name = str(e.name, lang);
            item.rect = effectRowRect(id.index);
            item.shown = view.panel.effectListOpen;
            item.offered = areaOffered(hit::kEffectBox, view.panel, effect);
            item.checked = e.code == effect;
            return item;
        }
        case Kind::ResponseRow:
            item.role = Role::ListItem;
            item.name = std::string(settings::responseRowText(id.index));
            item.rect = responseRowRect(id.index, layout.responseListTop);
            item.shown = view.panel.responseListOpen;
            item.offered = areaOffered(hit::kResponseBox, view.panel, effect);
            item.checked =
                image[model::image::kResponseTime] == settings::responseByteForRow(id.index);
            return item;
        case Kind::HelpRow:
            item.role = Role::MenuItem;
            item.rect = helpRowRect(id.index);
            item.shown = view.helpOpen;
            item.offered = id.index != 2;  // the version row does nothing
            switch (id.index) {
                case 0:
                    item.name = str(mainwindow::text::kReadMe, lang);
                    item.description = c.homePage;
                    break;
                case 1:
                    item.name = str(mainwindow::text::kUpdateFirmware, lang);
                    break;
                case 2:
                    item.name = mainwindow::text::kHelpVersion;
                    break;
                default:
                    item.role = Role::CheckMenuItem;
                    item.name = str(mainwindow::text::kStartWithSession, lang);
                    item.checked = c.startWithSession;
                    break;
            }
            return item;
        case Kind::Keyboard:
            item.role = Role::Keyboard;
            item.name = str(text::kKeyboard, lang);
            item.rect = keyboardRect();
            item.shown = item.offered = true;
            return item;
        case Kind::Key: {
            const bool diy = diyViewActive(view, effect);
            item.role = Role::Key;
            item.name = describe::slotName(id.index);
            item.rect = keyRect(id.index);
            item.shown = true;
            item.offered = keySlotAt(centre(item.rect), diy) == id.index;
            item.checked = view.selectedSlot == id.index;
            if (diy) {
                const auto colour = settings::diyCellColour(image, id.index);
                const bool lit = colour && *colour != settings::Rgb{};
                item.description = lit ? hexColour(*colour) : str(text::kUnlit, lang);
            } else if (!item.offered) {
                item.description = str(text::kNotChoosable, lang);
            } else {
                item.description = keyFunction;
            }
            return item;
        }
    }
    return item;
}

std::vector<Point> activation(ItemId id, const ViewState& view, std::uint8_t effect) {
    const settings::PanelView& panel = view.panel;
    std::vector<Point> out;
    // Opens an overlay through its opener unless it is open, closing any other one first.
    const auto viaOverlay = [&](bool open, int opener) -> bool {
        if (!areaOffered(opener, panel, effect)) return false;
        if (open) return true;
        if (view.anyOverlayOpen()) out.push_back(kNeutralPoint);
        out.push_back(centre(*hitArea(opener, panelLayout(panel, effect))));
        return true;
    };
    switch (id.kind) {
        case Kind::Area: {
            const int code = id.index;
            if (!areaOffered(code, panel, effect) || commandForHit(code).command == Command::None) {
                return out;
            }
            // The opener of the open overlay: a click on it closes the overlay.
            const bool closesOwn = (code == hit::kHelp && view.helpOpen) ||
                                   (code == hit::kEffectBox && panel.effectListOpen) ||
                                   (code == hit::kResponseBox && panel.responseListOpen);
            if (view.anyOverlayOpen()) out.push_back(kNeutralPoint);
            if (!closesOwn) out.push_back(centre(*hitArea(code, panelLayout(panel, effect))));
            return out;
        }
        case Kind::EffectRow:
            if (!viaOverlay(panel.effectListOpen, hit::kEffectBox)) return out;
            out.push_back(centre(effectRowRect(id.index)));
            return out;
        case Kind::ResponseRow:
            if (!viaOverlay(panel.responseListOpen, hit::kResponseBox)) return out;
            out.push_back(
                centre(responseRowRect(id.index, panelLayout(panel, effect).responseListTop)));
            return out;
        case Kind::HelpRow:
            if (id.index == 2 || !viaOverlay(view.helpOpen, hit::kHelp)) return out;
            out.push_back(centre(helpRowRect(id.index)));
            return out;
        case Kind::Key: {
            const Point p = centre(keyRect(id.index));
            if (keySlotAt(p, diyViewActive(view, effect)) != id.index) return out;
            if (view.anyOverlayOpen()) out.push_back(kNeutralPoint);
            out.push_back(p);
            return out;
        }
        case Kind::Root:
        case Kind::Section:
        case Kind::RadioGroup:
        case Kind::Keyboard:
            return out;
    }
    return out;
}

std::vector<ItemId> tabOrder(const ViewState& view, std::uint8_t effect) {
    std::vector<ItemId> out;
    const auto rows = [&](Kind kind, int count) {
        for (int i = 0; i < count; ++i) {
            if (!activation({kind, i}, view, effect).empty()) out.push_back({kind, i});
        }
    };
    if (view.panel.effectListOpen) {
        rows(Kind::EffectRow, settings::kEffectCount);
        return out;
    }
    if (view.panel.responseListOpen) {
        rows(Kind::ResponseRow, settings::kResponseRowCount);
        return out;
    }
    if (view.helpOpen) {
        rows(Kind::HelpRow, kHelpRowCount);
        return out;
    }
    // Depth first in reading order; rows stay inside their overlay and keys inside the picture.
    std::vector<ItemId> stack{ItemId{}};
    while (!stack.empty()) {
        const ItemId id = stack.back();
        stack.pop_back();
        if (id.kind == Kind::Keyboard) {
            out.push_back(id);
            continue;
        }
        if (id.kind == Kind::Area && areaActs(id.index, view, effect) &&
            !activation(id, view, effect).empty()) {
            out.push_back(id);
            continue;
        }
        const auto kids = children(id);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
            if (it->kind != Kind::EffectRow && it->kind != Kind::ResponseRow &&
                it->kind != Kind::HelpRow) {
                stack.push_back(*it);
            }
        }
    }
    return out;
}

std::optional<int> keyInDirection(int from, int dx, int dy, bool diyView) {
    const Rect f = keyRect(from);
    const Point fc = centre(f);
    std::optional<int> best;
    long bestScore = std::numeric_limits<long>::max();
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (s == from || !keyChoosable(s, diyView)) continue;
        const Rect r = keyRect(s);
        const Point c = centre(r);
        const int along = dx != 0 ? (c.x - fc.x) * dx : (c.y - fc.y) * dy;
        if (along <= 0) continue;
        const int across = dx != 0 ? std::abs(c.y - fc.y) : std::abs(c.x - fc.x);
        // Keys that overlap the current one across the movement come first: the next key in the
        // row (or column), not a nearer one a row away.
        const bool inLine = dx != 0 ? (r.top <= f.bottom && r.bottom >= f.top)
                                    : (r.left <= f.right && r.right >= f.left);
        const long score = (inLine ? 0L : 1L << 20) + along + 3L * across;
        if (score < bestScore) {
            bestScore = score;
            best = s;
        }
    }
    return best;
}

int firstKey(bool diyView) {
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (keyChoosable(s, diyView)) return s;
    }
    return 0;
}

}  // namespace tavrik::mainwindow::access
