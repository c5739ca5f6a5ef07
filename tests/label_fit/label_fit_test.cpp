// Every text of the skinned windows fits where the window writes it, in both languages, measured
// with the font metrics of the font it is written in. The rectangles come from the windows' own
// layout data, so that a moved label or a longer translation shows here.
#include <gtest/gtest.h>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "controls/bitmap_slider.h"
#include "controls/empty_hint.h"
#include "dialogs/key_assign/key_assign_painter.h"
#include "dialogs/macro_manager/macro_manager_texts.h"
#include "dialogs/profile/profile_dialog_layout.h"
#include "host/qt/qt_text.h"
#include "keyassign/key_map_layout.h"
#include "macro/macro_texts.h"
#include "mainwindow/panel_scene.h"
#include "mainwindow/surface_layout.h"
#include "profiles/profile_texts.h"
#include "settings/effects.h"
#include "settings/panel.h"
#include "settings/response_time.h"
#include "skin/skin_manifest.h"
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
int heightOf(const model::Rect& r) {
    return r.bottom - r.top + 1;
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

// ---- the settings panel in every state ----------------------------------------------------

// One state of the panel: collapse flags, the effect, the DIY view, an open list.
struct PanelState {
    settings::PanelView view;
    std::uint8_t effect;
    std::string describe() const {
        std::string d = "effect " + std::to_string(effect);
        d += view.lightingCollapsed ? " lighting-" : " lighting+";
        d += view.gameCollapsed ? " game-" : " game+";
        d += view.responseCollapsed ? " response-" : " response+";
        d += view.reportCollapsed ? " report-" : " report+";
        if (view.diyView) d += " diy";
        if (view.effectListOpen) d += " effect-list";
        if (view.responseListOpen) d += " response-list";
        return d;
    }
};

// Effects with every kind of lighting body: no direction and no speed (Static), a speed only
// (Breathing), four and two direction buttons with a speed (Wave, Radar, Gradient), and DIY.
constexpr std::uint8_t kBodyKinds[] = {1, 2, 3, 13, 16, 51};

std::vector<PanelState> everyPanelState() {
    std::vector<PanelState> out;
    for (std::uint8_t effect : kBodyKinds) {
        for (int folds = 0; folds < 16; ++folds) {
            for (bool diy : {false, true}) {
                if (diy && !settings::offersDiyView(effect)) continue;
                for (int list = 0; list < 3; ++list) {
                    PanelState s{{}, effect};
                    s.view.lightingCollapsed = folds & 1;
                    s.view.gameCollapsed = folds & 2;
                    s.view.responseCollapsed = folds & 4;
                    s.view.reportCollapsed = folds & 8;
                    s.view.diyView = diy;
                    // A list opens from its box, which only an expanded section shows.
                    if (list == 1 && s.view.lightingCollapsed) continue;
                    if (list == 2 && s.view.responseCollapsed) continue;
                    s.view.effectListOpen = list == 1;
                    s.view.responseListOpen = list == 2;
                    out.push_back(s);
                }
            }
        }
    }
    return out;
}

bool inside(const model::Rect& inner, const model::Rect& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

std::string rectText(const model::Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " .. " + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

const mainwindow::PanelBlock* blockOf(const mainwindow::PanelScene& scene, const model::Rect& r) {
    for (const auto& b : scene.blocks) {
        if (inside(r, b.rect)) return &b;
    }
    return nullptr;
}

// Every text of the panel fits its box in both languages and lies inside its block; no text
// runs into another text or into a control it does not belong to.
TEST_P(LabelFitTest, PanelTextsFitInEveryState) {
    for (const PanelState& state : everyPanelState()) {
        SCOPED_TRACE(state.describe());
        const mainwindow::PanelScene scene =
            mainwindow::panelScene(state.view, state.effect, GetParam());
        for (const mainwindow::PanelText& t : scene.texts) {
            const QString s = text(*t.text);
            SCOPED_TRACE(s.toStdString() + " at " + rectText(t.box));
            switch (t.fit) {
                case mainwindow::TextFit::Written:
                    expectWrittenInside(s, t.box, t.height);
                    break;
                case mainwindow::TextFit::Centred:
                case mainwindow::TextFit::Right:
                    expectCaptionFits(s, widthOf(t.box), std::min(t.height, heightOf(t.box)));
                    break;
                case mainwindow::TextFit::Chip:
                    // At its full height, with room to spare on either side.
                    EXPECT_LE(advance(s, t.height) + 2 * mainwindow::kChipPadding, widthOf(t.box));
                    EXPECT_LE(t.height, heightOf(t.box));
                    break;
            }
            EXPECT_NE(blockOf(scene, t.box), nullptr) << "outside every block";
            EXPECT_LT(t.box.right, mainwindow::kPanelRight) << "past the panel's frame";
            // A caption lies in the control it names; any other text clear of every control.
            for (const mainwindow::PanelControl& c : scene.controls) {
                const model::Rect host{c.rect.left, c.rect.top, c.rect.right + 1,
                                       c.rect.bottom + 1};
                if (inside(t.box, host)) continue;
                EXPECT_FALSE(mainwindow::overlaps(t.box, c.rect)) << "runs into the " << c.name;
            }
        }
        for (std::size_t i = 0; i < scene.texts.size(); ++i) {
            for (std::size_t j = i + 1; j < scene.texts.size(); ++j) {
                EXPECT_FALSE(mainwindow::overlaps(scene.texts[i].box, scene.texts[j].box))
                    << text(*scene.texts[i].text).toStdString() << " and "
                    << text(*scene.texts[j].text).toStdString();
            }
        }
    }
}

// The panel's blocks stand one spacing apart, from the lighting header down, and end inside the
// panel's frame; every control lies inside its block, and no two controls overlap.
TEST(PanelLayoutRule, EqualGapsAndNoOverlapInEveryState) {
    for (const PanelState& state : everyPanelState()) {
        SCOPED_TRACE(state.describe());
        const mainwindow::PanelScene scene =
            mainwindow::panelScene(state.view, state.effect, Language::English);
        ASSERT_EQ(scene.blocks.size(), static_cast<std::size_t>(mainwindow::kBlockCount));
        EXPECT_EQ(scene.blocks.front().rect.top, mainwindow::kLightingTop);
        for (std::size_t i = 1; i < scene.blocks.size(); ++i) {
            EXPECT_EQ(scene.blocks[i].rect.top - scene.blocks[i - 1].rect.bottom - 1,
                      mainwindow::kSectionGap)
                << "block " << i;
        }
        EXPECT_LE(scene.blocks.back().rect.bottom, mainwindow::kPanelInsideBottom);
        for (const mainwindow::PanelControl& c : scene.controls) {
            const auto& block = scene.blocks[static_cast<std::size_t>(c.block)];
            EXPECT_TRUE(inside(c.rect, block.rect)) << c.name << " at " << rectText(c.rect);
            // Below the header of a section that has one.
            if (c.block != mainwindow::Block::Macro) {
                EXPECT_GE(c.rect.top, block.rect.top + sf::kHeaderHeight) << c.name;
            }
        }
        for (std::size_t i = 0; i < scene.controls.size(); ++i) {
            for (std::size_t j = i + 1; j < scene.controls.size(); ++j) {
                EXPECT_FALSE(mainwindow::overlaps(scene.controls[i].rect, scene.controls[j].rect))
                    << scene.controls[i].name << " at " << rectText(scene.controls[i].rect)
                    << " and " << scene.controls[j].name << " at "
                    << rectText(scene.controls[j].rect);
            }
        }
    }
}

int pictureHeight(const char* name) {
    const skin::SkinImageEntry* e = skin::findSkinImage(skin::SkinPart::Main, name);
    return e ? e->height : -1;
}

// The blocks are as high as the pictures drawn for them, so no picture sticks out of its block
// or leaves a strip of its body unpainted.
TEST(PanelLayoutRule, BlocksAreAsHighAsTheirPictures) {
    for (const PanelState& state : everyPanelState()) {
        SCOPED_TRACE(state.describe());
        const settings::PanelView& v = state.view;
        const mainwindow::PanelScene scene =
            mainwindow::panelScene(v, state.effect, Language::English);
        const auto height = [&](mainwindow::Block b) {
            return heightOf(scene.blocks[static_cast<std::size_t>(b)].rect);
        };
        using mainwindow::Block;
        EXPECT_EQ(height(Block::Macro), pictureHeight("MacroButton3.png"));
        EXPECT_EQ(height(Block::Game),
                  pictureHeight(v.gameCollapsed ? "gamemode_Close.png" : "gamemode_open.png"));
        EXPECT_EQ(height(Block::Response),
                  pictureHeight(v.responseCollapsed ? "responsetime_close.png"
                                                    : "responsetime_open.png"));
        EXPECT_EQ(height(Block::Report), pictureHeight(v.reportCollapsed ? "reportrate_Close.png"
                                                                         : "reportrate_Open.png"));
        if (v.lightingCollapsed) {
            EXPECT_EQ(height(Block::Lighting), pictureHeight("itemBK.png"));
            continue;
        }
        const mainwindow::PanelLayout l = mainwindow::panelLayout(v, state.effect);
        EXPECT_LE(height(Block::Lighting) - sf::kHeaderHeight, pictureHeight("LEDEffect_open.png"));
        if (l.speedShown) {
            // freq.png carries the speed group and ends with the body.
            EXPECT_EQ(l.sliderTop + pictureHeight("freq.png") - 1, l.lightingBottom);
        }
    }
}

// The drop-down lists never cover their box's own text, and their rows fit the panel.
TEST(PanelLayoutRule, OpenListsLeaveTheirBoxesTextInSight) {
    for (const PanelState& state : everyPanelState()) {
        SCOPED_TRACE(state.describe());
        const mainwindow::PanelLayout l = mainwindow::panelLayout(state.view, state.effect);
        const auto list = mainwindow::openListArea(state.view, l);
        if (!list) continue;
        EXPECT_GE(list->top, sf::kPanelTitle.bottom + 1);
        EXPECT_LE(list->bottom, mainwindow::kPanelInsideBottom);
        const model::Rect own = state.view.effectListOpen
                                    ? sf::kEffectName.box
                                    : sf::below(sf::kResponseValue, l.responseTop).box;
        EXPECT_FALSE(mainwindow::overlaps(*list, own)) << rectText(*list);
    }
}

// The panel label rooms in the fixed list end inside the panel's frame too.
TEST(PanelLabels, EndInsideThePanelFrame) {
    for (const sf::Label& l : sf::kLabels) {
        if (l.spot.box.left >= mainwindow::kPanelRight) continue;  // not in the panel
        EXPECT_LT(l.spot.box.right, mainwindow::kPanelRight)
            << l.text->en << " at x " << l.spot.box.left << ", y " << l.spot.box.top;
    }
}

// The drop-down lists and the two value boxes show every effect and every response time, the
// rows at the height of their box's own text.
TEST_P(LabelFitTest, MainWindowListsAndValueBoxes) {
    EXPECT_EQ(sf::kEffectListTextHeight, sf::kEffectName.height);
    EXPECT_EQ(sf::kResponseListTextHeight, sf::kResponseValue.height);
    for (const settings::Effect& e : settings::effectTable()) {
        const QString name = qs(settings::effectName(e.code, GetParam()));
        expectWrittenInside(name, sf::kEffectName.box, sf::kEffectName.height);
        const model::Rect row{sf::kEffectName.box.left, 0,
                              settings::kEffectListLeft + sf::kListWidth - 1,
                              settings::kListRowHeight - 1};
        expectWrittenInside(name, row, sf::kEffectListTextHeight);
    }
    for (int r = 0; r < settings::kResponseRowCount; ++r) {
        const model::Rect row{sf::kResponseListTextX, 0,
                              settings::kResponseListLeft + sf::kListWidth - 1,
                              settings::kListRowHeight - 1};
        expectWrittenInside(qs(settings::responseRowText(r)), row, sf::kResponseListTextHeight);
        const std::string value = settings::responseValueText(r);
        expectWrittenInside(qs(value), sf::kResponseValue.box, sf::kResponseValue.height);
    }
}

// Each of the report-rate slider's stops: its tick where the slider's thumb stands at that
// value, and its rate, as drawn, centred on the tick within a pixel.
TEST(ReportRateScale, TicksUnderTheThumbAndUnderTheirLabels) {
    constexpr int kTop = 400;  // any section top
    app::BitmapSlider slider(1010);
    slider.resize(sf::kSliderWidth, sf::kSliderHeight);
    slider.setRange(0, sf::kReportStops - 1);
    EXPECT_EQ(mainwindow::kSliderThumbWidth, skin::kThumbWidth);
    int lastRight = mainwindow::kPanelLeft;
    for (int i = 0; i < sf::kReportStops; ++i) {
        const mainwindow::ReportStop stop = mainwindow::reportStop(i, kTop);
        slider.setValue(i);
        EXPECT_EQ(stop.tickX, sf::kReportSlider.x + slider.thumbRect().center().x()) << i;
        // The rate's ink, drawn as the window draws it.
        QImage img(mainwindow::kPanelRight + 1, kTop + 60, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            skin::drawCaption(p,
                              QRect(QPoint(stop.label.left, stop.label.top),
                                    QPoint(stop.label.right, stop.label.bottom)),
                              qs(mainwindow::text::kReportRates[static_cast<std::size_t>(i)].en),
                              sf::kReportLabelHeight);
        }
        int left = img.width();
        int right = -1;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                if (qGray(img.pixel(x, y)) > 60) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        ASSERT_GE(right, left) << "no ink for stop " << i;
        EXPECT_LE(std::abs((left + right) / 2.0 - stop.tickX), 1.0) << "stop " << i;
        EXPECT_GT(left, lastRight) << "stop " << i << " runs into the one before";
        EXPECT_LT(right, mainwindow::kPanelRight - 1) << "stop " << i;
        lastRight = right;
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
