#include "dialogs/key_assign/key_assign_painter.h"

#include <QColor>
#include <QPainter>
#include <QPoint>
#include <algorithm>
#include <array>

#include "host/qt/qt_rect.h"
#include "host/qt/qt_text.h"
#include "skin/skin_images.h"
#include "skin/text_style.h"

namespace tavrik::app {
namespace {

namespace ka = keyassign;

constexpr int kCurrentKeyX = 2;
constexpr int kCurrentKeyY = 2;
const QColor kCurrentTabColour{255, 255, 255};
const QColor kOtherTabColour{192, 192, 192};
// The "Disable" label sits this far right of and above the box's corner.
constexpr int kDisableLabelDx = 15;
constexpr int kDisableLabelDy = -2;
constexpr QPoint kSingleLabelAt{20, 69};
constexpr QPoint kCombineLabelAt{20, 119};
constexpr int kMacroBackX = 15;
constexpr int kMacroBackY = 66;
// Free pixels between a launch row's label and its path field.
constexpr int kLaunchLabelGap = 2;
// The tab marker lies along the bottom edge of the current tab.
constexpr int kMarkerHeight = 4;

void drawPicture(QPainter& p, skin::SkinImages& images, ka::Rect at, std::string_view name) {
    images.draw(p, at.left, at.top, qs(name));
}

void paintButtons(QPainter& p, skin::SkinImages& images, const ka::KeyMapView& v) {
    const auto buttons = ka::keyMapButtons();
    // The tab strip lies under the tabs' top edge; drawn first so that the tabs stay whole.
    drawPicture(p, images, buttons[ka::button::kTabStrip].rect,
                buttons[ka::button::kTabStrip].normal);
    for (int b = 0; b < ka::button::kCount; ++b) {
        if (b == ka::button::kTabStrip) continue;
        const ka::ButtonInfo& info = buttons[static_cast<std::size_t>(b)];
        const bool alternate = b == ka::button::kDisable ? v.disableTicked : v.hoveredButton == b;
        drawPicture(p, images, info.rect, alternate ? info.hovered : info.normal);
    }
    const ka::Rect tab = buttons[static_cast<std::size_t>(ka::button::kTabSingleCombine) +
                                 static_cast<std::size_t>(v.tab)]
                             .rect;
    images.draw(p, tab.left, tab.bottom + 1 - kMarkerHeight, QStringLiteral("cursor.png"));
}

void paintLabels(QPainter& p, const ka::KeyMapView& v, Language lang) {
    const auto buttons = ka::keyMapButtons();
    skin::drawText(p, kCurrentKeyX, kCurrentKeyY,
                   qs(ka::kCurrentKeyText.in(lang)) + qs(v.currentKeyName));
    const QPoint disableAt = keyMapDisableLabelAt();
    skin::drawText(p, disableAt.x(), disableAt.y(),
                   qs(buttons[ka::button::kDisable].label.in(lang)));
    // Button and tab captions are centred in their pictures and shrink to stay inside them.
    for (int b : {ka::button::kDefault, ka::button::kCancel, ka::button::kSave}) {
        const auto& info = buttons[static_cast<std::size_t>(b)];
        skin::drawCaption(p, keyMapCaptionBox(b), qs(info.label.in(lang)),
                          skin::kDefaultTextHeight);
    }
    for (int t = 0; t < ka::kTabCount; ++t) {
        const int b = ka::button::kTabSingleCombine + t;
        const auto& info = buttons[static_cast<std::size_t>(b)];
        const QColor colour = static_cast<int>(v.tab) == t ? kCurrentTabColour : kOtherTabColour;
        skin::drawCaption(p, keyMapCaptionBox(b), qs(info.label.in(lang)), skin::kDefaultTextHeight,
                          colour);
    }
    if (v.tab == ka::Tab::SingleCombine) {
        skin::drawText(p, kSingleLabelAt.x(), kSingleLabelAt.y(), qs(ka::kSingleLabel.in(lang)));
        skin::drawText(p, kCombineLabelAt.x(), kCombineLabelAt.y(), qs(ka::kCombineLabel.in(lang)));
    }
}

void paintLaunchRows(QPainter& p, skin::SkinImages& images, const ka::KeyMapState& state) {
    const ka::KeyMapView& v = state.view();
    images.draw(p, kMacroBackX, kMacroBackY, QStringLiteral("Macro_BK.png"));
    for (int row = 0; row < ka::kLaunchRowCount; ++row) {
        using Part = ka::RegionPart;
        drawPicture(p, images, ka::regionRect(row, Part::Indicator),
                    v.selectedIndicator == row ? "enable.png" : "disable.png");
        // Smaller where a label is longer than its room (English), the same for every row,
        // centred on the line of a label of full height.
        const ka::Rect label = ka::regionRect(row, Part::Label);
        const int height = launchLabelHeight(state.language());
        skin::drawText(p, label.left, label.top + (skin::kDefaultTextHeight - height) / 2,
                       qs(ka::launchRowInfo(row).rowLabel.in(state.language())), height);
        drawPicture(p, images, ka::regionRect(row, Part::Field), "Advanced.png");
        drawPicture(p, images, ka::regionRect(row, Part::Browse),
                    v.hoveredBrowse == row ? "view02.png" : "view.png");
        if (const std::string field = state.fieldText(row); !field.empty()) {
            const ka::Point at = ka::pathTextAt(row);
            skin::drawText(p, at.x, at.y, qs(field));
        }
    }
}

}  // namespace

QPoint keyMapDisableLabelAt() {
    const ka::Rect box = ka::keyMapButtons()[ka::button::kDisable].rect;
    return QPoint(box.left + kDisableLabelDx, box.top + kDisableLabelDy);
}

QRect keyMapCaptionBox(int button) {
    const QRect r = toQRect(ka::keyMapButtons()[static_cast<std::size_t>(button)].rect);
    const int firstTab = ka::button::kTabSingleCombine;
    const bool tab = button >= firstTab && button < firstTab + ka::kTabCount;
    return tab ? r.adjusted(3, 0, -3, -kMarkerHeight) : r.adjusted(2, 0, -2, 0);
}

int launchLabelHeight(Language lang) {
    // One height for every row: the largest at which each label fits before its field.
    int height = skin::kDefaultTextHeight;
    for (int row = 0; row < ka::kLaunchRowCount; ++row) {
        const int left = ka::regionRect(row, ka::RegionPart::Label).left;
        const int room = ka::regionRect(row, ka::RegionPart::Field).left - kLaunchLabelGap - left;
        height = std::min(
            height, skin::fittingTextHeight(qs(ka::launchRowInfo(row).rowLabel.in(lang)), room));
    }
    return height;
}

void paintKeyMap(QPainter& painter, skin::SkinImages& images, const keyassign::KeyMapState& state) {
    const ka::KeyMapView& v = state.view();
    images.draw(painter, 0, 0, QString::fromLatin1(kKeyMapBackground));
    paintButtons(painter, images, v);
    paintLabels(painter, v, state.language());
    if (v.tab == ka::Tab::Advance) paintLaunchRows(painter, images, state);
}

}  // namespace tavrik::app
