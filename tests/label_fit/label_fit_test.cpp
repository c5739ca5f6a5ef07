// Every text of the skinned windows fits where the window writes it, in both languages, measured
// with the font metrics of the font it is written in. The rectangles come from the windows' own
// layout data, so that a moved label or a longer translation shows here.
#include <gtest/gtest.h>
#include <QFontMetricsF>
#include <QString>

#include <string>
#include <string_view>

#include "controls/empty_hint.h"
#include "dialogs/key_assign/key_assign_painter.h"
#include "dialogs/macro_manager/macro_manager_texts.h"
#include "dialogs/profile/profile_dialog_layout.h"
#include "host/qt/qt_text.h"
#include "keyassign/key_map_layout.h"
#include "macro/macro_texts.h"
#include "mainwindow/surface_layout.h"
#include "profiles/profile_texts.h"
#include "settings/effects.h"
#include "settings/panel.h"
#include "settings/response_time.h"
#include "skin/text_style.h"

namespace tavrik {
namespace {

namespace sf = mainwindow::surface;
using app::qs;

double advance(const QString& text, int height) {
    return QFontMetricsF(skin::textFont(height)).horizontalAdvance(text);
}

int widthOf(const model::Rect& r) {
    return r.right - r.left + 1;
}

// A text written from the left edge of `box` at `height`: it ends inside the box, and the box is
// as high as the text.
void expectWrittenInside(const QString& text, const model::Rect& box, int height) {
    EXPECT_LE(advance(text, height), widthOf(box))
        << text.toStdString() << " at x " << box.left << ", y " << box.top;
    EXPECT_LE(height, box.bottom - box.top + 1) << text.toStdString();
}

// A caption shrunk to fit: it fits at some legible height no larger than `height`.
void expectCaptionFits(const QString& text, int width, int height,
                       int minHeight = skin::kMinTextHeight) {
    const int fitting = skin::fittingTextHeight(text, width, height, minHeight);
    EXPECT_LE(advance(text, fitting), width) << text.toStdString() << " in " << width << " px";
}

class LabelFitTest : public ::testing::TestWithParam<Language> {
protected:
    QString text(const BiText& t) const { return qs(t.in(GetParam())); }
};

TEST_P(LabelFitTest, MainWindowLabelsAndCaptions) {
    for (const sf::Label& l : sf::kLabels) {
        expectWrittenInside(qs(l.prefix) + text(*l.text), l.spot.box, l.spot.height);
    }
    for (const sf::Caption& c : sf::kCaptions) {
        const int boxHeight = c.box.bottom - c.box.top + 1;
        expectCaptionFits(qs(c.prefix) + text(*c.text), widthOf(c.box),
                          std::min(c.height, boxHeight));
    }
}

// A panel label's room ends inside the panel's frame, so a text that fits it is never cut at
// the panel's edge.
TEST(PanelLabels, EndInsideThePanelFrame) {
    for (const sf::Label& l : sf::kLabels) {
        if (l.spot.box.left >= mainwindow::kPanelRight) continue;  // not in the panel
        EXPECT_LT(l.spot.box.right, mainwindow::kPanelRight)
            << l.text->en << " at x " << l.spot.box.left << ", y " << l.spot.box.top;
    }
}

// The drop-down lists and the two value boxes show every effect and every response time.
TEST_P(LabelFitTest, MainWindowListsAndValueBoxes) {
    for (const settings::Effect& e : settings::effectTable()) {
        const QString name = qs(settings::effectName(e.code, GetParam()));
        expectWrittenInside(name, sf::kEffectName.box, sf::kEffectName.height);
        const model::Rect row{settings::kEffectListLeft + sf::kListTextInset, 0,
                              settings::kEffectListLeft + sf::kListWidth - 1,
                              settings::kListRowHeight - 1};
        expectWrittenInside(name, row, sf::kListTextHeight);
    }
    for (int r = 0; r < settings::kResponseRowCount; ++r) {
        const model::Rect row{sf::kResponseListTextX, 0,
                              settings::kResponseListLeft + sf::kListWidth - 1,
                              settings::kListRowHeight - 1};
        expectWrittenInside(qs(settings::responseRowText(r)), row, sf::kListTextHeight);
        const std::string value = settings::responseValueText(r);
        expectWrittenInside(qs(value), sf::kResponseValue.box, sf::kResponseValue.height);
    }
}

TEST_P(LabelFitTest, KeyAssignmentDialog) {
    namespace ka = keyassign;
    const auto buttons = ka::keyMapButtons();
    for (int b : {ka::button::kDefault, ka::button::kCancel, ka::button::kSave,
                  ka::button::kTabSingleCombine, ka::button::kTabSingleCombine + 1,
                  ka::button::kTabSingleCombine + 2, ka::button::kTabSingleCombine + 3}) {
        const QRect box = app::keyMapCaptionBox(b);
        const QRect picture(QPoint(buttons[static_cast<std::size_t>(b)].rect.left,
                                   buttons[static_cast<std::size_t>(b)].rect.top),
                            QPoint(buttons[static_cast<std::size_t>(b)].rect.right,
                                   buttons[static_cast<std::size_t>(b)].rect.bottom));
        EXPECT_TRUE(picture.contains(box)) << "button " << b;
        expectCaptionFits(text(buttons[static_cast<std::size_t>(b)].label), box.width(),
                          std::min(skin::kDefaultTextHeight, box.height()));
    }
    // The "Disable" label ends before the first button right of it.
    const QPoint disable = app::keyMapDisableLabelAt();
    EXPECT_LE(
        disable.x() + advance(text(buttons[ka::button::kDisable].label), skin::kDefaultTextHeight),
        buttons[ka::button::kDefault].rect.left);
    // The "Advance" rows: one height for all, each label ending before its path field.
    const int height = app::launchLabelHeight(GetParam());
    EXPECT_GE(height, skin::kMinTextHeight);
    for (int row = 0; row < ka::kLaunchRowCount; ++row) {
        const ka::Rect label = ka::regionRect(row, ka::RegionPart::Label);
        const int field = ka::regionRect(row, ka::RegionPart::Field).left;
        EXPECT_LE(label.left + advance(text(ka::launchRowInfo(row).rowLabel), height), field)
            << "row " << row;
    }
}

TEST_P(LabelFitTest, MacroManager) {
    namespace md = app::macromanager;
    const auto fits = [&](const BiText& t, const QRect& room, int height) {
        expectCaptionFits(text(t), room.width(), height, md::kMinLabelHeight);
    };
    fits(md::kTitle.text, md::labelRoom(md::kTitle), md::kTitle.height);
    for (const md::LabelPlace& l : md::kLabels) fits(l.text, md::labelRoom(l), l.height);
    fits(md::kOwnWindowKeysOnly.text, md::labelRoom(md::kOwnWindowKeysOnly),
         md::kOwnWindowKeysOnly.height);
    for (const BiText& t : {macro::text::kStartRecording, macro::text::kStopRecording}) {
        fits(t, md::buttonLabelBox(md::kRecord), md::kButtonLabelHeight);
    }
    for (int b = md::kNew; b < md::kButtonCount; ++b) {
        fits(md::kButtonLabels[static_cast<std::size_t>(b)], md::buttonLabelBox(b),
             md::kButtonLabelHeight);
    }
}

// An empty-state hint, word-wrapped, fits inside the room the hint writes it in: no word wider
// than the view, no more lines than its height holds.
void expectHintFits(const QString& text, QSize view) {
    const QRect room = app::EmptyHint::textRoom(view);
    const QRect used = QFontMetrics(skin::textFont(app::EmptyHint::kTextHeight))
                           .boundingRect(room, app::EmptyHint::kTextFlags, text);
    EXPECT_LE(used.width(), room.width()) << text.toStdString();
    EXPECT_LE(used.height(), room.height()) << text.toStdString();
}

TEST_P(LabelFitTest, EmptyListHints) {
    namespace md = app::macromanager;
    // The lists' viewports are inside their frames: allow for a frame of 2 pixels.
    const QSize macroList = md::kMacroListRect.size() - QSize(4, 4);
    const QSize eventList = md::kEventListRect.size() - QSize(4, 4);
    expectHintFits(text(md::kNoMacrosHint), macroList);
    for (const BiText& t : {md::kNoEventsHint, md::kRecordingEventsHint, md::kNoMacroSelectedHint})
        expectHintFits(text(t), eventList);
    expectHintFits(text(keyassign::kNoMacrosHint), QSize(280 - 4, 150 - 4));
}

TEST_P(LabelFitTest, ProfileWindow) {
    namespace cf = app::profilewindow;
    const auto written = [&](const BiText& t, QPoint at, int right, int height) {
        expectWrittenInside(text(t), model::Rect{at.x(), at.y(), right, at.y() + height - 1},
                            height);
    };
    written(profiles::text::kTitle, cf::kTitleAt, cf::kTitleRight, cf::kTitleHeight);
    written(profiles::text::kNewButton, cf::kNewLabelAt, cf::kNewLabelRight, cf::kLabelHeight);
    written(profiles::text::kDeleteButton, cf::kDeleteLabelAt, cf::kDeleteLabelRight,
            cf::kLabelHeight);
}

INSTANTIATE_TEST_SUITE_P(Languages, LabelFitTest,
                         ::testing::Values(Language::English, Language::Chinese),
                         [](const ::testing::TestParamInfo<Language>& p) {
                             return p.param == Language::Chinese ? "Chinese" : "English";
                         });

}  // namespace
}  // namespace tavrik
